// SPDX-License-Identifier: MIT
#include "FormTestSupport.h"
#include "PrefixTest.h"

#include "forms/app/Main.h"

#include "host/core/RuntimeError.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/FormInstance.h"

#include <QDir>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include <new>

namespace {

// Throws from its event handler, as a failing handler with no error handling does.
class Thrower : public QObject {
public:
    std::function<void()> action;
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            action();
        return QObject::event(event);
    }
};

} // namespace

class TestErrorReport : public PrefixTest {
    Q_OBJECT
private slots:
    void init() {
        PrefixTest::init();
        m_end = std::make_unique<EndProgramRecorder>();
    }
    void cleanup() {
        delete host::FormInstance<Main>::loaded();
        m_end.reset();
        PrefixTest::cleanup();
    }

    void uncaughtErrorsShowTheStandardReport_data();
    void uncaughtErrorsShowTheStandardReport();
    void unreachableSystemDirectoryEndsTheLoad();
    void readOnlySystemDirectoryEndsTheLoad();
    void readOnlySystemDirectoryEndsTheUnload();

private:
    void expectReport(int number, const QString& description) {
        QTRY_COMPARE(m_boxes->boxes.size(), 1);
        QCOMPARE(m_boxes->boxes[0].prompt,
                 QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description));
        QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle"));
        QCOMPARE(m_boxes->boxes[0].style, 16);
        QCOMPARE(m_end->exitCodes, QList<int>{1});
    }
    std::unique_ptr<EndProgramRecorder> m_end;
};

void TestErrorReport::uncaughtErrorsShowTheStandardReport_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("run-time error") << 0 << 53 << "File not found";
    QTest::newRow("out of memory") << 1 << 7 << "Out of memory";
    QTest::newRow("anything else") << 2 << 51 << "Internal error";
}

void TestErrorReport::uncaughtErrorsShowTheStandardReport() {
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(QString, description);
    Thrower thrower;
    thrower.action = [kind] {
        if (kind == 0)
            host::raise(host::ErrFileNotFound);
        if (kind == 1)
            throw std::bad_alloc();
        throw 42;
    };
    // Posted, so the exception meets the event loop itself.
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    expectReport(number, description);
}

void TestErrorReport::unreachableSystemDirectoryEndsTheLoad() {
    m_prefix->writeHostFile("not-a-folder", "x");
    m_prefix->pointDrive('c', m_prefix->root() + "/not-a-folder");
    QTimer::singleShot(0, [] { host::FormInstance<Main>::show(); });
    expectReport(71, "Disk not ready");
}

void TestErrorReport::readOnlySystemDirectoryEndsTheLoad() {
    TmpfsMount c(m_prefix->root() + "/readonly-c", false);
    if (!c.isMounted())
        QSKIP("cannot mount a read-only medium here");
    QDir().mkpath(c.path() + "/windows/system");
    QVERIFY(c.makeReadOnly());
    m_prefix->pointDrive('c', c.path());
    QTimer::singleShot(0, [] { host::FormInstance<Main>::show(); });
    expectReport(70, "Permission denied");
}

void TestErrorReport::readOnlySystemDirectoryEndsTheUnload() {
    TmpfsMount c(m_prefix->root() + "/readonly-c", false);
    if (!c.isMounted())
        QSKIP("cannot mount a read-only medium here");
    QDir().mkpath(c.path() + "/windows/system");
    m_prefix->pointDrive('c', c.path());
    Main* main = host::FormInstance<Main>::show();
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(c.makeReadOnly());
    QTimer::singleShot(0, main, &Main::mnuExit_Click);
    expectReport(70, "Permission denied");
}

int main(int argc, char** argv) {
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle"));
    TestErrorReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
