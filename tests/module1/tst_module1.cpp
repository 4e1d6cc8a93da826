// SPDX-License-Identifier: MIT
#include "DiskFixture.h"
#include "ErrorOf.h"
#include "PrefixTest.h"

#include "engine/DiskDisplay.h"
#include "engine/MkDir.h"
#include "module1/Module1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace vortle;

using DiskSettings::Action;

namespace {

QImage solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QStringList tree(const QString& root) {
    QStringList entries;
    const QDir dir(root);
    for (const QString& entry :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name)) {
        entries << entry;
        if (QFileInfo(dir.filePath(entry)).isDir())
            for (const QString& below : tree(dir.filePath(entry)))
                entries << entry + "/" + below;
    }
    return entries;
}

} // namespace

class TestModule1 : public PrefixTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void checkDrive_data();
    void checkDrive();
    void unmountedMountPointIsNoDiskette();
    void mkDir_data();
    void mkDir();
    void mkDirOnAnExistingPathChangesNothing();

    void reloadWithoutDiskette();
    void reloadOfAnEmptyDiskette();
    void reloadKeepsThePreviousPictureWithoutIcon();
    void reloadShowsNameAndIcon_data();
    void reloadShowsNameAndIcon();
    void reloadSurvivesBadFiles_data();
    void reloadSurvivesBadFiles();

private:
    QString a(const QString& name) const { return m_prefix->driveA() + "/" + name; }
    std::unique_ptr<DiskDisplay> m_picIcon;
};

void TestModule1::init() {
    PrefixTest::init();
    m_picIcon = std::make_unique<DiskDisplay>(solid({32, 32}, Qt::red), "Load Disk-Settings");
    m_picIcon->setPicture(solid({32, 32}, Qt::green));
    Module1::setDiskDisplay(m_picIcon.get());
}

void TestModule1::cleanup() {
    qunsetenv("VORTLE_MEDIA_ROOTS");
    qunsetenv("VORTLE_FSTAB");
    Module1::setDiskDisplay(nullptr);
    m_picIcon.reset();
    PrefixTest::cleanup();
}

void TestModule1::checkDrive_data() {
    QTest::addColumn<QString>("target"); // "" removes a:
    QTest::addColumn<QString>("drive");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<QString>("message");
    QTest::newRow("no drive") << ""
                              << "a:" << false << "Laufwerk nicht vorhanden.";
    QTest::newRow("no diskette") << "missing"
                                 << "a:" << false << "Keine Diskette in Laufwerk A:";
    QTest::newRow("no diskette, letter given in lower case only")
        << "missing"
        << "a" << false << "Keine Diskette in Laufwerk A:";
    QTest::newRow("empty diskette") << "empty"
                                    << "a:" << true << "";
    QTest::newRow("diskette with files") << "full"
                                         << "a:" << true << "";
}

void TestModule1::checkDrive() {
    QFETCH(QString, target);
    QFETCH(QString, drive);
    QFETCH(bool, ready);
    QFETCH(QString, message);
    QDir().mkpath(m_prefix->root() + "/empty");
    m_prefix->writeHostFile("full/VRTLSettings.sys", "x");
    if (target.isEmpty())
        m_prefix->removeDrive('a');
    else
        m_prefix->pointDrive('a', m_prefix->root() + "/" + target);
    QCOMPARE(Module1::CheckDrive(drive), ready);
    if (message.isEmpty()) {
        QVERIFY(m_boxes->boxes.isEmpty());
    } else {
        QCOMPARE(m_boxes->boxes.size(), 1);
        QCOMPARE(m_boxes->boxes[0].prompt, message);
        QCOMPARE(m_boxes->boxes[0].style, 0);
        QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle"));
    }
}

void TestModule1::mkDir_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("created");
    QTest::newRow("two levels") << "c:\\Games\\Saves" << QStringList{"Games", "Games/Saves"};
    QTest::newRow("two levels with trailing backslash")
        << "c:\\Games\\Saves\\" << QStringList{"Games", "Games/Saves"};
    QTest::newRow("three levels") << "c:\\a\\b\\c" << QStringList{"a", "a/b", "a/b/c"};
    QTest::newRow("bare root") << "c:\\" << QStringList{};
    QTest::newRow("empty level ends the loop") << "c:\\x\\\\y\\z" << QStringList{"x"};
    QTest::newRow("missing drive") << "q:\\x" << QStringList{};
    QTest::newRow("forward slashes")
        << "c:/Apps/Tools/Vortle" << QStringList{"Apps", "Apps/Tools", "Apps/Tools/Vortle"};
}

void TestModule1::mkDir() {
    QFETCH(QString, path);
    QFETCH(QStringList, created);
    const QString root = m_prefix->root() + "/newc";
    QDir().mkpath(root);
    m_prefix->pointDrive('c', root);
    Mk_Dir(path);
    QCOMPARE(tree(root), created);
}

void TestModule1::mkDirOnAnExistingPathChangesNothing() {
    QDir().mkpath(m_prefix->driveC() + "/Games/Saves");
    m_prefix->writeHostFile("data/vortle/drive_c/Games/Saves/slot1", "kept");
    Mk_Dir("c:\\GAMES\\saves");
    QCOMPARE(tree(m_prefix->driveC() + "/Games"), (QStringList{"Saves", "Saves/slot1"}));
    // A file in the way is passed over silently, as every failure is.
    m_prefix->writeHostFile("data/vortle/drive_c/blocker", "");
    Mk_Dir("c:\\blocker\\below");
    QVERIFY(QFileInfo(m_prefix->driveC() + "/blocker").isFile());
}

