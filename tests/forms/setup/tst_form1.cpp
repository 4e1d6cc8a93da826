// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "FormChecks.h"
#include "PrefixTest.h"

#include "forms/setup/Form1.h"
#include "host/core/DosPath.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Twips.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kSourceFiles = {"Vortle.ex_", "ReadMe.tx_", "Comctl32.oc_", "msvbvm50.dll"};

QString dist() {
    return qEnvironmentVariable("VORTLE_DIST");
}

} // namespace

class TestForm1 : public PrefixTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsAtTheirPlaces();
    void pagesOfTheWizard();
    void installCopiesTheFourFiles();
    void installedProgramStartsAndNamesAMissingComponent();
    void uninstallAsksAboutTheRuntime_data();
    void uninstallAsksAboutTheRuntime();
    void missingSourceEndsWithTheReport();
    void uninstallWithoutProgramEndsBeforeTheQuestion();
    void exitAsksFinishDoesNot();

private:
    Form1* open() { return host::FormInstance<Form1>::show(); }
    // Installs from a copy of the set-up folder into `destination`.
    Form1* install(const QString& destination) {
        Form1* form = open();
        ctl<QPushButton>(form, "Command1")->click();
        ctl<QLineEdit>(form, "txtDir")->setText(destination);
        ctl<QPushButton>(form, "Command1")->click();
        return form;
    }
    void enterSource(const QStringList& files) {
        const QString source = m_prefix->root() + "/source";
        QDir().mkpath(source);
        for (const QString& name : files)
            QFile::copy(dist() + "/" + name, source + "/" + name);
        QDir::setCurrent(source);
    }
    QString systemDir() const { return m_prefix->driveC() + "/windows/system"; }

    std::unique_ptr<EndProgramRecorder> m_end;
};

void TestForm1::init() {
    PrefixTest::init();
    m_end = std::make_unique<EndProgramRecorder>();
    enterSource(kSourceFiles);
}

void TestForm1::cleanup() {
    delete host::FormInstance<Form1>::loaded();
    m_end.reset();
    PrefixTest::cleanup();
}

void TestForm1::controlsAtTheirPlaces() {
    Form1* form = open();
    const QStringList faults = layoutFaults(
        form, {
                  {"Picture1", {0, 120, 735, 3390}, ""},
                  {"Picture2", {960, 840, 5775, 1695}, ""},
                  {"Label5", {240, 120, 3735, 375}, "Do you want to install or uninstall Vortle ?"},
                  {"Option1", {240, 600, 2175, 375}, "Install"},
                  {"Option2", {240, 960, 2175, 375}, "Uninstall"},
                  {"Command2", {2640, 2880, 1575, 375}, "Exit"},
                  {"Command1", {960, 2880, 1575, 375}, "Next >"},
                  {"txtDir", {960, 2160, 5775, 285}, "c:\\Vortle"},
                  {"Label3", {0, 0, 735, 375}, ""},
                  {"Label4",
                   {960, 240, 5775, 495},
                   "Hi and welcome to the setup-utility of Vortle. I would like to "
                   "thank you for using Vortle."},
                  {"Label2", {960, 1920, 2295, 255}, "Destination directory"},
                  {"Label1",
                   {960, 840, 5775, 495},
                   "For the sake of saving disk space, this is a very easy installation-program. "
                   "Just enter the destination path in the text-box below and click 'Install'."},
              });
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    QCOMPARE(form->windowTitle(), QStringLiteral("Vortle Installation"));
    QCOMPARE(form->size(), QSize(host::twipsToPixelsX(6990), host::twipsToPixelsY(3495)));
    QCOMPARE(ctl<QLabel>(form, "Picture1")->pixmap().size(), QSize(50, 226));
}

