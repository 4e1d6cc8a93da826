// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "ErrorOf.h"
#include "FormChecks.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "forms/prefs/Settings.h"
#include "host/gui/FileDialog.h"
#include "host/gui/FormInstance.h"
#include "host/gui/LineControl.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowPos.h"
#include "storage/Profiles.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace vortle;

using Profiles::Profile;
using storage::TaggedValue;
namespace Rec = storage::ProgramSettingsRecord;
Q_DECLARE_METATYPE(TaggedValue)

namespace {

QStringList itemsOf(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

TaggedValue setting(int record) {
    return readProgramSetting(record);
}

void putSetting(int record, const TaggedValue& value) {
    writeProgramSettings({{record, value}});
}

} // namespace

class TestSettings : public PrefixTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsAtTheirPlaces();
    void tabOrderFollowsTheIndexes();
    void firstOpening();
    void checkBoxStates_data();
    void checkBoxStates();
    void labelsFollowTheName();
    void deleteKeepsNumbersUntilReopened();
    void nothingSelectedChangesNothing();
    void iconPreviewAndSearch();
    void winZipSearch();
    void okWritesTheRecordsAndTheProfiles();
    void okMovesTheMainWindowBetweenBands_data();
    void okMovesTheMainWindowBetweenBands();
    void cancelAndCloseBoxStoreNothing();
    void atMost101Profiles();
    void emptyNamesAreNotWritten();
    void unwritableSystemDirectoryIsAnUncaughtError();

private:
    Settings* open() { return host::FormInstance<Settings>::show(m_main.get()); }
    Settings* loaded() { return host::FormInstance<Settings>::loaded(); }
    void answerDialog(std::optional<QString> answer) {
        host::setFileDialogHook([this, answer](const host::FileDialogRequest& request) {
            m_requests.append(request.nameFilters);
            return answer;
        });
    }
    QString profilesFile() const { return m_prefix->driveC() + "/windows/system/VRTLProfiles.dll"; }

    std::unique_ptr<QWidget> m_main;
    QList<QStringList> m_requests;
};

void TestSettings::init() {
    PrefixTest::init();
    m_main = std::make_unique<QWidget>();
    m_main->setFixedSize(105, 244);
    m_main->move(300, 200);
    m_main->show();
    m_requests.clear();
}

void TestSettings::cleanup() {
    host::setFileDialogHook({});
    delete loaded();
    m_main.reset();
    PrefixTest::cleanup();
}

void TestSettings::controlsAtTheirPlaces() {
    Settings* window = open();
    const QStringList faults = layoutFaults(
        window,
        {
            {"Label1", {120, 120, 3855, 255}, "User profiles", ""},
            {"lstProfiles", {120, 360, 4695, 1035}, "", ""},
            {"Command3", {120, 1560, 1455, 375}, "Add a profile", ""},
            {"Command4", {1680, 1560, 1455, 375}, "Delete profile", ""},
            {"Label2", {120, 2040, 1695, 255}, "Name of disk", ""},
            {"txtName", {120, 2280, 4695, 285}, "", "Name of current scheme"},
            {"Label4", {120, 2640, 2175, 255}, "Icon", ""},
            {"txtIcon", {120, 2880, 4335, 285}, "", "Icon of current scheme"},
            {"Sarc", {4560, 2880, 255, 255}, "..", "Search Icon"},
            {"picIcon", {120, 3240, 495, 495}, "", ""},
            {"chkAutoLoad", {120, 3960, 3855, 375}, "Auto-load disk-settings on start", ""},
            {"chkAlwaysOnTop", {120, 4320, 3855, 375}, "Always on top", ""},
            {"Label3", {120, 4800, 1695, 255}, "WinZip", ""},
            {"txtZip", {120, 5040, 4335, 285}, "", "Enter here the folder and files of Winzip"},
            {"Command5", {4560, 5040, 255, 255}, "..", "Search Winzip"},
            {"Command2", {120, 5760, 1455, 375}, "OK", ""},
            {"Command1", {1680, 5760, 1455, 375}, "Cancel", ""},
            {"lstName", {5160, 600, 975, 450}, "", ""},
            {"lstIcon", {5160, 1200, 975, 450}, "", ""},
        });
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(window->size(), QSize(host::twipsToPixelsX(4935), host::twipsToPixelsY(6240)));
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->findChildren<host::LineControl*>().size(), 4);
    QVERIFY(!ctl<QListWidget>(window, "lstName")->isVisible() &&
            !ctl<QListWidget>(window, "lstIcon")->isVisible());
}

