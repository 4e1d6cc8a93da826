// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "PrefixTest.h"

#include "forms/app/Notes.h"
#include "host/core/FileSystem.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Twips.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TestNotes : public PrefixTest {
    Q_OBJECT
private slots:
    void cleanup() {
        delete host::FormInstance<Notes>::loaded();
        PrefixTest::cleanup();
    }

    void controls();
    void newNoteIsCreated();
    void linesComeBackAsTheyWere();
    void okProtectsTheDiskIcon();
    void withoutDiskIconTheSaveStillSucceeds();
    void cancelAndFrameWriteNothing();
    void secondNotesOnlyRaises();
    void failedSaveKeepsTheOldNote_data();
    void failedSaveKeepsTheOldNote();

private:
    Notes* open() { return host::FormInstance<Notes>::show(); }
    QString notesFile() const { return m_prefix->driveA() + "/VRTLNotes.sys"; }
};

void TestNotes::controls() {
    Notes* window = open();
    QCOMPARE(window->windowTitle(), QStringLiteral("Notes"));
    QCOMPARE(window->size(), QSize(host::twipsToPixelsX(5535), host::twipsToPixelsY(4455)));
    QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->geometry(),
             QRect(host::twipsToPixelsX(120), host::twipsToPixelsY(120), host::twipsToPixelsX(5295),
                   host::twipsToPixelsY(3735)));
    QCOMPARE(ctl<QPushButton>(window, "Command1")->text(), QStringLiteral("Cancel"));
    QCOMPARE(ctl<QPushButton>(window, "Command2")->text(), QStringLiteral("OK"));
    QCOMPARE(ctl<QPushButton>(window, "Command1")->x(), host::twipsToPixelsX(4080));
    QCOMPARE(ctl<QPushButton>(window, "Command2")->x(), host::twipsToPixelsX(2640));
}

void TestNotes::newNoteIsCreated() {
    Notes* window = open();
    QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->toPlainText(), QString());
    ctl<QPushButton>(window, "Command2")->click();
    QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
    QVERIFY(QFile::exists(notesFile()));
    QCOMPARE(QFile(notesFile()).size(), 0); // an empty note is an empty file
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestNotes::linesComeBackAsTheyWere() {
    Notes* window = open();
    ctl<QPlainTextEdit>(window, "txtText")
        ->setPlainText(QStringLiteral("Backup of 3 May\nPrices in \u20AC\n\nlast line"));
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(m_prefix->readHostFile(notesFile()),
             QByteArray("Backup of 3 May\r\nPrices in \x80\r\n\r\nlast line"));
    for (int round = 0; round < 3; ++round) {
        window = open();
        QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->toPlainText(),
                 QStringLiteral("Backup of 3 May\nPrices in \u20AC\n\nlast line"));
        ctl<QPushButton>(window, "Command2")->click(); // saving again adds nothing
    }
    QCOMPARE(QFile(notesFile()).size(), 41);
}

void TestNotes::okProtectsTheDiskIcon() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "icon");
    host::setAttributes("a:\\VRTLIcon.sys", host::AttrSystem);
    Notes* window = open();
    ctl<QPlainTextEdit>(window, "txtText")->setPlainText("x");
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    const int attributes = host::getAttributes("a:\\VRTLIcon.sys");
    QVERIFY(attributes & host::AttrReadOnly);
    if ((attributes & (host::AttrHidden | host::AttrSystem)) == 0)
        QSKIP("this file system keeps no hidden attribute");
    QCOMPARE(attributes & (host::AttrReadOnly | host::AttrHidden | host::AttrSystem),
             host::AttrReadOnly | host::AttrHidden);
}

void TestNotes::withoutDiskIconTheSaveStillSucceeds() {
    Notes* window = open();
    ctl<QPlainTextEdit>(window, "txtText")->setPlainText("no icon on this one");
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
    QCOMPARE(m_prefix->readHostFile(notesFile()), QByteArray("no icon on this one"));
    QVERIFY(!QFile::exists(m_prefix->driveA() + "/VRTLIcon.sys"));
}

void TestNotes::cancelAndFrameWriteNothing() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLNotes.sys", "kept");
    for (bool byFrame : {false, true}) {
        Notes* window = open();
        ctl<QPlainTextEdit>(window, "txtText")->setPlainText("changed");
        byFrame ? (void)window->close() : ctl<QPushButton>(window, "Command1")->click();
        QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
        QCOMPARE(m_prefix->readHostFile(notesFile()), QByteArray("kept"));
    }
}

void TestNotes::secondNotesOnlyRaises() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLNotes.sys", "first");
    Notes* window = open();
    ctl<QPlainTextEdit>(window, "txtText")->setPlainText("typing");
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLNotes.sys", "changed meanwhile");
    QCOMPARE(open(), window);
    QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->toPlainText(), QStringLiteral("typing"));
}

void TestNotes::failedSaveKeepsTheOldNote_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("full diskette") << "full";
    QTest::newRow("write-protected diskette") << "protected";
    QTest::newRow("no diskette") << "pulled";
    QTest::newRow("another medium") << "swapped"; // its note and icon stay its own
}

void TestNotes::failedSaveKeepsTheOldNote() {
    QFETCH(QString, fault);
    TmpfsMount disk(m_prefix->root() + "/disk", false, 64);
    const bool folders = fault == "pulled" || fault == "swapped";
    if (!folders) {
        if (!disk.isMounted())
            QSKIP("cannot mount a small medium here");
        m_prefix->pointDrive('a', disk.path());
    }
    m_prefix->writeHostFile(folders ? "data/vortle/drive_a/VRTLNotes.sys" : "disk/VRTLNotes.sys",
                            "old note");
    Notes* window = open();
    QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->toPlainText(), QStringLiteral("old note"));
    const QString longNote = QString(79, 'n').append('\n').repeated(1000);
    ctl<QPlainTextEdit>(window, "txtText")->setPlainText(longNote);
    if (fault == "protected")
        QVERIFY(disk.makeReadOnly());
    if (fault == "pulled")
        m_prefix->pointDrive('a', m_prefix->root() + "/gone");
    const QString other = m_prefix->root() + "/other";
    if (fault == "swapped") {
        m_prefix->writeHostFile("other/VRTLNotes.sys", "their note");
        m_prefix->writeHostFile("other/VRTLIcon.sys", "icon");
        m_prefix->pointDrive('a', other);
    }
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't write on disk."});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QVERIFY(window->isVisible());
    QCOMPARE(ctl<QPlainTextEdit>(window, "txtText")->toPlainText(), longNote);
    if (fault == "swapped") {
        QCOMPARE(m_prefix->readHostFile(other + "/VRTLNotes.sys"), QByteArray("their note"));
        QCOMPARE(host::getAttributes("a:\\VRTLIcon.sys") & host::AttrHidden, 0);
        QCOMPARE(m_prefix->readHostFile(notesFile()), QByteArray("old note"));
        m_prefix->pointDrive('a', m_prefix->prefix() + "/drive_a"); // its own back: OK saves
        ctl<QPushButton>(window, "Command2")->click();
        QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
        QCOMPARE(m_prefix->readHostFile(notesFile()), longNote.toLatin1().replace("\n", "\r\n"));
    }
    if (!folders) {
        QCOMPARE(m_prefix->readHostFile(disk.path() + "/VRTLNotes.sys"), QByteArray("old note"));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"VRTLNotes.sys"});
    }
}

QTEST_MAIN(TestNotes)
#include "tst_notes.moc"
