// Velmora on a Wayland desktop: the real program natively on Wayland in a private headless
// sway, typed at through a virtual keyboard, its clipboard read with wl-paste, the screen
// captured with grim. Every test function (every data row) gets a fresh compositor and home.

#include "image_compare.h"
#include "wayland_session.h"
#include "x_session.h"

#include <GeographicLib/Geodesic.hpp>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <chrono>
#include <cmath>
#include <memory>
#include <utility>

using std::chrono::milliseconds;
using velmora::testing::referencePictureMismatch;
using velmora::testing::waitUntil;
using velmora::testing::WaylandSession;

namespace {

const QString kAppId = QStringLiteral("org.velmora.Velmora");
const QString kSendTitle = QStringLiteral("Send to calculator");
constexpr milliseconds kWindowTimeout{15'000};  // start-up on a loaded CI machine
constexpr milliseconds kActionTimeout{5'000};

// The same tolerances as the X11 pictures: antialiased edges, about 20 pixels of the window.
constexpr int kPixelTolerance = 48;
constexpr double kMaxChangedShare = 0.0001;

// Lands End to John o'Groats in decimal degrees, typed on the keyboard: F6 chooses degrees,
// Latitude A is active from the start, n/w the hemispheres, Enter stores, '=' calculates.
const QStringList kTypedDistance{
    QStringLiteral("key F6"), QStringLiteral("type n50.0664"), QStringLiteral("key Return"),
    QStringLiteral("key F3"), QStringLiteral("type w5.7147"),  QStringLiteral("key Return"),
    QStringLiteral("key F4"), QStringLiteral("type n58.6439"), QStringLiteral("key Return"),
    QStringLiteral("key F5"), QStringLiteral("type w3.07"),    QStringLiteral("key Return"),
    QStringLiteral("type ="),
};
constexpr double kDistanceToleranceKm = 2e-6;  // the display's last digit

double typedDistanceKm() {
    const GeographicLib::Geodesic wgs84(6378137.0, 1.0 / 298.257223563);
    double metres = 0;
    wgs84.Inverse(50.0664, -5.7147, 58.6439, -3.07, metres);
    return metres / 1000.0;
}

// The window's own pixels in logical coordinates of the output, without sway's title bar.
QRect contentRect(const QJsonObject& view) {
    const QJsonObject rect = view.value(QLatin1String("rect")).toObject();
    const QJsonObject inner = view.value(QLatin1String("window_rect")).toObject();
    return {rect.value(QLatin1String("x")).toInt() + inner.value(QLatin1String("x")).toInt(),
            rect.value(QLatin1String("y")).toInt() + inner.value(QLatin1String("y")).toInt(),
            inner.value(QLatin1String("width")).toInt(),
            inner.value(QLatin1String("height")).toInt()};
}

int countViews(const QJsonObject& node, const QString& appId) {
    int count = node.value(QLatin1String("app_id")).toString() == appId ? 1 : 0;
    for (const char* list : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(list)).toArray())
            count += countViews(child.toObject(), appId);
    }
    return count;
}

}  // namespace

class VelmoraOnWayland : public QObject {
    Q_OBJECT
private slots:
    void windowTypingCopyAndSecondLaunch();
    void windowMatchesReference_data();
    void windowMatchesReference();
    void sendHandsTheNumberOver_data();
    void sendHandsTheNumberOver();

private:
    // A compositor with the program's window up and focused; fails the test otherwise.
    bool startProgram(int scale);
    bool perform(const QStringList& steps);
    QString copyDisplay();

    std::unique_ptr<WaylandSession> m_session;
    QJsonObject m_view;
};

bool VelmoraOnWayland::startProgram(int scale) {
    m_session = std::make_unique<WaylandSession>(scale);
    QString error;
    if (!m_session->start(QStringLiteral(VELMORA_VIRTUAL_KEYBOARD), &error) ||
        !m_session->launch(QStringLiteral(VELMORA_BINARY), &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    // Focused as well: keys go to the focused view.
    const bool up = waitUntil(
        [&] {
            const auto view = m_session->findView(QStringLiteral("app_id"), kAppId);
            if (view) m_view = *view;
            return view && view->value(QLatin1String("focused")).toBool() &&
                   view->value(QLatin1String("window_rect"))
                           .toObject()
                           .value(QLatin1String("width"))
                           .toInt() > 0;
        },
        kWindowTimeout);
    if (!up) qWarning("no focused view with app_id %s", qPrintable(kAppId));
    return up;
}

bool VelmoraOnWayland::perform(const QStringList& steps) {
    for (const QString& step : steps) {
        if (!m_session->keyboard(step)) {
            qWarning("keyboard step failed: %s", qPrintable(step));
            return false;
        }
    }
    return true;
}

// The display through the program's Copy: the clipboard is emptied first, so whatever shows
// up is the program's.
QString VelmoraOnWayland::copyDisplay() {
    m_session->run(QStringLiteral("wl-copy"), {QStringLiteral("--clear")});
    if (!perform({QStringLiteral("key ctrl+c")})) return {};
    std::optional<QString> text;
    waitUntil([&] { return (text = m_session->clipboard()) && !text->isEmpty(); }, kActionTimeout);
    return text.value_or(QString());
}

void VelmoraOnWayland::windowTypingCopyAndSecondLaunch() {
    QVERIFY(startProgram(1));
    QCOMPARE(m_view.value(QLatin1String("name")).toString(), QStringLiteral("Velmora"));

    QVERIFY(perform(kTypedDistance));
    const QString shown = copyDisplay();
    bool isNumber = false;
    const double km = shown.toDouble(&isNumber);
    QVERIFY2(isNumber, qPrintable(QStringLiteral("clipboard holds '%1'").arg(shown)));
    QVERIFY2(
        std::abs(km - typedDistanceKm()) <= kDistanceToleranceKm,
        qPrintable(
            QStringLiteral("%1 km, expected %2").arg(shown).arg(typedDistanceKm(), 0, 'f', 6)));

    // A second launch, with a token as a launcher hands one out, ends at once with status 0
    // and leaves one window.
    QProcess second;
    QProcessEnvironment env = m_session->environment();
    env.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), QStringLiteral("velmora-test-token-1"));
    second.setProcessEnvironment(env);
    velmora::testing::dieWithParent(second);
    second.start(QStringLiteral(VELMORA_BINARY), {});
    QVERIFY(second.waitForFinished(int(kWindowTimeout.count())));
    QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0,
             second.readAllStandardError().constData());
    const std::optional<QByteArray> tree = m_session->run(
        QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    QVERIFY(tree);
    QCOMPARE(countViews(QJsonDocument::fromJson(*tree).object(), kAppId), 1);
    QCOMPARE(m_session->program().state(), QProcess::Running);
}

