#include "wayland_session.h"

#include "x_session.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace velmora::testing {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStartTimeout{15'000};  // sway and its socket on a loaded machine
constexpr milliseconds kToolTimeout{10'000};
constexpr milliseconds kStopGrace{3'000};
constexpr uid_t kUnprivilegedUser = 65534;  // nobody: sway will not run as root

void stopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(int(kStopGrace.count()))) {
        process.kill();
        process.waitForFinished(int(kStopGrace.count()));
    }
}

std::optional<QJsonObject> findNode(const QJsonObject& node, const QString& key,
                                    const QString& value) {
    if (node.value(key).toString() == value) return node;
    for (const char* list : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(list)).toArray()) {
            if (auto found = findNode(child.toObject(), key, value)) return found;
        }
    }
    return std::nullopt;
}

}  // namespace

WaylandSession::WaylandSession(int scale) : m_scale(scale) {}

WaylandSession::~WaylandSession() {
    for (auto* process : {&m_program, &m_keyboard, &m_sway}) {
        if (*process) stopProcess(**process);
    }
}

bool WaylandSession::start(const QString& keyboardProgram, QString* error) {
    if (!m_root.isValid() || !m_home.isValid()) {
        *error = QStringLiteral("cannot make temporary folders");
        return false;
    }
    const bool root = ::geteuid() == 0;
    // sway, as nobody, must reach its config and own folder through the root folder.
    QFile::setPermissions(m_root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                             QFileDevice::ExeOther | QFileDevice::ReadOther |
                                             QFileDevice::ReadGroup);
    m_compositorDir = m_root.filePath(QStringLiteral("compositor"));
    const QString runtimeDir = m_root.filePath(QStringLiteral("runtime"));
    QDir().mkpath(m_compositorDir);
    QDir().mkpath(runtimeDir);
    ::chmod(QFile::encodeName(m_compositorDir).constData(), 0700);
    ::chmod(QFile::encodeName(runtimeDir).constData(), 0700);
    if (root && ::chown(QFile::encodeName(m_compositorDir).constData(), kUnprivilegedUser,
                        kUnprivilegedUser) != 0) {
        *error = QStringLiteral("cannot give the compositor folder to user nobody");
        return false;
    }
    const QString config = m_root.filePath(QStringLiteral("sway.conf"));
    QFile configFile(config);
    if (!configFile.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write ") + config;
        return false;
    }
    // Physical resolution = logical 1024 x 768 times the scale.
    configFile.write(QStringLiteral("output HEADLESS-1 resolution %1x%2 scale %3\n"
                                    "output HEADLESS-1 background #303030 solid_color\n"
                                    "xwayland disable\n"
                                    "focus_on_window_activation focus\n"
                                    "font monospace 10\n")
                         .arg(1024 * m_scale)
                         .arg(768 * m_scale)
                         .arg(m_scale)
                         .toUtf8());
    configFile.close();
    configFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadOther | QFileDevice::ReadGroup);

    m_swaySocket = m_compositorDir + QStringLiteral("/ipc.sock");
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), m_compositorDir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_compositorDir);
    env.insert(QStringLiteral("SWAYSOCK"), m_swaySocket);
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    m_sway = std::make_unique<QProcess>();
    m_sway->setProcessEnvironment(env);
    m_sway->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sway->setStandardOutputFile(QProcess::nullDevice());
    QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), config};
    if (root) {
        // setpriv sets the parent-death signal after changing user, which would clear it.
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                              QStringLiteral("--pdeathsig=KILL")} +
                  command;
    } else {
        dieWithParent(*m_sway);
    }
    m_sway->start(command.takeFirst(), command);
    if (!m_sway->waitForStarted()) {
        *error = QStringLiteral("cannot start ") +
                 (root ? QStringLiteral("setpriv") : QStringLiteral("sway")) +
                 QStringLiteral(" (Debian package sway, util-linux)");
        return false;
    }
    const bool up = waitUntil(
        [&] {
            if (m_sway->state() == QProcess::NotRunning) return true;
            const QStringList sockets =
                QDir(m_compositorDir).entryList({QStringLiteral("wayland-*")}, QDir::System);
            for (const QString& name : sockets) {
                if (!name.endsWith(QLatin1String(".lock")))
                    m_waylandSocket = m_compositorDir + u'/' + name;
            }
            return !m_waylandSocket.isEmpty() && QFile::exists(m_swaySocket) &&
                   run(QStringLiteral("swaymsg"),
                       {QStringLiteral("-t"), QStringLiteral("get_version")})
                       .has_value();
        },
        kStartTimeout);
    if (!up || m_sway->state() == QProcess::NotRunning) {
        *error = QStringLiteral("sway did not come up (see its messages above)");
        return false;
    }

    m_keyboard = makeProcess(environment());
    m_keyboard->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_keyboard->start(keyboardProgram, {});
    if (!m_keyboard->waitForStarted() ||
        !waitUntil([&] { return m_keyboard->canReadLine() || m_keyboard->waitForReadyRead(50); },
                   kStartTimeout) ||
        m_keyboard->readLine().trimmed() != "ready") {
        *error = QStringLiteral("the virtual keyboard did not come up");
        return false;
    }
    return true;
}

