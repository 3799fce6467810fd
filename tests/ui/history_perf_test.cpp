#include <QElapsedTimer>
#include <QTableView>
#include <QTest>

#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

// The history list must stay fast however long it grows: each line is appended, made current
// and painted. The bounds here are generous (ten times the target of 2 s for 100,000 lines and
// 2 ms for one line at that length); the benchmark measures the real figures.
class HistoryPerfTest : public QObject {
    Q_OBJECT

private slots:
    void appendsStayCheapAtOneHundredThousandLines() {
        WindowUnderTest ui;
        Calcolatrice& w = *ui.window;
        calc::Calculator& engine = w.engine();
        constexpr int kLines = 100'000;
        // Switching between km and mi writes one line per press.
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kLines; ++i) {
            engine.Lab_Sel_Click(i % 2 == 0 ? 9 : 8);
        }
        QCoreApplication::processEvents();
        const qint64 totalMs = timer.elapsed();
        QVERIFY(ui.historyCount() >= kLines);
        QCOMPARE(w.historyList()->model()->rowCount(), ui.historyCount());
        qInfo("%d appends: %lld ms", kLines, totalMs);
        QVERIFY2(totalMs < 20'000, qPrintable(QString::number(totalMs)));

        constexpr int kSamples = 200;
        timer.restart();
        for (int i = 0; i < kSamples; ++i) {
            engine.Lab_Sel_Click(i % 2 == 0 ? 9 : 8);
            QCoreApplication::processEvents();  // current line, scrolling and painting
        }
        const double perLineMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kSamples;
        qInfo("one append and repaint at %d lines: %.3f ms", ui.historyCount(), perLineMs);
        QVERIFY2(perLineMs < 20.0, qPrintable(QString::number(perLineMs)));

        // The newest line is current and in view.
        const int last = w.historyList()->model()->rowCount() - 1;
        QCOMPARE(w.historyList()->currentIndex().row(), last);
        const QRect lastRect = w.historyList()->visualRect(w.historyList()->currentIndex());
        QVERIFY(w.historyList()->viewport()->rect().contains(lastRect));
    }

private:
    ScratchHome m_home;
};

QTEST_MAIN(HistoryPerfTest)
#include "history_perf_test.moc"