void VelmoraOnWayland::windowMatchesReference_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("name");
    QTest::newRow("scale 1") << 1 << QStringLiteral("main_window");
    QTest::newRow("scale 2") << 2 << QStringLiteral("main_window@2x");
}

void VelmoraOnWayland::windowMatchesReference() {
    QFETCH(int, scale);
    QFETCH(QString, name);
    QVERIFY(startProgram(scale));
    // sway places a new floating window and its title bar over a few frames, and the first
    // frames may come before the window has drawn its face: the picture counts once two looks
    // in a row, each at the window's current place, give the same pixels.
    QRect area;
    QImage actual;
    QImage previous;
    QVERIFY(waitUntil(
        [&] {
            const auto view = m_session->findView(QStringLiteral("app_id"), kAppId);
            if (!view) return false;
            area = contentRect(*view);
            previous = std::exchange(actual, m_session->grab(area));
            return velmora::testing::hasPicture(actual) && actual == previous;
        },
        kActionTimeout));
    QCOMPARE(actual.size(), area.size() * scale);
    actual.save(
        QDir::current().filePath(QStringLiteral("wayland-") + name + QStringLiteral("-shot.png")));

    const QString referencePath =
        QStringLiteral(VELMORA_WAYLAND_REFERENCE_DIR "/") + name + QStringLiteral(".png");
    const std::optional<QString> mismatch =
        referencePictureMismatch(actual, referencePath, kPixelTolerance, kMaxChangedShare,
                                 QDir::current().filePath(QStringLiteral("wayland-") + name));
    if (!mismatch) QSKIP("reference picture written; look at it before committing it");
    if (!mismatch->isEmpty()) QFAIL(qPrintable(*mismatch));
}

void VelmoraOnWayland::sendHandsTheNumberOver_data() {
    QTest::addColumn<bool>("withCalculator");
    QTest::newRow("qalculate-gtk takes it as its argument") << true;
    QTest::newRow("no calculator: clipboard and message") << false;
}

void VelmoraOnWayland::sendHandsTheNumberOver() {
    QFETCH(bool, withCalculator);
    // Only the stand-in, or nothing at all, on PATH: the machine's own calculators stay out.
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    const QString record = bin.filePath(QStringLiteral("arguments.txt"));
    if (withCalculator) {
        QFile script(bin.filePath(QStringLiteral("qalculate-gtk")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral(
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part' && /bin/mv '%1.part' '%1'\n")
                         .arg(record)
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner));
    }
    m_session = std::make_unique<WaylandSession>(1);
    m_session->setVariable(QStringLiteral("PATH"), bin.path());
    QString error;
    QVERIFY2(m_session->start(QStringLiteral(VELMORA_VIRTUAL_KEYBOARD), &error), qPrintable(error));
    QVERIFY2(m_session->launch(QStringLiteral(VELMORA_BINARY), &error), qPrintable(error));
    QVERIFY(m_session->waitForView(QStringLiteral("app_id"), kAppId, kWindowTimeout));
    QVERIFY(waitUntil(
        [&] {
            return m_session->findView(QStringLiteral("app_id"), kAppId)
                ->value(QLatin1String("focused"))
                .toBool();
        },
        kWindowTimeout));

    QVERIFY(perform(kTypedDistance));
    const QString shown = copyDisplay();
    QVERIFY(!shown.isEmpty());
    m_session->run(QStringLiteral("wl-copy"), {QStringLiteral("--clear")});
    QVERIFY(perform({QStringLiteral("key ctrl+i")}));

    if (withCalculator) {
        QVERIFY2(waitUntil([&] { return QFile::exists(record); }, kActionTimeout),
                 "the stand-in was not started");
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), shown + u'\n');
        QVERIFY(!m_session->findView(QStringLiteral("name"), kSendTitle));
    } else {
        const auto message =
            m_session->waitForView(QStringLiteral("name"), kSendTitle, kActionTimeout);
        QVERIFY2(message, "no message titled 'Send to calculator'");
        std::optional<QString> pasted;
        QVERIFY(waitUntil([&] { return (pasted = m_session->clipboard()).has_value(); },
                          kActionTimeout));
        QCOMPARE(*pasted, shown);
        QVERIFY(perform({QStringLiteral("key Return")}));  // the message's OK
        QVERIFY(waitUntil([&] { return !m_session->findView(QStringLiteral("name"), kSendTitle); },
                          kActionTimeout));
    }
}

QTEST_GUILESS_MAIN(VelmoraOnWayland)
#include "wayland_e2e_test.moc"
