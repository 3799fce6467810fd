#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <string>

#include "../desktop/fake_warnings.h"
#include "calculator/keys.h"
#include "ui/batch_model.h"
#include "ui/batch_window.h"
#include "ui/save_file.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

namespace {

// Rows of the inverse problem, one line each: lat1 = the row number, so order shows in the
// table; every seventh row has a latitude beyond the pole and must fail in its place.
QByteArray numberedRows(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const int lat = i % 7 == 3 ? 91 : i % 90;
        text += QByteArray::number(lat) + ' ' + QByteArray::number(i % 180) + " 10 20 # row" +
                QByteArray::number(i) + '\n';
    }
    return text;
}

// What the batch core writes for the whole input at once: the table must hold exactly this.
std::string coreOutput(const QByteArray& input, const calc::BatchOptions& options) {
    calc::BatchRun run(options);
    std::string out;
    for (const QByteArray& line : input.split('\n'))
        run.feedLine(std::string_view(line.constData(), line.size()), out);
    run.finish(out);
    return out;
}

QString cell(const BatchModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

// Runs the event loop until the job is done (or 30 s have passed).
bool waitForJob(const BatchJob& job) {
    return QTest::qWaitFor([&] { return !job.isRunning(); }, 30'000);
}

}  // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Records arrive in pieces, a quoted label holding a comma and a line break among them;
    // the header names the columns, the status is the last one and a failed row is marked.
    void modelSplitsRecordsAndMarksFailedRows() {
        BatchModel model;
        model.appendCsv(
            "lat1,lon1,lat2,lon2,label,distance_km,azi1,azi2,method,status\n"
            "1,2,3,4,plain,314.1,44.9,45.0,vincenty,ok\n");
        model.appendCsv(
            "91,2,3,4,\"far, away\nnorth\",,,,vincenty,bad-input:lat1\n"
            "0,0,0.5,179.7,,,,,vincenty,not-settled\n");
        QCOMPARE(model.columnCount(), 10);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("distance_km"));
        QCOMPARE(cell(model, 1, 4), QStringLiteral("far, away\nnorth"));
        QCOMPARE(cell(model, 1, 9), QStringLiteral("bad-input:lat1"));
        QCOMPARE(cell(model, 2, 9), QStringLiteral("not-settled"));
        QCOMPARE(model.failedRowCount(), 2);
        const QList<bool> failed{model.isFailedRow(0), model.isFailedRow(1), model.isFailedRow(2)};
        QCOMPARE(failed, (QList<bool>{false, true, true}));
        QVERIFY(!model.data(model.index(0, 0), Qt::BackgroundRole).isValid());
        QVERIFY(model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
        QVERIFY(model.data(model.index(2, 9), Qt::ToolTipRole).isValid());
        QCOMPARE(model.headerData(2, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("Failed: not-settled"));
        QVERIFY(!model.headerData(0, Qt::Vertical, Qt::ToolTipRole).isValid());
    }

    // Small slices: rows come over many turns of the event loop, always in input order, and at
    // the end the table holds exactly what the core writes for the whole input.
    void sliceByRowsInOrderAndEndsWithTheCoreOutput() {
        BatchModel model;
        BatchJob job(model, nullptr);
        job.setSliceMilliseconds(0);  // one look at the clock: a slice is a few dozen lines
        const QByteArray input = numberedRows(2'000);
        QSignalSpy progress(&job, &BatchJob::progressed);
        QSignalSpy finished(&job, &BatchJob::finished);
        int lastRowSeen = -1;
        bool inOrder = true;
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex&, int first, int last) {
                    for (int row = first; row <= last; ++row) {
                        inOrder = inOrder && cell(model, row, 4) ==
                                                 QStringLiteral("row%1").arg(lastRowSeen + 1);
                        lastRowSeen = row;
                    }
                });
        job.start(input, calc::BatchOptions{});
        QCOMPARE(model.rowCount(), 0);  // nothing before the event loop runs
        QVERIFY(waitForJob(job));
        QVERIFY(inOrder);
        QVERIFY2(progress.count() > 10, qPrintable(QString::number(progress.count())));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(progress.last().at(0).toLongLong(), qint64(input.size()));
        QCOMPARE(model.rowCount(), 2'000);
        QCOMPARE(model.csv(), coreOutput(input, calc::BatchOptions{}));
        int failed = 0;
        for (int row = 0; row < model.rowCount(); ++row) {
            QCOMPARE(model.isFailedRow(row), row % 7 == 3);
            failed += row % 7 == 3;
        }
        QCOMPARE(model.failedRowCount(), failed);
    }

    // Cancel stops at once: the rows solved so far stay, no more arrive, and a new start
    // begins from an empty table.
    void cancelStopsAndKeepsTheRowsSoFar() {
        BatchModel model;
        BatchJob job(model, nullptr);
        job.setSliceMilliseconds(0);
        QSignalSpy finished(&job, &BatchJob::finished);
        job.start(numberedRows(5'000), calc::BatchOptions{});
        QVERIFY(QTest::qWaitFor([&] { return model.rowCount() > 0; }, 10'000));
        job.cancel();
        QVERIFY(!job.isRunning());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        const int kept = model.rowCount();
        QVERIFY(kept > 0 && kept < 5'000);
        QTest::qWait(50);
        QCOMPARE(model.rowCount(), kept);
        QCOMPARE(cell(model, kept - 1, 4), QStringLiteral("row%1").arg(kept - 1));

        job.start("1 2 3 4\n", calc::BatchOptions{});
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(waitForJob(job));
        QCOMPARE(model.rowCount(), 1);
    }

    // The window starts from the calculator's datum, unit and exact tick, and takes nothing
    // else from it; Compute fills the table, Copy hands out the CSV.
    void windowTakesTheCalculatorsDefaultsAndCopiesTheCsv_data() {
        QTest::addColumn<int>("datumEntry");
        QTest::addColumn<int>("unitKey");
        QTest::addColumn<bool>("sphere");
        QTest::addColumn<double>("semiMajorMetres");
        QTest::addColumn<int>("unit");
        QTest::newRow("WGS-84, km") << int(calc::kWgs84Entry) << int(calc::kSelKilometres) << false
                                    << 6378137.0 << int(calc::kKilometres);
        QTest::newRow("Airy 1830, mi")
            << int(calc::kFirstEllipsoidEntry) << int(calc::kSelStatuteMiles) << false
            << 6377563.396 << int(calc::kStatuteMiles);
        QTest::newRow("Sphere, nmi") << int(calc::kSphereEntry) << int(calc::kSelNauticalMiles)
                                     << true << 0.0 << int(calc::kNauticalMiles);
    }
    void windowTakesTheCalculatorsDefaultsAndCopiesTheCsv() {
        QFETCH(int, datumEntry);
        QFETCH(int, unitKey);
        QFETCH(bool, sphere);
        QFETCH(double, semiMajorMetres);
        QFETCH(int, unit);
        WindowUnderTest ui;
        ui.window->engine().MenuDatum_Click(static_cast<std::int16_t>(datumEntry));
        ui.window->engine().Lab_Sel_Click(static_cast<std::int16_t>(unitKey));
        const std::vector<std::string> historyBefore = ui.window->engine().history();
        ui.window->MenuBatch_Click();
        BatchWindow* batch = ui.window->batchWindow();
        QVERIFY(batch != nullptr && batch->isVisible());
        QCOMPARE(batch->windowTitle(), QStringLiteral("Velmora Batch"));
        const calc::BatchOptions options = batch->options();
        QCOMPARE(options.datum.sphere, sphere);
        if (!sphere) QCOMPARE(options.datum.ellipsoid.semiMajorMetres, semiMajorMetres);
        QCOMPARE(int(options.unit), unit);
        QVERIFY(!options.exactWhereUnsettled);

        const QByteArray input =
            "51.47 -0.4543 40.6413 -73.7781 # LHR-JFK\n95 0 0 0 # beyond the pole\n";
        batch->input()->setPlainText(QString::fromUtf8(input));
        batch->compute();
        QVERIFY(waitForJob(batch->job()));
        QCOMPARE(batch->model().rowCount(), 2);
        QVERIFY(batch->model().isFailedRow(1));
        QVERIFY2(batch->status()->text().startsWith(QStringLiteral("2 rows, 1 failed")),
                 qPrintable(batch->status()->text()));
        QApplication::clipboard()->clear();
        batch->copyCsv();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), coreOutput(input, options));
        QVERIFY(ui.window->engine().history() == historyBefore);
    }

    // 100,000 rows in the window as shown: the event loop turns (paints, answers Cancel) within
    // a fraction of a second all along, and the whole takes a few seconds at most. The bounds are
    // ten times what an idle machine shows; the report of the run gives the real figures.
    void hundredThousandRowsKeepTheWindowAnswering() {
        BatchWindow batch;
        batch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&batch));
        batch.input()->setPlainText(QString::fromUtf8(numberedRows(100'000)));
        // A slice ends in a progress signal; between two of them the loop has painted.
        QElapsedTimer sinceLastSlice;
        qint64 longestSliceMs = 0;
        int slices = 0;
        connect(&batch.job(), &BatchJob::progressed, this, [&] {
            longestSliceMs = std::max(longestSliceMs, sinceLastSlice.restart());
            ++slices;
        });
        QElapsedTimer total;
        total.start();
        batch.compute();
        sinceLastSlice.start();
        QVERIFY(waitForJob(batch.job()));
        const qint64 totalMs = total.elapsed();
        qInfo("100,000 rows in the window: %lld ms in %d slices, the longest %lld ms", totalMs,
              slices, longestSliceMs);
        QCOMPARE(batch.model().rowCount(), 100'000);
        // More than one slice however fast the machine: the work does not run in one go.
        QVERIFY2(slices >= 2 && longestSliceMs < 500, qPrintable(QString::number(longestSliceMs)));
        QVERIFY2(totalMs < 20'000, qPrintable(QString::number(totalMs)));
    }

    // The history file: the lines with the platform's line break, nothing more.
    void historyFileHoldsTheLinesAsShown() {
        const std::vector<std::string> lines{"Clear", "Latitude A: 48° 51' 24\" N",
                                             "Distance: 969.845344 km"};
#ifdef Q_OS_WIN
        const QByteArray expected =
            "Clear\r\nLatitude A: 48\xC2\xB0 51' 24\" N\r\nDistance: 969.845344 km\r\n";
#else
        const QByteArray expected =
            "Clear\nLatitude A: 48\xC2\xB0 51' 24\" N\nDistance: 969.845344 km\n";
#endif
        QCOMPARE(HistoryFileBytes(lines), expected);
        QCOMPARE(HistoryFileBytes({}), QByteArray());
    }

#ifdef Q_OS_UNIX
    // A link at the path is replaced by the file; what it pointed at stays as it was.
    void aLinkIsReplacedAndItsTargetUntouched() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("precious.txt"));
        const QString path = dir.filePath(QStringLiteral("history.txt"));
        QFile precious(target);
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep me\n");
        precious.close();
        QVERIFY(QFile::link(target, path));
        desktop::testing::FakeWarnings warnings;
        QVERIFY(SaveFile(path, "Clear\n", warnings));
        QVERIFY(!QFileInfo(path).isSymLink());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("Clear\n"));
        QVERIFY(precious.open(QIODevice::ReadOnly));
        QCOMPARE(precious.readAll(), QByteArray("keep me\n"));
    }
#endif

    // A place that cannot take the file: one message naming the file and the reason, no file
    // and no temporary file left.
    void unwritablePlaceGivesAMessageAndNoFile_data() {
        QTest::addColumn<QString>("folder");  // relative to a fresh temporary folder, or absolute
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder")
            << QStringLiteral("absent") << QStringLiteral("history.txt");
        QTest::newRow("a file as the folder")
            << QStringLiteral("plain.txt") << QStringLiteral("history.txt");
        QTest::newRow("a folder at the path") << QString() << QStringLiteral("sub");
#ifdef Q_OS_LINUX
        // No one, root included, may create a file there.
        QTest::newRow("read-only folder")
            << QStringLiteral("/proc") << QStringLiteral("velmora-history.txt");
#endif
    }
    void unwritablePlaceGivesAMessageAndNoFile() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString place = QDir(dir.path()).filePath(folder);
        const QString path = QDir(place).filePath(name);
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        desktop::testing::FakeWarnings warnings;
        QVERIFY(!SaveFile(path, "Clear\n", warnings));
        QCOMPARE(warnings.shown.size(), 1);
        QVERIFY2(warnings.shown.first().startsWith(QStringLiteral("critical|Velmora|") +
                                                   QDir::toNativeSeparators(path) +
                                                   QStringLiteral(" could not be saved: ")),
                 qPrintable(warnings.shown.first()));
        QVERIFY2(!warnings.shown.first().contains(QStringLiteral("saved: .")),
                 qPrintable(warnings.shown.first()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(QDir(dir.filePath(QStringLiteral("sub"))).isEmpty());
        QCOMPARE(QFileInfo(path).isDir(), folder.isEmpty());  // a folder at the path stays one
        QVERIFY(QDir(place)
                    .entryList({name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
    }

private:
    ScratchHome m_home;
};

QTEST_MAIN(BatchWindowTest)
#include "batch_window_test.moc"
