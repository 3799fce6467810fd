#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

#include "ui/frm_about.h"
#include "ui/key_label.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

namespace {

const QColor kSelNormal(128, 64, 0);
const QColor kSelHigh(255, 128, 0);
const QColor kDigitNormal(0, 0, 64);
const QColor kDigitHigh(128, 128, 255);
const QColor kFuncNormal(192, 0, 0);
const QColor kFuncHigh(255, 128, 128);

// Answers the modal boxes that open while `action` runs, in order: for an input box the reply
// (a null QString cancels), for a message box anything (it is confirmed). Records each box's
// title and text.
struct ModalScript {
    QStringList replies;
    QStringList seen;

    void run(const std::function<void()>& action) {
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
        action();
    }

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || replies.isEmpty()) {
            return;
        }
        const QString reply = replies.takeFirst();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            seen << input->windowTitle() + QStringLiteral(" | ") + input->labelText() +
                        QStringLiteral(" | ") + input->textValue();
            if (reply.isNull()) {
                input->reject();
            } else {
                input->setTextValue(reply);
                input->accept();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << QStringLiteral("message ") + box->windowTitle() + QStringLiteral(" | ") +
                        box->text() + (box->icon() == QMessageBox::Critical ? " | critical" : "");
            box->accept();
        }
    }
};

}  // namespace

class InputTest : public QObject {
    Q_OBJECT

private:
    Calcolatrice& w() { return *m_ui->window; }
    QString display() { return w().display()->text(); }
    void typeOn(QWidget* target, const QString& text) { QTest::keyClicks(target, text); }

private slots:
    void init() {
        m_ui = std::make_unique<WindowUnderTest>();
        QVERIFY(m_ui->activated);
    }
    void cleanup() { m_ui.reset(); }