void TestForm1::pagesOfTheWizard() {
    Form1* form = open();
    const QString source = m_prefix->root() + "/source";
    QCOMPARE(ctl<QLabel>(form, "lblCurDir")->text(), host::toDosPath(source) + "\\");
    QVERIFY(!ctl<QLabel>(form, "lblCurDir")->isVisible());
    // The panel covers the directory page's controls.
    QVERIFY(ctl<QWidget>(form, "Picture2")->isVisible());
    QVERIFY(ctl<QRadioButton>(form, "Option1")->isChecked());
    QVERIFY(form->children().indexOf(ctl<QWidget>(form, "Picture2")) >
            form->children().indexOf(ctl<QLineEdit>(form, "txtDir")));
    // The focus starts on the choice the user sees; what is typed never reaches the box under
    // the panel, and Tab never takes the focus there.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(QApplication::focusWidget(), ctl<QRadioButton>(form, "Option1"));
    for (int i = 0; i < 6; ++i) {
        QTest::keyClicks(QApplication::focusWidget(), "x");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != ctl<QLineEdit>(form, "txtDir"));
    }
    QCOMPARE(ctl<QLineEdit>(form, "txtDir")->text(), QStringLiteral("c:\\Vortle"));
    ctl<QRadioButton>(form, "Option1")->setChecked(true);
    ctl<QPushButton>(form, "Command1")->click();
    QVERIFY(!ctl<QWidget>(form, "Picture2")->isVisible());
    QCOMPARE(ctl<QPushButton>(form, "Command1")->text(), QStringLiteral("Install"));
    QCOMPARE(ctl<QLineEdit>(form, "txtDir")->text(), QStringLiteral("c:\\Vortle"));
    delete form;

    form = open();
    ctl<QRadioButton>(form, "Option2")->setChecked(true);
    ctl<QPushButton>(form, "Command1")->click();
    QCOMPARE(ctl<QPushButton>(form, "Command1")->text(), QStringLiteral("Uninstall"));
    QCOMPARE(ctl<QLabel>(form, "Label2")->text(), QStringLiteral("Location"));
    QCOMPARE(ctl<QLabel>(form, "Label1")->text(),
             QStringLiteral("There's not much to say about this. Just enter the directory of "
                            "the Vortle files in thge text-box below and click 'Uninstall'."));
    QCOMPARE(ctl<QLineEdit>(form, "txtDir")->text(), host::toDosPath(source) + "\\");
    delete form;

    // Outside a set-up folder, the one shipped beside Setup, when there is one.
    const QString shipped = QCoreApplication::applicationDirPath() + "/../lib/vortle/dist";
    QVERIFY(QDir().mkpath(shipped));
    QVERIFY(QFile::copy(dist() + "/Vortle.ex_", shipped + "/Vortle.ex_"));
    QDir::setCurrent(m_prefix->root());
    form = open();
    const QString shown = ctl<QLabel>(form, "lblCurDir")->text();
    QDir(shipped + "/../..").removeRecursively();
    QCOMPARE(shown, host::toDosPath(QDir::cleanPath(shipped)) + "\\");
}

void TestForm1::installCopiesTheFourFiles() {
    QDir().mkpath(m_prefix->driveC() + "/Programs");
    Form1* form = install("c:\\Programs\\Tools\\Vortle");
    QCOMPARE(ctl<QLineEdit>(form, "txtDir")->text(),
             QStringLiteral("c:\\Programs\\Tools\\Vortle\\"));
    QVERIFY(!ctl<QLineEdit>(form, "txtDir")->isEnabled());
    QVERIFY(!ctl<QPushButton>(form, "Command1")->isEnabled());
    QCOMPARE(ctl<QPushButton>(form, "Command2")->text(), QStringLiteral("Finish"));
    QVERIFY(m_boxes->boxes.isEmpty());
    const QString destination = m_prefix->driveC() + "/Programs/Tools/Vortle";
    const QList<QPair<QString, QString>> copies = {{"Vortle.ex_", destination + "/Vortle.exe"},
                                                   {"ReadMe.tx_", destination + "/ReadMe.txt"},
                                                   {"Comctl32.oc_", systemDir() + "/Comctl32.ocx"},
                                                   {"msvbvm50.dll", systemDir() + "/msvbvm50.dll"}};
    for (const auto& [source, target] : copies)
        QCOMPARE(m_prefix->readHostFile(target), m_prefix->readHostFile(dist() + "/" + source));
    QVERIFY(QFileInfo(destination + "/Vortle.exe").isExecutable());
    // Finish ends without a question.
    ctl<QPushButton>(form, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_end->exitCodes, QList<int>{0});

    // A host path with several missing levels, and a DOS path written with slashes.
    for (const QString& typed :
         {m_prefix->root() + "/home/me/opt/vortle", QString("c:/Apps/Tools/Vortle")}) {
        delete host::FormInstance<Form1>::loaded();
        install(typed);
        const QString host =
            typed.startsWith('/') ? typed : m_prefix->driveC() + "/Apps/Tools/Vortle";
        QVERIFY2(QFile::exists(host + "/Vortle.exe"), qPrintable(typed));
        QVERIFY(QFile::exists(host + "/ReadMe.txt"));
    }
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestForm1::installedProgramStartsAndNamesAMissingComponent() {
    install("c:\\Vortle");
    const QString program = m_prefix->driveC() + "/Vortle/Vortle.exe";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VORTLE_MSGBOX_LOG", m_prefix->root() + "/boxes.log");
    QProcess vortle;
    vortle.setProcessEnvironment(env);
    vortle.start(program, {});
    QVERIFY(vortle.waitForStarted());
    // The utility runs: after its splash the main window loads and creates its settings file.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(systemDir() + "/VRTLSettings.dll"), 10000);
    QCOMPARE(vortle.state(), QProcess::Running);
    vortle.kill();
    vortle.waitForFinished();

    for (const char* component : {"msvbvm50.dll", "Comctl32.ocx"}) {
        QFile::remove(m_prefix->root() + "/boxes.log");
        QFile::rename(systemDir() + "/" + component, systemDir() + "/away");
        vortle.start(program, {});
        QVERIFY(vortle.waitForFinished(10000));
        QCOMPARE(vortle.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vortle.exitCode(), 1);
        QVERIFY(QString::fromUtf8(vortle.readAllStandardError()).contains(component));
        QVERIFY(m_prefix->readHostFile(m_prefix->root() + "/boxes.log").contains(component));
        QFile::rename(systemDir() + "/away", systemDir() + "/" + component);
    }
}

void TestForm1::uninstallAsksAboutTheRuntime_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << 6;
    QTest::newRow("No") << 7;
}

