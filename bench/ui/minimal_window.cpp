// The yardstick for Velmora's start-up time and memory: the least a Qt Widgets program of the
// same kind needs. A fixed 536 x 384 client area under a five-menu bar, 40 labels and a list,
// and a display label that takes digits and is cleared by Delete, so that key-to-repaint
// latency can be measured the same way as on the real window.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>

namespace {

constexpr int kClientWidth = 536;  // pixels, as Velmora's client area
constexpr int kClientHeight = 384;
constexpr int kLabelCount = 40;

class MinimalWindow : public QMainWindow {
public:
    MinimalWindow() {
        setWindowTitle(QStringLiteral("Minimal"));
        for (const char* title : {"&Edit", "&View", "&Datum", "&Options", "&?"}) {
            QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
            menu->addAction(QStringLiteral("Entry"));
        }
        auto* face = new QWidget(this);
        face->setFixedSize(kClientWidth, kClientHeight);
        QFont arial(QStringLiteral("Arial"));
        arial.setPointSizeF(9.75);
        for (int i = 0; i < kLabelCount; ++i) {
            auto* key = new QLabel(QString::number(i), face);
            key->setFont(arial);
            key->setAlignment(Qt::AlignCenter);
            key->setGeometry(14 + (i % 6) * 41, 140 + (i / 6) * 34, 34, 20);
        }
        m_display = new QLabel(QStringLiteral("0"), face);
        m_display->setFont(arial);
        m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_display->setGeometry(16, 110, 233, 20);
        auto* list = new QListWidget(face);
        list->setGeometry(280, 16, 241, 354);
        list->setFocusPolicy(Qt::NoFocus);
        setCentralWidget(face);
        setFixedSize(sizeHint());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Delete) {
            m_display->setText(QStringLiteral("0"));
        } else if (!event->text().isEmpty() && event->text().front().isDigit()) {
            const QString shown = m_display->text();
            m_display->setText(shown == QLatin1String("0") ? event->text() : shown + event->text());
        }
    }

private:
    QLabel* m_display = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MinimalWindow window;
    window.show();
    return app.exec();
}