    // Mouse paths over the keys: each step is a control name and index; afterwards the listed
    // keys must have the given colours.
    void hoverHighlighting_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("checkKeys");
        QTest::addColumn<QList<QColor>>("colours");
        QTest::newRow("first move repaints key 0 then lights key 5")
            << QStringList{"num 5"} << QStringList{"num 0", "num 5"}
            << QList<QColor>{kDigitNormal, kDigitHigh};
        QTest::newRow("key to key leaves one lit")
            << QStringList{"num 5", "num 6"} << QStringList{"num 5", "num 6"}
            << QList<QColor>{kDigitNormal, kDigitHigh};
        QTest::newRow("digit to function")
            << QStringList{"num 3", "num 12"} << QStringList{"num 3", "num 12"}
            << QList<QColor>{kDigitNormal, kFuncHigh};
        QTest::newRow("function to digit")
            << QStringList{"num 21", "num 9"} << QStringList{"num 21", "num 9"}
            << QList<QColor>{kFuncNormal, kDigitHigh};
        QTest::newRow("keypad gap takes the highlight off")
            << QStringList{"num 14", "numgap"} << QStringList{"num 14"}
            << QList<QColor>{kFuncNormal};
        QTest::newRow("selector keys")
            << QStringList{"sel 8", "sel 13"} << QStringList{"sel 8", "sel 13"}
            << QList<QColor>{kSelNormal, kSelHigh};
        QTest::newRow("selector gap")
            << QStringList{"sel 4", "selgap"} << QStringList{"sel 4"} << QList<QColor>{kSelNormal};
        QTest::newRow("selector gap leaves the keypad alone")
            << QStringList{"num 7", "selgap"} << QStringList{"num 7"} << QList<QColor>{kDigitHigh};
        QTest::newRow("disabled pi key is never lit")
            << QStringList{"num 4", "num 20"} << QStringList{"num 4", "num 20"}
            << QList<QColor>{kDigitHigh, kFuncNormal};
    }

    void hoverHighlighting() {
        QFETCH(QStringList, path);
        QFETCH(QStringList, checkKeys);
        QFETCH(QList<QColor>, colours);
        auto widgetFor = [this](const QString& step) -> QWidget* {
            const QStringList parts = step.split(' ');
            if (parts[0] == "numgap") return nullptr;
            if (parts[0] == "selgap") return nullptr;
            const int index = parts[1].toInt();
            return parts[0] == "num" ? static_cast<QWidget*>(w().keypadKey(index))
                                     : w().selectorKey(index);
        };
        for (const QString& step : path) {
            QPoint pos;
            if (step == "numgap") {
                pos = QPoint(51, 247);
            } else if (step == "selgap") {
                pos = QPoint(100, 168);
            } else {
                pos = centreOnFace(widgetFor(step));
            }
            moveMouseOverFace(w(), pos);
        }
        for (int i = 0; i < checkKeys.size(); ++i) {
            auto* key = static_cast<KeyLabel*>(widgetFor(checkKeys[i]));
            QCOMPARE(key->textColor(), colours[i]);
            QVERIFY(!key->isUnderlined());
        }
    }

    void hoverThroughTheWindowSystem() {
        w().activateWindow();
        QTest::mouseMove(&w(), w().face()->mapTo(&w(), centreOnFace(w().keypadKey(8))));
        QTRY_COMPARE(w().keypadKey(8)->textColor(), kDigitHigh);
        QCOMPARE(w().highlight().LastKeypadKey, 8);
    }

    void underlineFollowsTheHighlightOnly() {
        QAction* underline = w().findChild<QAction*>("MenuSottolinea");
        moveMouseOverFace(w(), centreOnFace(w().keypadKey(1)));
        underline->trigger();
        QVERIFY(underline->isChecked());
        QVERIFY(!w().keypadKey(1)->isUnderlined());  // takes effect at the next move
        moveMouseOverFace(w(), centreOnFace(w().keypadKey(2)));
        QVERIFY(w().keypadKey(2)->isUnderlined());
        moveMouseOverFace(w(), centreOnFace(w().keypadKey(3)));
        QVERIFY(!w().keypadKey(2)->isUnderlined());
        QVERIFY(w().keypadKey(3)->isUnderlined());
        underline->trigger();
        QVERIFY(w().keypadKey(3)->isUnderlined());  // until the mouse moves on
        moveMouseOverFace(w(), QPoint(51, 247));
        QVERIFY(!w().keypadKey(3)->isUnderlined());
    }

    void boldTogglesEveryKeyIncludingDisabledOnes() {
        QAction* bold = w().findChild<QAction*>("MenuGrassetto");
        bold->trigger();
        QVERIFY(bold->isChecked());
        for (int i = 0; i < calc::kKeypadKeyCount; ++i) QVERIFY(w().keypadKey(i)->isBold());
        for (int i = 0; i < calc::kSelectorKeyCount; ++i) QVERIFY(w().selectorKey(i)->isBold());
        QVERIFY(!w().keypadKey(20)->isEnabled());
        QVERIFY(!w().display()->font().bold());
        bold->trigger();
        for (int i = 0; i < calc::kKeypadKeyCount; ++i) QVERIFY(!w().keypadKey(i)->isBold());
    }

    void clicksReachTheEngine() {
        QTest::mouseClick(w().keypadKey(4), Qt::LeftButton);
        QTest::mouseClick(w().keypadKey(2), Qt::LeftButton);
        QCOMPARE(display(), QStringLiteral("42"));
        QTest::mouseClick(w().keypadKey(2), Qt::RightButton);
        QCOMPARE(display(), QStringLiteral("42"));
        QTest::mouseClick(w().selectorKey(4), Qt::LeftButton);
        QCOMPARE(w().engine().state().ActiveField, calc::kLongitudeA);
        QTest::mouseClick(w().keypadKey(20), Qt::LeftButton);  // disabled pi
        QCOMPARE(display(), QStringLiteral("42"));
    }

    // A click is a left press and a left release on the same control; the keys and the
    // display track it alike.
    void clickNeedsALeftPressAndReleaseOnTheControl_data() {
        QTest::addColumn<bool>("onDisplay");
        QTest::addColumn<int>("pressButton");
        QTest::addColumn<int>("releaseButton");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<bool>("clicked");
        for (bool onDisplay : {false, true}) {
            const char* where = onDisplay ? "display" : "key";
            QTest::addRow("%s: left press and release", where)
                << onDisplay << int(Qt::LeftButton) << int(Qt::LeftButton) << true << true;
            QTest::addRow("%s: released off the control", where)
                << onDisplay << int(Qt::LeftButton) << int(Qt::LeftButton) << false << false;
            QTest::addRow("%s: right press, left release", where)
                << onDisplay << int(Qt::RightButton) << int(Qt::LeftButton) << true << false;
            QTest::addRow("%s: left press, right release", where)
                << onDisplay << int(Qt::LeftButton) << int(Qt::RightButton) << true << false;
        }
    }

    void clickNeedsALeftPressAndReleaseOnTheControl() {
        QFETCH(bool, onDisplay);
        QFETCH(int, pressButton);
        QFETCH(int, releaseButton);
        QFETCH(bool, releaseInside);
        QFETCH(bool, clicked);
        QTableView* list = w().historyList();
        list->selectionModel()->select(list->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QWidget* target = onDisplay ? static_cast<QWidget*>(w().display()) : w().keypadKey(7);
        const QPoint inside = target->rect().center();
        const QPoint outside(target->width() + 5, inside.y());
        QTest::mousePress(target, Qt::MouseButton(pressButton), {}, inside);
        QTest::mouseRelease(target, Qt::MouseButton(releaseButton), {},
                            releaseInside ? inside : outside);
        if (onDisplay) {
            QCOMPARE(list->selectionModel()->selectedRows().isEmpty(),
                     clicked);  // a click drops the selection
        } else {
            QCOMPARE(display(), clicked ? QStringLiteral("7") : QStringLiteral("0"));
        }
    }

    // Keys typed into the open Edit menu or the About box stay there; the window takes its keys
    // again once they are gone.
    void keysForOtherWindowsDoNotReachTheEngine_data() {
        QTest::addColumn<bool>("aboutBox");
        QTest::newRow("Edit menu") << false;
        QTest::newRow("About box") << true;
    }

    void keysForOtherWindowsDoNotReachTheEngine() {
        QFETCH(bool, aboutBox);
        const int lines = m_ui->historyCount();
        QWidget* other = nullptr;
        if (aboutBox) {
            w().MenuAbout2_Click();
            other = w().about();
        } else {
            w().editMenu()->popup(w().mapToGlobal(QPoint(10, 10)));
            other = w().editMenu();
        }
        QTRY_VERIFY(other->isVisible());
        QTest::keyClicks(other, "45");
        QTest::keyClick(other, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(display(), QStringLiteral("0"));
        QCOMPARE(m_ui->historyCount(), lines);
        other->close();
        QTRY_VERIFY(w().isEnabled());
        QTest::keyClicks(w().historyList(), "4");
        QCOMPARE(display(), QStringLiteral("4"));
    }

    // Keys through the window's real event path, sent to the window or to the focused list.
    void keyboard_data() {
        QTest::addColumn<bool>("toList");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("historyDelta");  // -1: emptied
        QTest::addColumn<int>("activeField");
        for (bool toList : {false, true}) {
            const char* where = toList ? "list" : "window";
            QTest::addRow("%s: digits and degree sign", where)
                << toList << QString::fromUtf8("45\u00B030") << 0 << 0
                << QString::fromUtf8("45\u00B030") << 0 << 0;
            QTest::addRow("%s: comma types the point", where)
                << toList << QString::fromUtf8("1°2'3,5") << 0 << 0 << QString::fromUtf8("1°2'3.5")
                << 0 << 0;
            QTest::addRow("%s: seconds mark", where) << toList << QString::fromUtf8("1°2'3\"") << 0
                                                     << 0 << QString::fromUtf8("1°2'3\"") << 0 << 0;
            QTest::addRow("%s: backspace", where) << toList << "45\b" << 0 << 0 << "4" << 0 << 0;
            QTest::addRow("%s: Enter stores the entry", where)
                << toList << "45\r" << 0 << 0 << "0" << 1 << 0;
            QTest::addRow("%s: letters of no shortcut do nothing", where)
                << toList << "4xdc" << 0 << 0 << "4" << 0 << 0;
            QTest::addRow("%s: Delete cancels", where)
                << toList << "45" << int(Qt::Key_Delete) << 0 << "0" << 0 << 0;
            QTest::addRow("%s: Shift+Delete clears history", where)
                << toList << "45" << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "45" << -1
                << 0;
            QTest::addRow("%s: Ctrl+Delete does nothing", where)
                << toList << "45" << int(Qt::Key_Delete) << int(Qt::ControlModifier) << "45" << 0
                << 0;
            QTest::addRow("%s: F3 Longitude A", where)
                << toList << "" << int(Qt::Key_F3) << 0 << "0" << 0 << 2;
            QTest::addRow("%s: F4 Latitude B", where)
                << toList << "" << int(Qt::Key_F4) << 0 << "0" << 0 << 1;
            QTest::addRow("%s: F5 Longitude B", where)
                << toList << "" << int(Qt::Key_F5) << 0 << "0" << 0 << 3;
            QTest::addRow("%s: Shift+F3 does nothing", where)
                << toList << "" << int(Qt::Key_F3) << int(Qt::ShiftModifier) << "0" << 0 << 0;
            QTest::addRow("%s: F7 deg/min", where)
                << toList << "" << int(Qt::Key_F7) << 0 << "0" << 1 << 0;
        }
    }

    void keyboard() {
        QFETCH(bool, toList);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, display);
        QFETCH(int, historyDelta);
        QFETCH(int, activeField);
        QWidget* target = toList ? static_cast<QWidget*>(w().historyList()) : &w();
        const int before = m_ui->historyCount();
        typeOn(target, typed);
        if (key != 0) {
            QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        }
        QCOMPARE(this->display(), display);
        QCOMPARE(m_ui->historyCount(), historyDelta < 0 ? 0 : before + historyDelta);
        QCOMPARE(w().historyList()->model()->rowCount(), m_ui->historyCount());
        QCOMPARE(int(w().engine().state().ActiveField), activeField);
    }

    void listKeepsItsNavigationKeys() {
        QTableView* list = w().historyList();
        const int last = list->model()->rowCount() - 1;
        QVERIFY(last >= 2);
        QCOMPARE(list->currentIndex().row(), last);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(list->currentIndex().row(), last - 1);
        QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 2);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(list->currentIndex().row(), 0);
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->currentIndex().row(), last);
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list->selectionModel()->selectedRows().size(), last + 1);
        // A letter goes to the engine, not to the list's keyboard search.
        QTest::keyClick(list, Qt::Key_D);
        QCOMPARE(list->currentIndex().row(), last);
        QCOMPARE(display(), QStringLiteral("0"));
    }

    void newLinesBecomeCurrentWithoutJoiningTheSelection() {
        QTableView* list = w().historyList();
        QTest::keyClicks(&w(), "45\r");
        const int last = list->model()->rowCount() - 1;
        QTRY_COMPARE(list->currentIndex().row(), last);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(list->model()->index(last, 0).data().toString(), m_ui->lastHistoryLine());
    }

    void copySelectedLinesEachBehindCrLf() {
        QTableView* list = w().historyList();
        QVERIFY(list->model()->rowCount() >= 3);
        list->selectionModel()->select(list->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->select(list->model()->index(2, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        const auto& lines = w().engine().history();
        const QString expected = QStringLiteral("\r\n") + QString::fromStdString(lines[0]) +
                                 QStringLiteral("\r\n") + QString::fromStdString(lines[2]);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QCOMPARE(display(), QStringLiteral("0"));  // Ctrl+C is not also typed

        // A click on the display drops the selection: Copy then takes the display.
        QTest::keyClicks(&w(), "12");
        QTest::mouseClick(w().display(), Qt::LeftButton);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QTest::keyClick(&w(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12"));
    }

    void paste_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("display");
        QTest::newRow("decimal") << "12.5"
                                 << "12.5";
        QTest::newRow("whole number") << "12"
                                      << "12";
        QTest::newRow("five decimals") << "3.14159265"
                                       << "3.14159";
        QTest::newRow("negative") << "-7.25"
                                  << "-7.25";
        QTest::newRow("not a number") << "abc"
                                      << "0";
        QTest::newRow("empty") << ""
                               << "0";
    }

    void paste() {
        QFETCH(QString, clipboard);
        QFETCH(QString, display);
        QApplication::clipboard()->setText(clipboard);
        const int before = m_ui->historyCount();
        QTest::keyClick(w().historyList(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(this->display(), display);
        QCOMPARE(m_ui->historyCount(), before);
    }

    void sendToCalculatorTypesTheDecimalDegrees() {
        QTest::keyClicks(&w(), QString::fromUtf8("45\u00B030'"));
        QCOMPARE(display(), QString::fromUtf8("45\u00B030'"));
        QTest::keyClick(&w(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(m_ui->calculator.typed, QStringList{QLocale::system().toString(45.5)});
        QCOMPARE(display(), QString::fromUtf8("45\u00B030'"));
    }

    void rightClickOpensTheEditMenuAtTheMouse() {
        QTableView* list = w().historyList();
        const QPoint pos(20, 5);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, pos);
        QTRY_VERIFY(w().editMenu()->isVisible());
        QCOMPARE(w().editMenu()->pos(), list->viewport()->mapToGlobal(pos));
        w().editMenu()->hide();
    }

    void customDatumDialog_data() {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("tickedEntry");
        QTest::addColumn<int>("historyDelta");
        QTest::addColumn<QStringList>("boxes");
        const QString title = QStringLiteral("Custom Datum Definition");
        const QString step1 = title + " | Step1: input the semi-major axis value [m] | 6378137";
        const QString step2 =
            title + " | Step2: input the inverse flattering (1/f) value | 298.257223563";
        QTest::newRow("cancel at step 1")
            << QStringList{QString()} << 16 << 0 << QStringList{step1};
        QTest::newRow("cancel at step 2")
            << QStringList{"6378000", QString()} << 16 << 0 << QStringList{step1, step2};
        QTest::newRow("not a number")
            << QStringList{"abc", "ok"} << 16 << 2
            << QStringList{step1,
                           "message Velmora | Incorrect value for semi-major axis | critical"};
        QTest::newRow("accepted") << QStringList{"6378000", "300"} << 18 << -1
                                  << QStringList{step1, step2};
    }

    void customDatumDialog() {
        QFETCH(QStringList, replies);
        QFETCH(int, tickedEntry);
        QFETCH(int, historyDelta);
        QFETCH(QStringList, boxes);
        const int before = m_ui->historyCount();
        ModalScript script{replies, {}};
        script.run([this] { w().datumAction(18)->trigger(); });
        QCOMPARE(script.seen, boxes);
        for (int i = 0; i < 19; ++i) {
            QCOMPARE(w().datumAction(i)->isChecked(), i == tickedEntry);
        }
        if (historyDelta >= 0) {
            QCOMPARE(m_ui->historyCount(), before + historyDelta);
        } else {
            QVERIFY(m_ui->historyCount() > before);
        }
    }

    void datumMenuTicksFollowTheEngine() {
        w().datumAction(2)->trigger();
        QCOMPARE(m_ui->lastHistoryLine(), QStringLiteral("Datum: Airy 1830"));
        for (int i = 0; i < 19; ++i) QCOMPARE(w().datumAction(i)->isChecked(), i == 2);
        w().datumAction(2)->trigger();  // choosing it again keeps the tick
        QVERIFY(w().datumAction(2)->isChecked());
    }

    void optionsReachTheDesktopServices() {
        QAction* autoStart = w().findChild<QAction*>("MenuAvvioAuto");
        autoStart->trigger();
        QVERIFY(autoStart->isChecked());
        QVERIFY(m_ui->autoStart.value.has_value());
        autoStart->trigger();
        QVERIFY(!autoStart->isChecked());
        QVERIFY(!m_ui->autoStart.value.has_value());
        w().findChild<QAction*>("MenuCreaCollegamento")->trigger();
        w().findChild<QAction*>("MenuEliminaCollegamento")->trigger();
        QCOMPARE(m_ui->shortcut.created, 1);
        QCOMPARE(m_ui->shortcut.removed, 1);
    }

    void autoStartEntryTicksAtStartUp() {
        WindowUnderTest started(true);
        QVERIFY(started.window->findChild<QAction*>("MenuAvvioAuto")->isChecked());
        // Without a notification area the window must stay reachable.
        QVERIFY(started.window->isVisible());
    }

private:
    ScratchHome m_home;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(InputTest)
#include "input_test.moc"
