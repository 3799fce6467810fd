#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "picture_paths.h"
#include "ui/frm_about.h"
#include "ui/key_label.h"
#include "ui_fixture.h"

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::test;

class AboutTest : public QObject {
    Q_OBJECT

private:
    Calcolatrice& w() { return *m_ui->window; }
    Frm_About& about() { return *w().about(); }

    void openWithF1() {
        QTest::keyClick(&w(), Qt::Key_F1);
        QVERIFY(about().isVisible());
        QVERIFY(!w().isEnabled());
    }

private slots:
    void init() {
        m_ui = std::make_unique<WindowUnderTest>();
        QVERIFY(m_ui->activated);
    }
    void cleanup() { m_ui.reset(); }

    void createdHiddenWithItsTexts() {
        QVERIFY(!about().isVisible());
        QCOMPARE(about().windowTitle(), QStringLiteral("About program..."));
        QCOMPARE(about().size(), QSize(413, 219));
        QCOMPARE(about().minimumSize(), about().maximumSize());
        QCOMPARE(about().productNameLabel()->text(), QStringLiteral("Velmora"));
        QCOMPARE(about().productNameLabel()->font().pointSizeF(), 24.0);
        QVERIFY(about().productNameLabel()->font().bold());
        QCOMPARE(about().versionLabel()->text(), QStringLiteral("Version 1.00"));
        QVERIFY(!about().emailLabel()->text().isEmpty());
        QVERIFY(about().okButton()->isDefault());
        QVERIFY(about().windowFlags().testFlag(Qt::Tool));
        QVERIFY(!about().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!about().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    }

    // The banner is the embedded picture at the box's top-left corner whenever the box is up,
    // also when shown again.
    void bannerShownWithTheBox() {
        const QImage banner(QString::fromLatin1(res::kAboutBanner));
        QVERIFY(!banner.isNull());
        for (int shown = 0; shown < 2; ++shown) {
            openWithF1();
            const PictureBox* logo = about().logo();
            QCOMPARE(logo->pos(), QPoint(0, 0));
            QCOMPARE(logo->picture().convertToFormat(banner.format()), banner);
            QTest::keyClick(&about(), Qt::Key_Escape);
            QVERIFY(!about().isVisible());
        }
    }

    // Every way of leaving the box hides it and gives the main window back.
    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK clicked") << "ok";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }

    void closing() {
        QFETCH(QString, how);
        openWithF1();
        if (how == "ok") {
            QTest::mouseClick(about().okButton(), Qt::LeftButton);
        } else if (how == "enter") {
            QTest::keyClick(&about(), Qt::Key_Return);
        } else if (how == "esc") {
            QTest::keyClick(&about(), Qt::Key_Escape);
        } else {
            QVERIFY(!about().close());  // the close request itself is refused
        }
        QVERIFY(!about().isVisible());
        QVERIFY(w().isEnabled());
        // Shown again: the same box with the same texts.
        openWithF1();
        QCOMPARE(about().versionLabel()->text(), QStringLiteral("Version 1.00"));
    }

    void mainWindowIgnoresInputWhileTheBoxIsUp() {
        openWithF1();
        const int lines = m_ui->historyCount();
        QTest::keyClicks(&w(), "45");
        QTest::keyClick(&w(), Qt::Key_Delete, Qt::ShiftModifier);
        QTest::mouseClick(w().keypadKey(7), Qt::LeftButton);
        QCOMPARE(w().display()->text(), QStringLiteral("0"));
        QCOMPARE(m_ui->historyCount(), lines);
        about().cmdOK_Click();
        QTest::keyClicks(&w(), "4");
        QCOMPARE(w().display()->text(), QStringLiteral("4"));
    }

    // Disabling the window takes its input, not its look: the calculator face stays as it was.
    void calculatorFaceKeepsItsLookWhileTheBoxIsUp() {
        const QRect calculatorHalf(0, 0, 267, 384);
        const QImage before = w().face()->grab(calculatorHalf).toImage();
        openWithF1();
        const QImage during = w().face()->grab(calculatorHalf).toImage();
        QCOMPARE(during, before);
    }

    void addressUnderlinesOnHoverAndOpensMail() {
        QLabel* email = about().emailLabel();
        QWidget* area = about().findChild<QWidget*>("Img_EMail");
        QVERIFY(area != nullptr);
        QVERIFY(area->geometry().contains(email->geometry()));
        openWithF1();
        auto move = [](QWidget* target) {
            QMouseEvent event(QEvent::MouseMove, QPointF(2, 2), target->mapToGlobal(QPointF(2, 2)),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        move(email);
        QVERIFY(email->font().underline());
        move(email);
        QVERIFY(email->font().underline());
        move(area);
        QVERIFY(!email->font().underline());
        QTest::mouseClick(email, Qt::LeftButton);
        QCOMPARE(m_ui->mail.opened, QStringList{email->text()});
        QVERIFY(about().isVisible());
    }

private:
    ScratchHome m_home;
    std::unique_ptr<WindowUnderTest> m_ui;
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
