// SPDX-License-Identifier: MIT
// Diskettes built to hurt: pipes where files belong, icons that would decode for hours, files
// that never end, a current directory that cannot be named, and what a killed run leaves.
// Each must end quickly, with the program's own messages at most.
#include "Ctl.h"
#include "DiskFixture.h"
#include "ErrorOf.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "engine/DiskDisplay.h"
#include "forms/app/Notes.h"
#include "host/gui/FormInstance.h"
#include "host/gui/MessageBox.h"
#include "host/image/Picture.h"
#include "module1/Module1.h"
#include "storage/Profiles.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vortle;

namespace {

// An icon file whose directory lists `frames` entries that all point at one PNG.
QByteArray iconOfFrames(int frames, const QImage& frame) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "PNG");
    QByteArray icon;
    auto word = [&](int value) { icon.append(char(value & 0xff)).append(char(value >> 8)); };
    auto dword = [&](qint64 value) { word(int(value & 0xffff)), word(int(value >> 16)); };
    word(0), word(1), word(frames);
    const qint64 offset = 6 + 16 * qint64(frames);
    for (int i = 0; i < frames; ++i) {
        icon.append(char(0)).append(char(0)).append(char(0)).append(char(0)); // 256 x 256
        word(1), word(32), dword(png.size()), dword(offset);
    }
    return icon + png;
}

// A progressive JPEG of a large grey square whose last scan comes again and again: a few
// kilobytes that a decoder works through for minutes.
QByteArray scanRepeatingJpeg(qsizetype maxBytes) {
    QImage image(2048, 2048, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const qsizetype end = jpeg.size() - 2; // before the end-of-image marker
    const QByteArray scan =
        jpeg.mid(jpeg.lastIndexOf("\xff\xda"), end - jpeg.lastIndexOf("\xff\xda"));
    return jpeg.left(end) + scan.repeated((maxBytes - jpeg.size()) / scan.size()) + jpeg.right(2);
}

} // namespace

class TestHostile : public PrefixTest {
    Q_OBJECT
private slots:
    void cleanup() {
        delete host::FormInstance<Notes>::loaded();
        PrefixTest::cleanup();
    }

    void pipesAreNeverOpened();
    void picturesStayCheap_data();
    void picturesStayCheap();
    void longNoteIsKeptUnlessReplaced_data();
    void longNoteIsKeptUnlessReplaced();
    void relativePathsNeedANameableCurrentDirectory();
    void killedCopyLeavesNothingForLong();

private:
    QString a(const QString& name) const { return m_prefix->driveA() + "/" + name; }
    // The disk display after a reload that starts from the given picture.
    std::unique_ptr<DiskDisplay> reload(const QImage& before) {
        auto picIcon = std::make_unique<DiskDisplay>(QImage(), QString());
        picIcon->setPicture(before);
        Module1::setDiskDisplay(picIcon.get());
        Module1::ReloadDiskSettings();
        Module1::setDiskDisplay(nullptr);
        return picIcon;
    }
};

void TestHostile::pipesAreNeverOpened() {
    // A pipe in the root, a link to a pipe elsewhere, a pipe as the note and as the icon.
    const QString elsewhere = m_prefix->root() + "/pipe";
    for (const QString& path : {a("pipe"), elsewhere, a("VRTLNotes.sys"), a("VRTLIcon.sys")})
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    QVERIFY(QFile::link(elsewhere, a("link")));
    writeDiskSettings("Piped", {});
    QVERIFY(Module1::CheckDrive("a:"));
    QCOMPARE(reload(QImage())->toolTip(), QStringLiteral("Piped"));
    QCOMPARE(errorOf([] { host::LoadPicture("a:\\VRTLIcon.sys"); }), 75);
    QCOMPARE(errorOf([] { host::copyFile("a:\\link", "c:\\copy"); }), 75);

    // The note: an empty box, and OK reports the bad file instead of replacing it.
    Notes* notes = host::FormInstance<Notes>::show();
    QVERIFY(notes);
    notes->findChild<QPushButton*>("Command2")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't write on disk."});
    QVERIFY(QFileInfo(a("VRTLNotes.sys")).isFile() == false);

    // Read-only pipes as the profiles and the program settings file.
    for (const QString& path : {m_prefix->driveC() + "/windows/system/VRTLProfiles.dll",
                                m_prefix->driveC() + "/windows/system/VRTLSettings.dll"}) {
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0444), 0);
    }
    QCOMPARE(Profiles::readProfileNames(Profiles::ProfilesPath()), QStringList());
    QCOMPARE(errorOf([] { readProgramSetting(1); }), 75);
}

void TestHostile::picturesStayCheap_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("picture");
    QTest::newRow("65 535 frames of one large PNG") << "frames" << true;
    QTest::newRow("an icon over 4 MiB") << "large" << false;
    QTest::newRow("a sparse 8 GiB icon") << "sparse" << false;
    QTest::newRow("a link to /dev/zero") << "zero" << false;
    QTest::newRow("a PNG past four megapixels") << "pixels" << false;
    QTest::newRow("a progressive JPEG repeating one scan") << "scans" << false;
}