void TestSettings::tabOrderFollowsTheIndexes() {
    Settings* window = open();
    const QList<QWidget*> expected = {
        ctl<QCheckBox>(window, "chkAutoLoad"), ctl<QPushButton>(window, "Command1"),
        ctl<QPushButton>(window, "Command2"),  ctl<QListWidget>(window, "lstProfiles"),
        ctl<QPushButton>(window, "Command3"),  ctl<QPushButton>(window, "Command4"),
        ctl<QLineEdit>(window, "txtName"),     ctl<QLineEdit>(window, "txtIcon"),
        ctl<QPushButton>(window, "Sarc"),      ctl<QCheckBox>(window, "chkAlwaysOnTop"),
        ctl<QLineEdit>(window, "txtZip"),      ctl<QPushButton>(window, "Command5")};
    // Walk the focus chain once round and note the controls in the order met.
    QList<QWidget*> met;
    QWidget* widget = expected.first();
    do {
        if (expected.contains(widget) && !met.contains(widget))
            met.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != expected.first());
    QCOMPARE(met, expected);
}

void TestSettings::firstOpening() {
    Settings* window = open();
    QCOMPARE(ctl<QListWidget>(window, "lstProfiles")->count(), 0);
    QVERIFY(!ctl<QCheckBox>(window, "chkAutoLoad")->isChecked());
    QVERIFY(!ctl<QCheckBox>(window, "chkAlwaysOnTop")->isChecked());
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->text(), QString());
    QVERIFY(QFile::exists(profilesFile()));
    QCOMPARE(QFile(profilesFile()).size(), 0);
    // A click on the caption's far end toggles, as on the box itself.
    for (QCheckBox* box :
         {ctl<QCheckBox>(window, "chkAutoLoad"), ctl<QCheckBox>(window, "chkAlwaysOnTop")}) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() / 2));
        QVERIFY(box->isChecked());
    }
    // A second showing only raises it.
    QCOMPARE(open(), window);
    QVERIFY(ctl<QCheckBox>(window, "chkAutoLoad")->isChecked());
}

void TestSettings::checkBoxStates_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<Qt::CheckState>("state");
    QTest::newRow("integer 1") << TaggedValue::integer(1) << Qt::Checked;
    QTest::newRow("string 1") << TaggedValue::string("1") << Qt::Checked;
    QTest::newRow("integer 2 is grayed") << TaggedValue::integer(2) << Qt::PartiallyChecked;
    QTest::newRow("integer 0") << TaggedValue::integer(0) << Qt::Unchecked;
    QTest::newRow("integer 5 is no state") << TaggedValue::integer(5) << Qt::Unchecked;
    QTest::newRow("text that is no number") << TaggedValue::string("on") << Qt::Unchecked;
}

void TestSettings::checkBoxStates() {
    QFETCH(TaggedValue, value);
    QFETCH(Qt::CheckState, state);
    putSetting(Rec::AutoLoad, value);
    putSetting(Rec::AlwaysOnTop, value);
    putSetting(Rec::WinZipPath, TaggedValue::string("c:\\winzip\\winzip32.exe"));
    Settings* window = open();
    QCOMPARE(ctl<QCheckBox>(window, "chkAutoLoad")->checkState(), state);
    QCOMPARE(ctl<QCheckBox>(window, "chkAlwaysOnTop")->checkState(), state);
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->text(), QStringLiteral("c:\\winzip\\winzip32.exe"));
}

void TestSettings::labelsFollowTheName() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"A", ""}});
    Settings* window = open();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")), QStringList{"Profile No. 1 - A"});
    QCOMPARE(ctl<QListWidget>(window, "lstProfiles")->currentRow(), -1);
    ctl<QListWidget>(window, "lstProfiles")->setCurrentRow(0);
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("A"));
    ctl<QPushButton>(window, "Command3")->click();
    // The new entry is selected, which empties the name box: a change, so it is relabelled.
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 2 - "}));
    QCOMPARE(ctl<QListWidget>(window, "lstName")->currentRow(), 1);
    QVERIFY(ctl<QLineEdit>(window, "txtName")->hasFocus() || !window->isActiveWindow());
    QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), "B");
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 2 - B"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstName")), (QStringList{"A", "B"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstIcon")), (QStringList{"", ""}));
}

void TestSettings::deleteKeepsNumbersUntilReopened() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(),
                               {{"A", "a.ico"}, {"B", "b.ico"}, {"C", "c.ico"}});
    Settings* window = open();
    ctl<QListWidget>(window, "lstProfiles")->setCurrentRow(1);
    ctl<QPushButton>(window, "Command4")->click();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 3 - C"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstName")), (QStringList{"A", "C"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstIcon")), (QStringList{"a.ico", "c.ico"}));
    QCOMPARE(ctl<QListWidget>(window, "lstProfiles")->currentRow(), -1);
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("B"));
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QStringLiteral("b.ico"));
    ctl<QListWidget>(window, "lstProfiles")->setCurrentRow(1);
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 2 - C"}));
    ctl<QPushButton>(window, "Command2")->click();
    QTRY_VERIFY(!loaded());
    window = open();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 2 - C"}));
}