void TestModule1::reloadWithoutDiskette() {
    m_prefix->pointDrive('a', m_prefix->root() + "/nothing");
    Module1::ReloadDiskSettings();
    QCOMPARE(m_boxes->prompts(), QStringList{"Keine Diskette in Laufwerk A:"});
    QCOMPARE(m_picIcon->toolTip(), QStringLiteral("Reload Disk-Settings"));
    QCOMPARE(m_picIcon->picture(), m_picIcon->noDiskPicture());
}

void TestModule1::reloadOfAnEmptyDiskette() {
    const QImage before = m_picIcon->picture();
    Module1::ReloadDiskSettings();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_picIcon->toolTip(), QString());
    QCOMPARE(m_picIcon->picture(), before);
    // Reading left an empty disk settings file behind on the writable diskette.
    QVERIFY(QFile::exists(a("VRTLSettings.sys")));
    QCOMPARE(QFile(a("VRTLSettings.sys")).size(), 0);
}

void TestModule1::reloadKeepsThePreviousPictureWithoutIcon() {
    solid({32, 32}, Qt::blue).save(a("VRTLIcon.sys"), "BMP");
    writeDiskSettings("First", {});
    Module1::ReloadDiskSettings();
    QCOMPARE(m_picIcon->picture().pixelColor(5, 5), QColor(Qt::blue));
    // Another diskette, with a name but no icon.
    const QString second = m_prefix->root() + "/second";
    QDir().mkpath(second);
    m_prefix->pointDrive('a', second);
    writeDiskSettings("Second", {});
    Module1::ReloadDiskSettings();
    QCOMPARE(m_picIcon->toolTip(), QStringLiteral("Second"));
    QCOMPARE(m_picIcon->picture().pixelColor(5, 5), QColor(Qt::blue));
}

void TestModule1::reloadShowsNameAndIcon_data() {
    QTest::addColumn<QString>("source"); // how the icon file is made
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("icon of several sizes") << "diskette.ico" << QSize(32, 32) << QColor();
    QTest::newRow("single-size icon") << "ico" << QSize(48, 48) << QColor(Qt::magenta);
    QTest::newRow("bitmap") << "bmp" << QSize(40, 30) << QColor(Qt::magenta);
}

void TestModule1::reloadShowsNameAndIcon() {
    QFETCH(QString, source);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    if (source.endsWith(".ico"))
        QFile::copy(QStringLiteral(VORTLE_RESOURCES "/") + source, a("VRTLIcon.sys"));
    else
        solid(size, colour).save(a("VRTLIcon.sys"), source.toLatin1().toUpper().constData());
    writeDiskSettings("Holiday photos 1997 \u20AC", {});
    Module1::ReloadDiskSettings();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_picIcon->toolTip(), QStringLiteral("Holiday photos 1997 \u20AC"));
    QCOMPARE(m_picIcon->picture().size(), size);
    if (colour.isValid())
        QCOMPARE(m_picIcon->picture().pixelColor(3, 3), colour);
}

void TestModule1::reloadSurvivesBadFiles_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("icon");
    QTest::addColumn<QString>("tip");
    QTest::newRow("garbage settings")
        << QByteArray("\xff\xfe garbage", 10) << QByteArray("not a picture") << "";
    QTest::newRow("truncated name") << QByteArray("\x08\x00\x20\x00Hal", 7) << QByteArray()
                                    << QString("Hal") + QString(29, QChar(0));
    QTest::newRow("name length past the record")
        << QByteArray("\x08\x00\xff\x00Hal", 7) << QByteArray("\x00\x00\x01\x00", 4) << "";
    QTest::newRow("a folder") << QByteArray("folder") << QByteArray() << "";
    QTest::newRow("number as name") << QByteArray("\x02\x00\x07\x00", 4) << QByteArray() << "7";
}

void TestModule1::reloadSurvivesBadFiles() {
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, icon);
    QFETCH(QString, tip);
    if (settings == "folder")
        QDir().mkpath(a("VRTLSettings.sys"));
    else
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLSettings.sys", settings);
    if (!icon.isEmpty())
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", icon);
    const QImage before = m_picIcon->picture();
    Module1::ReloadDiskSettings();
    QCOMPARE(m_picIcon->toolTip(), tip);
    QCOMPARE(m_picIcon->picture(), before);
    QVERIFY(m_boxes->boxes.isEmpty());
}

QTEST_MAIN(TestModule1)
void TestModule1::unmountedMountPointIsNoDiskette() {
    // A folder under a removable-media root, and one that the file-system table names.
    const QString media = m_prefix->root() + "/media";
    const QString fstab = m_prefix->writeHostFile(
        "fstab", QFile::encodeName("# comment\n/dev/fd0 " + m_prefix->root() +
                                   "/fl\\040oppy vfat noauto 0 0\n"));
    qputenv("VORTLE_MEDIA_ROOTS", QFile::encodeName(media));
    qputenv("VORTLE_FSTAB", QFile::encodeName(fstab));
    for (const QString& point : {media + "/STICK", m_prefix->root() + "/fl oppy"}) {
        QDir().mkpath(point);
        m_prefix->pointDrive('a', point);
        m_boxes->boxes.clear();
        Module1::ReloadDiskSettings();
        QCOMPARE(m_boxes->prompts(), QStringList{"Keine Diskette in Laufwerk A:"});
        QVERIFY(QDir(point).isEmpty()); // nothing written beneath the mount point
        TmpfsMount stick(point, false);
        if (!stick.isMounted())
            QSKIP("cannot mount a medium here");
        QVERIFY(Module1::CheckDrive("a:"));
    }
}

#include "tst_module1.moc"
