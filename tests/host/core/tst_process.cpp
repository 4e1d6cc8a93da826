// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "PrefixTest.h"
#include "Recorder.h"

#include "host/core/DosPath.h"
#include "host/core/Process.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestProcess : public PrefixTest {
    Q_OBJECT
private slots:
    void splitArguments_data();
    void splitArguments();
    void startsDetachedWithHostPathArguments();
    void unquotedPathWithBlanksIsTriedPrefixByPrefix();
    void programIsFoundOnPathAndInTheWindowsDirectory();
    void whatCannotStartIsFileNotFound_data();
    void whatCannotStartIsFileNotFound();

private:
    QString recorder(const QString& relativePath) {
        const QString path = m_prefix->writeHostFile(relativePath, "");
        return writeRecorder(path);
    }
    QStringList recorded(const QString& program) { return recordedArguments(program); }
};

void TestProcess::splitArguments_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("blanks separate") << "a  b\tc" << QStringList{"a", "b", "c"};
    QTest::newRow("quotes group") << "\"a b\" c" << QStringList{"a b", "c"};
    QTest::newRow("quotes inside a word") << "x\"a b\"y" << QStringList{"xa by"};
    QTest::newRow("escaped quote") << "\\\"a\\\"" << QStringList{"\"a\""};
    QTest::newRow("even backslashes before a quote") << "\"c:\\\\\" x" << QStringList{"c:\\", "x"};
    QTest::newRow("backslashes elsewhere are literal")
        << "a:\\dir\\file" << QStringList{"a:\\dir\\file"};
    QTest::newRow("doubled quote inside quotes")
        << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
    QTest::newRow("empty quoted argument") << "\"\" x" << QStringList{"", "x"};
    QTest::newRow("nothing") << "   " << QStringList{};
}

void TestProcess::splitArguments() {
    QFETCH(QString, line);
    QFETCH(QStringList, arguments);
    QCOMPARE(host::splitArguments(line), arguments);
}

void TestProcess::startsDetachedWithHostPathArguments() {
    const QString program = recorder("data/vortle/drive_c/tools/rec");
    QDir().mkpath(m_prefix->driveA() + "/Data");
    host::startProcess("c:\\TOOLS\\rec a:\\data\\x.txt \"two words\" q:\\unmapped plain", 1);
    QTRY_COMPARE(recorded(program), (QStringList{m_prefix->driveA() + "/Data/x.txt", "two words",
                                                 "q:\\unmapped", "plain"}));
}

void TestProcess::unquotedPathWithBlanksIsTriedPrefixByPrefix() {
    const QString program = recorder("data/vortle/drive_c/Program Files/My Tool/run");
    host::startProcess("c:\\Program Files\\My Tool\\run first second", 1);
    QTRY_COMPARE(recorded(program), (QStringList{"first", "second"}));
    QFile::remove(program + ".args");
    host::startProcess("\"c:\\Program Files\\My Tool\\run\" third", 1);
    QTRY_COMPARE(recorded(program), QStringList{"third"});
}

void TestProcess::programIsFoundOnPathAndInTheWindowsDirectory() {
    const QString program = recorder("data/vortle/drive_c/windows/winrec");
    host::startProcess("winrec c:\\", 1);
    QTRY_COMPARE(recorded(program), QStringList{QFileInfo(m_prefix->driveC()).canonicalFilePath()});
    // "sh" is only on PATH.
    const QString marker = m_prefix->root() + "/marker";
    host::startProcess("sh -c \"echo started > '" + marker + "'\"", 1);
    QTRY_VERIFY(QFile::exists(marker));
    // A host path works as well.
    QFile::remove(program + ".args");
    host::startProcess(program + " host", 1);
    QTRY_COMPARE(recorded(program), QStringList{"host"});
}

void TestProcess::whatCannotStartIsFileNotFound_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << "";
    QTest::newRow("missing program") << "c:\\nothing\\here.exe";
    QTest::newRow("a document") << "a:\\readme.txt";
    QTest::newRow("a folder") << "c:\\windows\\system";
    QTest::newRow("no drive") << "q:\\tool";
    QTest::newRow("unclosed quote") << "\"c:\\nothing";
}

void TestProcess::whatCannotStartIsFileNotFound() {
    QFETCH(QString, line);
    m_prefix->writeHostFile("data/vortle/drive_a/ReadMe.txt", "just text");
    QCOMPARE(errorOf([&] { host::startProcess(line, 1); }), 53);
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