QProcessEnvironment WaylandSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "XAUTHORITY", "XDG_SESSION_TYPE", "SESSION_MANAGER", "SWAYSOCK",
          "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID", "QT_SCALE_FACTOR"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandSocket);
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=/nonexistent/velmora-test-bus"));
    env.insert(m_variables);
    return env;
}

std::unique_ptr<QProcess> WaylandSession::makeProcess(const QProcessEnvironment& env) const {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    dieWithParent(*process);
    return process;
}

bool WaylandSession::launch(const QString& program, QString* error) {
    if (m_program) stopProcess(*m_program);
    m_program = makeProcess(environment());
    m_program->setProcessChannelMode(QProcess::ForwardedChannels);
    m_program->start(program, {});
    if (!m_program->waitForStarted()) {
        *error = QStringLiteral("cannot start ") + program;
        return false;
    }
    return true;
}

std::optional<QByteArray> WaylandSession::run(const QString& tool, const QStringList& arguments) {
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("SWAYSOCK"), m_swaySocket);
    env.insert(QStringLiteral("PATH"),
               qEnvironmentVariable("PATH"));  // the tools, whatever the program gets
    const auto process = makeProcess(env);
    process->start(tool, arguments);
    if (!process->waitForStarted() || !process->waitForFinished(int(kToolTimeout.count()))) {
        process->kill();
        process->waitForFinished();
        return std::nullopt;
    }
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
        return std::nullopt;
    return process->readAllStandardOutput();
}

std::optional<QJsonObject> WaylandSession::findView(const QString& key, const QString& value) {
    const std::optional<QByteArray> tree =
        run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    if (!tree) return std::nullopt;
    return findNode(QJsonDocument::fromJson(*tree).object(), key, value);
}

std::optional<QJsonObject> WaylandSession::waitForView(const QString& key, const QString& value,
                                                       milliseconds timeout) {
    std::optional<QJsonObject> view;
    waitUntil([&] { return (view = findView(key, value)).has_value(); }, timeout);
    return view;
}

bool WaylandSession::keyboard(const QString& command) {
    if (!m_keyboard || m_keyboard->state() != QProcess::Running) return false;
    m_keyboard->write(command.toUtf8() + '\n');
    if (!m_keyboard->waitForBytesWritten(int(kToolTimeout.count()))) return false;
    if (!waitUntil([&] { return m_keyboard->canReadLine() || m_keyboard->waitForReadyRead(50); },
                   kToolTimeout)) {
        return false;
    }
    return m_keyboard->readLine().trimmed() == "ok";
}

std::optional<QString> WaylandSession::clipboard() {
    const std::optional<QByteArray> text =
        run(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline")});
    if (!text) return std::nullopt;
    return QString::fromUtf8(*text);
}

QImage WaylandSession::grab(const QRect& logical) {
    const QString geometry = QStringLiteral("%1,%2 %3x%4")
                                 .arg(logical.x())
                                 .arg(logical.y())
                                 .arg(logical.width())
                                 .arg(logical.height());
    const std::optional<QByteArray> png =
        run(QStringLiteral("grim"), {QStringLiteral("-g"), geometry, QStringLiteral("-t"),
                                     QStringLiteral("png"), QStringLiteral("-")});
    return png ? QImage::fromData(*png, "PNG") : QImage();
}

}  // namespace velmora::testing