void TestSettings::nothingSelectedChangesNothing() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"A", ""}, {"B", ""}});
    Settings* window = open();
    QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), "typed");
    ctl<QPushButton>(window, "Command4")->click();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstProfiles")),
             (QStringList{"Profile No. 1 - A", "Profile No. 2 - B"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstName")), (QStringList{"A", "B"}));
}

void TestSettings::iconPreviewAndSearch() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"Work", "c:\\work.ico"}});
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    image.save(m_prefix->driveC() + "/work.ico", "ICO");
    Settings* window = open();
    ctl<QListWidget>(window, "lstProfiles")->setCurrentRow(0);
    QCOMPARE(ctl<QLabel>(window, "picIcon")->pixmap().toImage().pixelColor(3, 3), QColor(Qt::blue));
    QTest::keyClicks(ctl<QLineEdit>(window, "txtIcon"),
                     "x"); // a path being typed keeps the picture
    QVERIFY(!ctl<QLabel>(window, "picIcon")->pixmap().isNull());
    answerDialog(m_prefix->driveC() + "/work.ico");
    ctl<QPushButton>(window, "Sarc")->click();
    QCOMPARE(m_requests.last(), QStringList{"Icons (*.ico)"});
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QStringLiteral("c:\\work.ico"));
    answerDialog(std::nullopt); // Cancel empties the box, the picture and the profile's icon
    ctl<QPushButton>(window, "Sarc")->click();
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QString());
    QVERIFY(ctl<QLabel>(window, "picIcon")->pixmap().isNull());
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(Profiles::readAllProfiles(Profiles::ProfilesPath()), (QList<Profile>{{"Work", ""}}));
}

void TestSettings::winZipSearch() {
    Settings* window = open();
    const QString zip = m_prefix->writeHostFile("data/vortle/drive_c/WinZip/winzip32.exe", "x");
    answerDialog(zip);
    ctl<QPushButton>(window, "Command5")->click();
    QCOMPARE(m_requests.last(), QStringList{"Executables (*.exe)"});
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->text(), QStringLiteral("c:\\WinZip\\winzip32.exe"));
    // A path that no record could hold leaves the box as it was.
    const QString deep =
        m_prefix->writeHostFile("data/vortle/drive_c/" + QString(130, 'w') + "/zip.exe", "x");
    answerDialog(deep);
    ctl<QPushButton>(window, "Command5")->click();
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->text(), QStringLiteral("c:\\WinZip\\winzip32.exe"));
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->maxLength(), 124);
    answerDialog(std::nullopt);
    ctl<QPushButton>(window, "Command5")->click();
    QCOMPARE(ctl<QLineEdit>(window, "txtZip")->text(), QString());
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(setting(Rec::WinZipPath), TaggedValue::string(""));
}

void TestSettings::okWritesTheRecordsAndTheProfiles() {
    putSetting(Rec::Top, TaggedValue::single(450));
    putSetting(Rec::Left, TaggedValue::single(600));
    Settings* window = open();
    ctl<QCheckBox>(window, "chkAutoLoad")->setChecked(true);
    ctl<QLineEdit>(window, "txtZip")->setText("c:\\winzip\\winzip32.exe");
    for (const char* name : {"One", "Two", "Three"}) {
        ctl<QPushButton>(window, "Command3")->click();
        QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), name);
    }
    ctl<QPushButton>(window, "Command2")->click();
    QTRY_VERIFY(!loaded());
    QCOMPARE(setting(Rec::Top), TaggedValue::single(450));
    QCOMPARE(setting(Rec::Left), TaggedValue::single(600));
    QCOMPARE(setting(Rec::AutoLoad), TaggedValue::integer(1));
    QCOMPARE(setting(Rec::AlwaysOnTop), TaggedValue::integer(0));
    QCOMPARE(setting(Rec::WinZipPath), TaggedValue::string("c:\\winzip\\winzip32.exe"));
    const QByteArray settings =
        m_prefix->readHostFile(m_prefix->driveC() + "/windows/system/VRTLSettings.dll");
    QCOMPARE(settings.mid(256, 4), QByteArray("\x02\x00\x01\x00", 4));
    QCOMPARE(settings.mid(384, 4), QByteArray("\x02\x00\x00\x00", 4));
    // Exactly records 1 to 6 of a fresh profiles file.
    QCOMPARE(QFile(profilesFile()).size(), 5 * 128 + 4);
    QCOMPARE(Profiles::readAllProfiles(Profiles::ProfilesPath()),
             (QList<Profile>{{"One", ""}, {"Two", ""}, {"Three", ""}}));
}