void TestHostile::picturesStayCheap() {
    QFETCH(QString, kind);
    QFETCH(bool, picture);
    const QString icon = a("VRTLIcon.sys");
    if (kind == "frames")
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys",
                                iconOfFrames(65535, QImage(1024, 1024, QImage::Format_RGB32)));
    if (kind == "large")
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys",
                                iconOfFrames(1, QImage(32, 32, QImage::Format_RGB32)) +
                                    QByteArray(5 << 20, 'x'));
    if (kind == "sparse") {
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "");
        QVERIFY(QFile::resize(icon, qint64(8) << 30));
    }
    if (kind == "zero")
        QVERIFY(QFile::link("/dev/zero", icon));
    if (kind == "scans")
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", scanRepeatingJpeg(4 << 20));
    if (kind == "pixels") {
        QImage huge(3000, 3000, QImage::Format_Mono);
        huge.fill(0);
        QVERIFY(huge.save(icon, "PNG"));
    }
    QImage old(32, 32, QImage::Format_ARGB32);
    old.fill(Qt::green);
    QElapsedTimer timer;
    timer.start();
    const QColor shown = reload(old)->picture().pixelColor(4, 4);
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(shown != QColor(Qt::green), picture);
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestHostile::longNoteIsKeptUnlessReplaced_data() {
    QTest::addColumn<QByteArray>("line"); // repeated to just under 16 MiB
    QTest::newRow("empty lines") << QByteArray("\r\n");
    QTest::newRow("bare carriage returns") << QByteArray("\r");
    QTest::newRow("one line") << QByteArray("n");
}

void TestHostile::longNoteIsKeptUnlessReplaced() {
    QFETCH(QByteArray, line);
    const QByteArray note = line.repeated((16 << 20) / line.size() - 1);
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLNotes.sys", note);
    QElapsedTimer timer;
    timer.start();
    Notes* window = host::FormInstance<Notes>::show();
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(window);
    QVERIFY(ctl<QPlainTextEdit>(window, "txtText")->toPlainText().size() <= 64 << 10);
    // OK asks first: No keeps the whole note and the window, Yes replaces it.
    m_boxes->answers = {host::IDNO, host::IDYES};
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes[0].style, 36);
    QCOMPARE(m_prefix->readHostFile(a("VRTLNotes.sys")), note);
    QVERIFY(window->isVisible());
    ctl<QPushButton>(window, "Command2")->click();
    QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
    QVERIFY(QFileInfo(a("VRTLNotes.sys")).size() <= 128 << 10); // line ends now CR LF
}

void TestHostile::relativePathsNeedANameableCurrentDirectory() {
    // A working directory deeper than the host's path limit, made one level at a time. Drive Z:
    // is a folder of the test's while it probes: a guard that failed would reach the host's
    // root there, never the machine's own.
    const QString z = m_prefix->root() + "/z";
    QVERIFY(QDir().mkpath(z));
    m_prefix->writeHostFile("z/keep.txt", "kept");
    m_prefix->pointDrive('z', z);
    const int back = ::open(".", O_RDONLY | O_DIRECTORY);
    QVERIFY(QDir::setCurrent(m_prefix->driveA()));
    const QByteArray level(200, 'd');
    int depth = 0;
    for (; depth < 25; ++depth)
        QVERIFY(::mkdir(level.constData(), 0755) == 0 && ::chdir(level.constData()) == 0);
    QVERIFY(QDir::currentPath().isEmpty());
    const int made = errorOf([] { host::makeDirectory("rel_probe_dir"); });
    const int deleted = errorOf([] { host::deleteFiles("*.*"); });
    for (; depth > 0; --depth)
        QVERIFY(::chdir("..") == 0 && ::rmdir(level.constData()) == 0);
    QVERIFY(::fchdir(back) == 0);
    ::close(back);
    QCOMPARE(made, 76);
    QCOMPARE(deleted, 76);
    QCOMPARE(QDir(z).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"keep.txt"});
}

void TestHostile::killedCopyLeavesNothingForLong() {
    m_prefix->writeHostFile("data/vortle/drive_c/big.bin", "");
    QVERIFY(QFile::resize(m_prefix->driveC() + "/big.bin", qint64(1) << 30));
    const pid_t child = ::fork();
    if (child == 0) {
        host::resumeNext([] { host::copyFile("c:\\big.bin", "a:\\big.bin"); });
        ::_exit(0);
    }
    // Killed as soon as its temporary file is on the diskette.
    const QString prefix = QStringLiteral(".vrtl-%1-").arg(child);
    auto temporaries = [&] {
        return QDir(m_prefix->driveA()).entryList({prefix + "*"}, QDir::Files | QDir::Hidden);
    };
    QElapsedTimer timer;
    timer.start();
    while (temporaries().isEmpty() && timer.elapsed() < 10000)
        ::usleep(200);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QCOMPARE(temporaries().size(), 1);
    QVERIFY(!QFile::exists(a("big.bin")));
    // One of a program that still runs stays.
    const QString ours = QStringLiteral(".vrtl-%1-keep.tmp").arg(::getpid());
    m_prefix->writeHostFile("data/vortle/drive_a/" + ours, "x");
    QVERIFY(Module1::CheckDrive("a:"));
    QVERIFY(temporaries().isEmpty());
    QVERIFY(QFile::exists(a(ours)));
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
