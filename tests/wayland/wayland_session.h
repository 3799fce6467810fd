#pragma once

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <optional>

namespace velmora::testing {

// A private headless Wayland session: sway on wlroots' headless backend with the pixman
// renderer and no input devices, one output of 1024 x 768 logical pixels at the given scale, a
// private home folder, the program under test and a keyboard of the test's own (the virtual
// keyboard protocol). sway refuses to run as root; under root it runs as user nobody in a
// folder of its own, and the programs of the test reach its socket by its absolute path.
// Everything started here ends with the session and dies with the test process.
class WaylandSession {
public:
    explicit WaylandSession(int scale = 1);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Starts sway and the keyboard; false with a reason in error.
    bool start(const QString& keyboardProgram, QString* error);
    QString homePath() const { return m_home.path(); }
    // For programs of this session: WAYLAND_DISPLAY, HOME and XDG folders inside the private
    // home, Qt on Wayland, no X display, an unreachable session bus.
    QProcessEnvironment environment() const;
    // Programs started later get this variable (PATH, say).
    void setVariable(const QString& name, const QString& value) { m_variables.insert(name, value); }

    bool launch(const QString& program, QString* error);
    QProcess& program() { return *m_program; }

    // Runs a tool to its end in this session; its standard output, or nullopt when it failed.
    std::optional<QByteArray> run(const QString& tool, const QStringList& arguments);
    // sway's tree (swaymsg -t get_tree) and the first view in it with that app_id or title.
    std::optional<QJsonObject> findView(const QString& key, const QString& value);
    std::optional<QJsonObject> waitForView(const QString& key, const QString& value,
                                           std::chrono::milliseconds timeout);

    // One keyboard command ("type 12.5", "key ctrl+c"); true once the compositor took the keys.
    bool keyboard(const QString& command);
    // The clipboard as text (wl-paste), nullopt when it holds none.
    std::optional<QString> clipboard();
    // The area, in logical pixels of the output, as the screen shows it now (grim), in device
    // pixels.
    QImage grab(const QRect& logical);

    int scale() const { return m_scale; }

private:
    std::unique_ptr<QProcess> makeProcess(const QProcessEnvironment& env) const;

    int m_scale;
    QTemporaryDir m_root;  // compositor folder, runtime folder, config
    QTemporaryDir m_home;
    QString m_compositorDir;
    QString m_waylandSocket;
    QString m_swaySocket;
    QProcessEnvironment m_variables;
    std::unique_ptr<QProcess> m_sway;
    std::unique_ptr<QProcess> m_keyboard;
    std::unique_ptr<QProcess> m_program;
};

}  // namespace velmora::testing
