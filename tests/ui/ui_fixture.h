#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include "desktop/services.h"
#include "ui/calcolatrice.h"

namespace velmora::ui::test {

// Points HOME and XDG_CONFIG_HOME into a temporary folder for the suite's lifetime, so no real
// autostart entry or desktop file can be touched. On Windows the remembered ticks live in the
// registry, outside that folder: they are cleared before and after the suite instead.
class ScratchHome {
public:
    ScratchHome() {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toUtf8());
        clearRegistry();
    }
    ~ScratchHome() { clearRegistry(); }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

private:
    static void clearRegistry() {
#ifdef Q_OS_WIN
        QSettings(QStringLiteral("Velmora"), QStringLiteral("velmora")).clear();
#endif
    }

    QTemporaryDir m_dir;
};

class FakeAutoStart : public desktop::AutoStartStore {
public:
    std::optional<QString> value;
    std::optional<QString> read() const override { return value; }
    bool write() override {
        value = QStringLiteral("/usr/bin/velmora");
        return true;
    }
    bool remove() override {
        value.reset();
        return true;
    }
};

class FakeShortcut : public desktop::DesktopShortcut {
public:
    int created = 0;
    int removed = 0;
    void create() override { ++created; }
    void remove() override { ++removed; }
};

class FakeCalculator : public desktop::SystemCalculator {
public:
    QStringList typed;
    void typeNumber(const QString& text) override { typed << text; }
};

class FakeMail : public desktop::MailLink {
public:
    QStringList opened;
    void open(const QString& address) override { opened << address; }
};

// A main window after its start-up, with fake services it records into.
struct WindowUnderTest {
    FakeAutoStart autoStart;
    FakeShortcut shortcut;
    FakeCalculator calculator;
    FakeMail mail;
    std::unique_ptr<Calcolatrice> window;

    explicit WindowUnderTest(bool autoStartOn = false) {
        if (autoStartOn) {
            autoStart.value = QStringLiteral("/usr/bin/velmora");
        }
        window = std::make_unique<Calcolatrice>(
            desktop::Services{autoStart, shortcut, calculator, mail});
        window->Form_Load();
        window->activateWindow();
        activated = QTest::qWaitForWindowActive(window.get());
    }

    bool activated = false;

    int historyCount() const { return static_cast<int>(window->engine().history().size()); }
    QString lastHistoryLine() const {
        const auto& lines = window->engine().history();
        return lines.empty() ? QString() : QString::fromStdString(lines.back());
    }
};

// A mouse move over the face at pos, delivered to whatever control lies there, as the window
// system does: the control on top receives it.
inline QWidget* moveMouseOverFace(Calcolatrice& window, QPoint pos) {
    QWidget* target = window.face()->childAt(pos);
    if (target == nullptr) {
        return nullptr;
    }
    const QPoint local = target->mapFrom(window.face(), pos);
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(target->mapToGlobal(local)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    return target;
}

inline QPoint centreOnFace(const QWidget* control) { return control->geometry().center(); }

}  // namespace velmora::ui::test
