// SPDX-License-Identifier: MIT
// Runs the real program on a temporary prefix, as a user's first start does.
#include "TestPrefix.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <unistd.h>

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void firstStartOnAnEmptyPrefix();
    void unreachableSystemDirectoryEndsWithTheReport();
    void commandLineAnswersWithoutAWindow_data();
    void commandLineAnswersWithoutAWindow();
    void onePanelThatALogoutEndsThroughItsUnload();
    void aChannelOthersCanReachIsNeverBelieved();

private:
    // The program with its own prefix; message boxes go to a log instead of the screen.
    void start(QProcess& process, const QString& root, const QString& runtime = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!runtime.isEmpty())
            env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("XDG_DATA_HOME", root + "/data");
        env.insert("HOME", root + "/home");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VORTLE_MSGBOX_LOG", root + "/boxes.log");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(root);
        process.start(qEnvironmentVariable("VORTLE_BIN") + "/vortle", QStringList());
        QVERIFY(process.waitForStarted());
    }
};

void TestProgram::firstStartOnAnEmptyPrefix() {
    QTemporaryDir root;
    QProcess vortle;
    QElapsedTimer clock;
    clock.start();
    start(vortle, root.path());
    const QString prefix = root.path() + "/data/vortle";
    const QString settings = prefix + "/drive_c/windows/system/VRTLSettings.dll";
    // The drives exist at once; the settings file only when the main window loads.
    QTRY_VERIFY(QFileInfo(prefix + "/dosdevices/a:").isSymLink());
    QVERIFY(!QFile::exists(settings));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings), 8000);
    QVERIFY(clock.elapsed() >= 3900);
    QCOMPARE(QFileInfo(settings).size(), 0);
    for (const char* folder : {"drive_a", "drive_c/windows/recent", "drive_c/recycled"})
        QVERIFY2(QFileInfo(prefix + "/" + folder).isDir(), folder);
    QCOMPARE(vortle.state(), QProcess::Running);
    QVERIFY(!QFile::exists(root.path() + "/boxes.log"));
    vortle.kill();
    vortle.waitForFinished();
}

void TestProgram::unreachableSystemDirectoryEndsWithTheReport() {
    QTemporaryDir root;
    // Drive C: is a file, not a folder: the settings file cannot be opened.
    QDir().mkpath(root.path() + "/data/vortle/dosdevices");
    QFile(root.path() + "/c-file").open(QIODevice::WriteOnly);
    QFile::link(root.path() + "/c-file", root.path() + "/data/vortle/dosdevices/c:");
    QProcess vortle;
    start(vortle, root.path());
    QVERIFY(vortle.waitForFinished(10000));
    QCOMPARE(vortle.exitStatus(), QProcess::NormalExit);
    QVERIFY(vortle.exitCode() != 0);
    QFile log(root.path() + "/boxes.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("Vortle|16|Run-time error '71':\\n\\nDisk not ready\n"));
}

void TestProgram::commandLineAnswersWithoutAWindow_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    for (const QString program : {"vortle", "vortle-setup"}) {
        QTest::addRow("%s --help", qPrintable(program))
            << program << QStringList{"--help"} << "offscreen" << 0 << "Usage: " + program;
        QTest::addRow("%s --version", qPrintable(program))
            << program << QStringList{"--version"} << "offscreen" << 0 << program + " 2.0";
        QTest::addRow("%s without a display", qPrintable(program))
            << program << QStringList{} << "" << 1 << "xvfb-run -a " + program;
        QTest::addRow("%s --bogus", qPrintable(program))
            << program << QStringList{"--bogus"} << "" << 1 << "Unknown option 'bogus'.";
        QTest::addRow("%s -platform offscreen --version", qPrintable(program))
            << program << QStringList{"-platform", "offscreen", "--version"} << "" << 0
            << program + " 2.0";
        QTest::addRow("%s --help-all", qPrintable(program))
            << program << QStringList{"--help-all"} << "" << 0 << "--platform <platformName";
    }
}

void TestProgram::commandLineAnswersWithoutAWindow() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QTemporaryDir root;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", root.path() + "/data");
    env.insert("QT_QPA_PLATFORM", platform);
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("VORTLE_BIN") + "/" + program, arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY(
        QString::fromLocal8Bit(process.readAll() + process.readAllStandardError()).contains(says));
    QVERIFY(!QFile::exists(root.path() + "/data/vortle")); // it never got as far as its drives
}

void TestProgram::onePanelThatALogoutEndsThroughItsUnload() {
    QTemporaryDir root;
    QProcess first, second;
    start(first, root.path());
    const QString settings = root.path() + "/data/vortle/drive_c/windows/system/VRTLSettings.dll";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings), 8000); // the main window is loaded
    // A second start brings the first to the front and ends at once.
    start(second, root.path());
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    // A logout's SIGTERM ends it as its close box does: the place is written.
    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(QFileInfo(settings).size(), 128 + 6); // records 1 and 2, the place
}

void TestProgram::aChannelOthersCanReachIsNeverBelieved() {
    // A runtime folder that others may enter, and someone listening there first: the start
    // neither hands over to it nor exits, and runs as the first.
    QTemporaryDir root;
    const QString open = root.path() + "/run";
    QVERIFY(QDir().mkpath(open) && QFile::setPermissions(open, QFileDevice::Permissions(0x7777)));
    const QByteArray prefix = QCryptographicHash::hash(
        QFile::encodeName(root.path()) + "/data/vortle", QCryptographicHash::Sha1);
    QLocalServer impostor;
    QVERIFY(impostor.listen(
        QString("%1/vortle-%2-%3").arg(open).arg(::getuid()).arg(prefix.toHex().left(12))));
    QProcess vortle;
    start(vortle, root.path(), open);
    const QString settings = root.path() + "/data/vortle/drive_c/windows/system/VRTLSettings.dll";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings), 8000);
    QCOMPARE(vortle.state(), QProcess::Running);
    QVERIFY(!impostor.hasPendingConnections());
    vortle.kill();
    vortle.waitForFinished();
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
