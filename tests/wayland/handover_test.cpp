// The pieces of Send to calculator and of the second launch that Wayland needs, without a
// compositor: how the number is handed over, the request that carries activation tokens, and
// the fallback when a calculator that should pass the number to its running copy hangs.
#include "desktop/single_instance.h"
#include "desktop/system_calculator.h"

#include "../desktop/fake_warnings.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::desktop;

class HandoverTest : public QObject {
    Q_OBJECT
private slots:
    void handoverArguments_data();
    void handoverArguments();
    void showRequestRoundTrip_data();
    void showRequestRoundTrip();
    void hungForwardFallsBackToTheClipboard();
};

void HandoverTest::handoverArguments_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");  // empty: no handover on the command line
    QTest::newRow("qalculate") << "qalculate-gtk"
                               << "1046.123456" << QStringList{"1046.123456"};
    QTest::newRow("qalculate negative, not an option") << "qalculate-gtk"
                                                       << "-5.5" << QStringList{"(-5.5)"};
    QTest::newRow("gnome-calculator") << "gnome-calculator"
                                      << "12,5" << QStringList{"--equation=12,5"};
    QTest::newRow("exponent") << "gnome-calculator"
                              << "1.5E-07" << QStringList{"--equation=1.5E-07"};
    QTest::newRow("galculator takes none") << "galculator"
                                           << "12" << QStringList{};
    QTest::newRow("an option is refused") << "qalculate-gtk"
                                          << "--help" << QStringList{};
    QTest::newRow("two numbers are refused") << "qalculate-gtk"
                                             << "1 2" << QStringList{};
    QTest::newRow("an error text is refused") << "gnome-calculator"
                                              << "Error" << QStringList{};
}

void HandoverTest::handoverArguments() {
    QFETCH(QString, program);
    QFETCH(QString, number);
    QFETCH(QStringList, expected);
    QCOMPARE(velmora::desktop::handoverArguments(program, number).value_or(QStringList{}),
             expected);
}

void HandoverTest::showRequestRoundTrip_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QByteArray>("startup");
    QTest::newRow("plain, as older copies send it")
        << QByteArray("show\n") << true << QByteArray() << QByteArray();
    QTest::newRow("both tokens") << QByteArray("show xdg=a1-b2 startup=kde-1_TIME42\n") << true
                                 << QByteArray("a1-b2") << QByteArray("kde-1_TIME42");
    QTest::newRow("token at its longest")
        << "show xdg=" + QByteArray(kMaxTokenBytes, 'x') + "\n"
        << true << QByteArray(kMaxTokenBytes, 'x') << QByteArray();
    QTest::newRow("token too long") << "show xdg=" + QByteArray(kMaxTokenBytes + 1, 'x') + "\n"
                                    << false << QByteArray() << QByteArray();
    QTest::newRow("control character") << QByteArray(
                                              "show xdg=a\x01"
                                              "b\n")
                                       << false << QByteArray() << QByteArray();
    QTest::newRow("non-ASCII") << QByteArray("show xdg=\xc3\xa9\n") << false << QByteArray()
                               << QByteArray();
    QTest::newRow("empty token") << QByteArray("show xdg=\n") << false << QByteArray()
                                 << QByteArray();
    QTest::newRow("twice") << QByteArray("show xdg=a xdg=b\n") << false << QByteArray()
                           << QByteArray();
    QTest::newRow("unknown field")
        << QByteArray("show path=/tmp\n") << false << QByteArray() << QByteArray();
    QTest::newRow("no newline") << QByteArray("show") << false << QByteArray() << QByteArray();
    QTest::newRow("other verb") << QByteArray("quit\n") << false << QByteArray() << QByteArray();
}

void HandoverTest::showRequestRoundTrip() {
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, xdg);
    QFETCH(QByteArray, startup);
    const std::optional<ActivationTokens> tokens = parseShowRequest(line);
    QCOMPARE(tokens.has_value(), accepted);
    if (!tokens) return;
    QCOMPARE(tokens->xdgActivation, xdg);
    QCOMPARE(tokens->startupId, startup);
    // What a later launch writes, the running copy reads back the same, within the limit.
    const QByteArray request = showRequest(*tokens);
    QVERIFY(request.size() <= kMaxRequestBytes);
    QCOMPARE(parseShowRequest(request)->xdgActivation, xdg);
    QCOMPARE(showRequest({QByteArray("bad token"), startup}), showRequest({{}, startup}));
}

void HandoverTest::hungForwardFallsBackToTheClipboard() {
    // A gnome-calculator stand-in: without arguments it is the running copy; with the number it
    // notes the call and hangs, as the real one did with a copy running.
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    const QString program = bin.filePath(QStringLiteral("gnome-calculator"));
    const QString record = bin.filePath(QStringLiteral("calls.txt"));
    QFile script(program);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n[ $# -gt 0 ] && echo \"$@\" >> '%1'\nsleep 10\n")
                     .arg(record)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner));
    QProcess running;
    running.setStandardOutputFile(QProcess::nullDevice());
    running.start(program, {});
    QVERIFY(running.waitForStarted());
    QTest::qWait(200);  // the shell runs under the script's name by then

    testing::FakeWarnings warnings;
    HandoverCalculator calculator({program}, warnings, std::chrono::milliseconds(700));
    QElapsedTimer clock;
    clock.start();
    calculator.typeNumber(QStringLiteral("42.5"));
    QVERIFY2(clock.elapsed() < 5'000, "waited far past the limit");
    running.kill();
    running.waitForFinished();

    QFile calls(record);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    QCOMPARE(calls.readAll(), QByteArray("--equation=42.5\n"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("42.5"));
    QCOMPARE(warnings.shown.size(), 1);
    QVERIFY(warnings.shown.first().contains(QStringLiteral("42.5 was copied")));
}

QTEST_MAIN(HandoverTest)
#include "handover_test.moc"