void TestForm1::uninstallAsksAboutTheRuntime() {
    QFETCH(int, answer);
    install("c:\\Vortle");
    delete host::FormInstance<Form1>::loaded();
    m_prefix->writeHostFile("data/vortle/drive_c/Vortle/mine.txt", "kept");
    // A runtime component written in another case is found all the same.
    QFile::rename(systemDir() + "/Comctl32.ocx", systemDir() + "/COMCTL32.OCX");
    Form1* form = open();
    ctl<QRadioButton>(form, "Option2")->setChecked(true);
    ctl<QPushButton>(form, "Command1")->click();
    ctl<QLineEdit>(form, "txtDir")->setText("c:\\Vortle");
    m_boxes->answers = {answer};
    ctl<QPushButton>(form, "Command1")->click();
    QCOMPARE(
        m_boxes->prompts(),
        QStringList{"Do you really want to delete the files COMCTL32.OCX and MSVBVM50.DLL ?,"});
    QCOMPARE(m_boxes->boxes[0].style, 20);
    QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Delete files"));
    QCOMPARE(QDir(m_prefix->driveC() + "/Vortle").entryList(QDir::Files), QStringList{"mine.txt"});
    const QStringList runtime = QDir(systemDir()).entryList({"*.ocx", "*.dll"}, QDir::Files);
    QCOMPARE(runtime.isEmpty(), answer == 6);
    QCOMPARE(ctl<QPushButton>(form, "Command2")->text(), QStringLiteral("Finish"));
}

void TestForm1::missingSourceEndsWithTheReport() {
    QDir(m_prefix->root() + "/source").removeRecursively();
    enterSource({"Vortle.ex_", "ReadMe.tx_", "msvbvm50.dll"});
    QTimer::singleShot(0, [this] { install("c:\\Vortle"); });
    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->prompts(), QStringList{"Run-time error '53':\n\nFile not found"});
    QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle Installation"));
    QCOMPARE(m_end->exitCodes, QList<int>{1});
    // Nothing is undone.
    QVERIFY(QFile::exists(m_prefix->driveC() + "/Vortle/Vortle.exe"));
    QVERIFY(QFile::exists(m_prefix->driveC() + "/Vortle/ReadMe.txt"));
    QVERIFY(!QFile::exists(systemDir() + "/msvbvm50.dll"));
}

void TestForm1::uninstallWithoutProgramEndsBeforeTheQuestion() {
    QTimer::singleShot(0, [this] {
        Form1* form = open();
        ctl<QRadioButton>(form, "Option2")->setChecked(true);
        ctl<QPushButton>(form, "Command1")->click();
        ctl<QLineEdit>(form, "txtDir")->setText("c:\\windows"); // a folder without the program
        ctl<QPushButton>(form, "Command1")->click();
    });
    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->prompts(), QStringList{"Run-time error '53':\n\nFile not found"});
    QCOMPARE(m_end->exitCodes, QList<int>{1});
}

void TestForm1::exitAsksFinishDoesNot() {
    Form1* form = open();
    m_boxes->answers = {7};
    ctl<QPushButton>(form, "Command2")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Do you really want to abort the installation?"});
    QCOMPARE(m_boxes->boxes[0].style, 36);
    QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle Installation"));
    QVERIFY(m_end->exitCodes.isEmpty());
    // By the keyboard: Enter goes on to the directory page, Escape asks there as well.
    QTest::keyClick(form, Qt::Key_Return);
    QVERIFY(!ctl<QWidget>(form, "Picture2")->isVisible());
    m_boxes->answers = {6};
    QTest::keyClick(form, Qt::Key_Escape);
    QCOMPARE(m_boxes->boxes.size(), 2);
    QCOMPARE(m_end->exitCodes, QList<int>{0});
}

int main(int argc, char** argv) {
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle Installation"));
    TestForm1 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1.moc"
