// SPDX-License-Identifier: MIT
// "Clear Clipboard" on a real X server: another process puts text on the clipboard, the command
// clears it, and it reads back empty.
#include "module1/CleanUpCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace vortle;

class TestClipboard : public QObject {
    Q_OBJECT
private slots:
    void clearsTextThatAnotherProgramOwns();
};

void TestClipboard::clearsTextThatAnotherProgramOwns() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs a real X server (./test runs this under xvfb-run)");
    QProcess owner;
    owner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    owner.start(QCoreApplication::applicationFilePath(),
                {"--own-clipboard", "copied by another program"});
    QVERIFY(owner.waitForReadyRead(10000));
    QClipboard* clipboard = QGuiApplication::clipboard();
    QTRY_COMPARE(clipboard->text(), QStringLiteral("copied by another program"));
    CleanUpCommands::clearClipboard();
    QTRY_COMPARE(clipboard->text(), QString());
    owner.kill();
    owner.waitForFinished();
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--own-clipboard") == 0) {
        // The other program: owns the clipboard until it is killed.
        QGuiApplication app(argc, argv);
        QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(argv[2]));
        QTimer::singleShot(0, [] {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        });
        QTimer::singleShot(20000, &app, &QCoreApplication::quit);
        return QGuiApplication::exec();
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("skipped: no X server (./test runs this under xvfb-run)");
        return 77;
    }
    QApplication app(argc, argv);
    TestClipboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clipboard.moc"