void TestSettings::okMovesTheMainWindowBetweenBands_data() {
    QTest::addColumn<bool>("before");
    QTest::addColumn<Qt::CheckState>("choice");
    QTest::addColumn<bool>("after");
    QTest::newRow("into the topmost band") << false << Qt::Checked << true;
    QTest::newRow("out of it") << true << Qt::Unchecked << false;
    QTest::newRow("unchecked, never on top") << false << Qt::Unchecked << false;
    QTest::newRow("grayed leaves it") << true << Qt::PartiallyChecked << true;
}

void TestSettings::okMovesTheMainWindowBetweenBands() {
    QFETCH(bool, before);
    QFETCH(Qt::CheckState, choice);
    QFETCH(bool, after);
    if (before) {
        const QRect frame = m_main->frameGeometry();
        host::SetWindowPos(m_main.get(), host::HWND_TOPMOST, frame.x(), frame.y(), frame.width(),
                           frame.height(), host::SWP_SHOWWINDOW);
    }
    const QRect frame = m_main->frameGeometry();
    Settings* window = open();
    ctl<QCheckBox>(window, "chkAlwaysOnTop")->setCheckState(choice);
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(host::isTopmost(m_main.get()), after);
    QVERIFY(m_main->isVisible());
    QCOMPARE(m_main->frameGeometry(), frame);
    QCOMPARE(setting(Rec::AlwaysOnTop), TaggedValue::integer(choice == Qt::Checked            ? 1
                                                             : choice == Qt::PartiallyChecked ? 2
                                                                                              : 0));
}

void TestSettings::cancelAndCloseBoxStoreNothing() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"Kept", ""}});
    const QByteArray profiles = m_prefix->readHostFile(profilesFile());
    for (bool byCloseBox : {false, true}) {
        Settings* window = open();
        ctl<QCheckBox>(window, "chkAlwaysOnTop")->setChecked(true);
        ctl<QPushButton>(window, "Command3")->click();
        QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), "Lost");
        if (byCloseBox)
            window->close();
        else
            ctl<QPushButton>(window, "Command1")->click();
        QTRY_VERIFY(!loaded());
        QVERIFY(setting(Rec::AlwaysOnTop).isEmpty());
        QCOMPARE(m_prefix->readHostFile(profilesFile()), profiles);
        QVERIFY(!host::isTopmost(m_main.get()));
    }
}

void TestSettings::atMost101Profiles() {
    QList<Profile> many;
    for (int i = 0; i < 100; ++i)
        many.append({QStringLiteral("P%1").arg(i), ""});
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), many);
    Settings* window = open();
    QVERIFY(ctl<QPushButton>(window, "Command3")->isEnabled());
    ctl<QPushButton>(window, "Command3")->click();
    QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), "Last");
    QCOMPARE(ctl<QListWidget>(window, "lstProfiles")->count(), 101);
    QVERIFY(!ctl<QPushButton>(window, "Command3")->isEnabled());
    ctl<QPushButton>(window, "Command3")->click();
    QCOMPARE(ctl<QListWidget>(window, "lstProfiles")->count(), 101);
    ctl<QListWidget>(window, "lstProfiles")->setCurrentRow(0);
    ctl<QPushButton>(window, "Command4")->click();
    QVERIFY(ctl<QPushButton>(window, "Command3")->isEnabled());
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(Profiles::readAllProfiles(Profiles::ProfilesPath()).size(), 100);
}

void TestSettings::emptyNamesAreNotWritten() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"A", ""}});
    Settings* window = open();
    ctl<QPushButton>(window, "Command3")->click(); // left without a name
    ctl<QPushButton>(window, "Command3")->click();
    QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), "C");
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(Profiles::readAllProfiles(Profiles::ProfilesPath()),
             (QList<Profile>{{"A", ""}, {"C", ""}}));
}

void TestSettings::unwritableSystemDirectoryIsAnUncaughtError() {
    Settings* window = open();
    m_prefix->removeDrive('c');
    QCOMPARE(errorOf([&] { window->Command2_Click(); }), 68);
    QVERIFY(loaded());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
