// SPDX-License-Identifier: MIT
#include "PrefixTest.h"

#include "host/gui/FileDialog.h"
#include "module1/Dialog.h"

#include <QDir>
#include <QTest>

namespace {

// The record's filter up to and including the empty string that ends it.
QByteArray filterBytes(const host::OPENFILENAME& ofn) {
    const char* p = ofn.lpstrFilter;
    const char* start = p;
    while (*p)
        p += qstrlen(p) + 1;
    return QByteArray(start, int(p - start + 1));
}

} // namespace

class TestDialog : public PrefixTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openFillsTheRecord();
    void openWithoutArguments();
    void filters_data();
    void filters();
    void saveProposesAName();
    void cancelAndFailuresGiveEmpty();
    void initialDirectoryIsADosPath();

private:
    // Answers the next dialog with `answer` and keeps a copy of what it was asked.
    void answerWith(std::optional<QString> answer) {
        host::setFileDialogHook([this, answer](const host::FileDialogRequest& request) {
            m_request = request;
            const host::OPENFILENAME& ofn = *request.record;
            m_record = ofn;
            m_filter = filterBytes(ofn);
            m_file = QByteArray(ofn.lpstrFile, qstrlen(ofn.lpstrFile) + 1 + 260);
            m_initialDir = QByteArray(ofn.lpstrInitialDir);
            return answer;
        });
    }
    host::FileDialogRequest m_request;
    host::OPENFILENAME m_record{};
    QByteArray m_filter;
    QByteArray m_file;
    QByteArray m_initialDir;
};

void TestDialog::init() {
    PrefixTest::init();
    m_prefix->writeHostFile("data/vortle/drive_a/Icons/disk.ico", "icon");
    QDir::setCurrent(m_prefix->driveC());
}

void TestDialog::cleanup() {
    host::setFileDialogHook({});
    PrefixTest::cleanup();
}

void TestDialog::openFillsTheRecord() {
    answerWith(m_prefix->driveA() + "/Icons/disk.ico");
    Dialog dialog;
    QCOMPARE(dialog.OpenFile(QStringLiteral("Icons|*.ico")), QStringLiteral("a:\\Icons\\disk.ico"));
    QCOMPARE(m_record.lStructSize, 76u);
    QCOMPARE(m_record.nFilterIndex, 1u);
    QCOMPARE(m_record.nMaxFile, 260u);
    QCOMPARE(m_record.Flags, 0x81800u);
    QCOMPARE(m_filter, QByteArray("Icons\0*.ico\0\0", 13));
    QCOMPARE(m_file, QByteArray(1, '\0') + QByteArray(260, ' '));
    QCOMPARE(m_initialDir, QByteArray("c:\\"));
    QVERIFY(!m_record.hInstance && !m_record.lpstrCustomFilter && !m_record.lpstrFileTitle &&
            !m_record.lpstrTitle && !m_record.lpstrDefExt && !m_record.lpfnHook);
    QCOMPARE(m_request.nameFilters, QStringList{"Icons (*.ico)"});
    QCOMPARE(m_request.selectedNameFilter, QStringLiteral("Icons (*.ico)"));
    QCOMPARE(m_request.initialDirectory, m_prefix->driveC());
    QVERIFY(!m_request.save);
}

void TestDialog::openWithoutArguments() {
    answerWith(std::nullopt);
    Dialog dialog;
    QCOMPARE(dialog.OpenFile(), QString());
    QCOMPARE(m_filter, QByteArray("Alle Dateien (*.*)\0*.*\0\0", 24));
    // "*.*" also lists files without a dot, as on the platform.
    QCOMPARE(m_request.nameFilters, QStringList{"Alle Dateien (*.*) (*)"});
}

void TestDialog::filters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::addColumn<QStringList>("desktopFilters"); // after the design's: what Linux needs
    const QString pictures = "Pictures (*.ico *.bmp *.png *.svg)", all = "All files (*)";
    QTest::newRow("one pair") << "Executables|*.exe" << QByteArray("Executables\0*.exe\0\0", 19)
                              << QStringList{"Executables (*.exe)"}
                              << QStringList{"Programs (*)", all};
    QTest::newRow("ends in a bar already")
        << "Icons|*.ico|" << QByteArray("Icons\0*.ico\0\0", 13) << QStringList{"Icons (*.ico)"}
        << QStringList{pictures, all};
    QTest::newRow("two pairs, two patterns")
        << "Pictures|*.ico;*.bmp|All|*.*" << QByteArray("Pictures\0*.ico;*.bmp\0All\0*.*\0\0", 30)
        << QStringList{"Pictures (*.ico *.bmp)", "All (*)"} << QStringList{pictures};
}

void TestDialog::filters() {
    QFETCH(QString, filter);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, nameFilters);
    QFETCH(QStringList, desktopFilters);
    answerWith(std::nullopt);
    Dialog().OpenFile(filter);
    QCOMPARE(m_filter, bytes);
    QCOMPARE(m_request.nameFilters, nameFilters);
    QCOMPARE(m_request.desktopFilters, desktopFilters);
}

void TestDialog::saveProposesAName() {
    const QString existing = m_prefix->writeHostFile("data/vortle/drive_c/list.txt", "x");
    answerWith(existing);
    Dialog dialog;
    // An existing file comes back without a question.
    QCOMPARE(dialog.SaveFile(QStringLiteral("list.txt")), QStringLiteral("c:\\list.txt"));
    QCOMPARE(m_record.Flags, 0x80000u);
    QCOMPARE(m_file, QByteArray("list.txt\0", 9) + QByteArray(260, ' '));
    QCOMPARE(m_request.initialName, QStringLiteral("list.txt"));
    QVERIFY(m_request.save);
    // Neither the file nor its folder has to exist.
    answerWith(m_prefix->driveC() + "/new/folder/out.txt");
    QCOMPARE(dialog.SaveFile(), QStringLiteral("c:\\new\\folder\\out.txt"));
}

void TestDialog::cancelAndFailuresGiveEmpty() {
    Dialog dialog;
    answerWith(std::nullopt);
    QCOMPARE(dialog.OpenFile(QStringLiteral("Icons|*.ico")), QString());
    // The open dialog insists on an existing file.
    answerWith(m_prefix->driveA() + "/Icons/missing.ico");
    QCOMPARE(dialog.OpenFile(QStringLiteral("Icons|*.ico")), QString());
    // A path that does not fit the 260-character buffer.
    const QString deep = m_prefix->driveC() + "/" + QString(130, 'd') + "/" + QString(130, 'e');
    const QString longFile =
        m_prefix->writeHostFile(deep.mid(m_prefix->root().size() + 1) + "/f.ico", "x");
    answerWith(longFile);
    QCOMPARE(dialog.OpenFile(QStringLiteral("Icons|*.ico")), QString());
}

void TestDialog::initialDirectoryIsADosPath() {
    answerWith(std::nullopt);
    Dialog().OpenFile(QStringLiteral("Icons|*.ico"), QStringLiteral("A:\\ICONS"));
    QCOMPARE(m_initialDir, QByteArray("A:\\ICONS"));
    QCOMPARE(m_request.initialDirectory, m_prefix->driveA() + "/Icons");
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
