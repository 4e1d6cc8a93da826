// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "resources/Pictures.h"

#include "engine/MkDir.h"
#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/SystemDirs.h"
#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/MessageBox.h"
#include "host/gui/Twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kTitle = QStringLiteral("Vortle Installation");
const QString kInstallText = QStringLiteral(
    "For the sake of saving disk space, this is a very easy installation-program. Just enter the "
    "destination path in the text-box below and click 'Install'.");
const QString kUninstallText = QStringLiteral(
    "There's not much to say about this. Just enter the directory of the Vortle files in thge "
    "text-box below and click 'Uninstall'.");

// A folder path with its closing separator: a backslash, or a slash for a path written with
// slashes only.
QString withBackslash(QString path) {
    if (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))
        return path;
    const bool slashes = path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\'));
    return path + (slashes ? QLatin1Char('/') : QLatin1Char('\\'));
}

// The destination as a DOS path: one typed as a host path ("/home/me/opt/vortle") goes to
// the drive that holds it.
QString dosFolder(const QString& typed) {
    if (!typed.startsWith(QLatin1Char('/')))
        return typed;
    QString dos = host::toDosPath(typed);
    return dos.endsWith(QLatin1Char('\\')) ? dos : dos + QLatin1Char('\\');
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Window)) {
    host::setUpForm(this, kTitle, 6990, 3495);
    setWindowIcon(Pictures::icon(QStringLiteral("diskette.ico")));

    Label1 = host::placeControl(new QLabel(kInstallText, this), "Label1", 960, 840, 5775, 495);
    Label1->setWordWrap(true);
    Label2 = host::placeControl(new QLabel(QStringLiteral("Destination directory"), this), "Label2",
                                960, 1920, 2295, 255);
    txtDir = host::placeControl(new QLineEdit(QStringLiteral("c:\\Vortle"), this), "txtDir", 960,
                                2160, 5775, 285);
    txtDir->setAccessibleName(QStringLiteral("Destination directory"));
    Label3 = host::placeControl(new QLabel(this), "Label3", 0, 0, 735, 375);
    host::setBackground(Label3, Qt::white);
    Label4 = host::placeControl(
        new QLabel(QStringLiteral("Hi and welcome to the setup-utility of Vortle. I would "
                                  "like to thank you for using Vortle."),
                   this),
        "Label4", 960, 240, 5775, 495);
    Label4->setWordWrap(true);
    lblCurDir = host::placeControl(new QLabel(QStringLiteral("Label3"), this), "lblCurDir", 960,
                                   3240, 5055, 255);
    lblCurDir->hide();
    Picture1 = host::pictureBox(
        this, "Picture1", Pictures::picture(QStringLiteral("setupside.bmp")), 0, 120, 735, 3390);

    // The choice page: a panel over the directory page's controls.
    Picture2 = host::placeControl(new QWidget(this), "Picture2", 960, 840, 5775, 1695);
    Picture2->setAutoFillBackground(true);
    Label5 = host::placeControl(
        new QLabel(QStringLiteral("Do you want to install or uninstall Vortle ?"), Picture2),
        "Label5", 240, 120, 3735, 375);
    Option1 = host::placeControl(new QRadioButton(QStringLiteral("Install"), Picture2), "Option1",
                                 240, 600, 2175, 375);
    Option2 = host::placeControl(new QRadioButton(QStringLiteral("Uninstall"), Picture2), "Option2",
                                 240, 960, 2175, 375);
    Option1->setChecked(true);

    Line1 = host::etchedSeparator(this, 960, 6840, 2640, 2655);
    Command1 = host::placeControl(new QPushButton(QStringLiteral("Next >"), this), "Command1", 960,
                                  2880, 1575, 375);
    Command2 = host::placeControl(new QPushButton(QStringLiteral("Exit"), this), "Command2", 2640,
                                  2880, 1575, 375);
    m_keys = host::DialogKeys::install(this, Command1, Command2);

    host::setTabOrder({txtDir, Command1, Command2, Option1, Option2});
    // The choice page covers the destination box: the focus starts on the choice, and the box
    // takes none (nor typing) until it is seen.
    txtDir->setEnabled(false);
    Option1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

void Form1::Mk_Dir(const QString& bez1) {
    ::Mk_Dir(bez1);
}

void Form1::Form_Load() {
    lblCurDir->setText(installSource());
}

// The folder Setup installs from: its current directory, as on a set-up diskette; when that
// holds no program to install, the set-up folder that the package ships beside Setup.
QString Form1::installSource() {
    const QString current = withBackslash(host::currentDirectory());
    if (host::ownEntryExists(current + QStringLiteral("Vortle.ex_")))
        return current;
    const QString shipped =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/vortle/dist");
    if (!QFileInfo::exists(shipped + QStringLiteral("/Vortle.ex_")))
        return current;
    return withBackslash(host::toDosPath(QDir::cleanPath(shipped)));
}

void Form1::Command1_Click() {
    if (Picture2->isVisible()) {
        Picture2->hide();
        txtDir->setEnabled(true);
        if (Option1->isChecked()) {
            Command1->setText(QStringLiteral("Install"));
            Label1->setText(kInstallText);
            Label2->setText(QStringLiteral("Destination directory"));
        }
        if (Option2->isChecked()) {
            Command1->setText(QStringLiteral("Uninstall"));
            Label1->setText(kUninstallText);
            Label2->setText(QStringLiteral("Location"));
            txtDir->setText(withBackslash(host::currentDirectory()));
        }
        return;
    }
    // No step below catches errors: the first failure ends the program with the error report,
    // and what was done before it stays done.
    Command1->setEnabled(false);
    txtDir->setText(withBackslash(txtDir->text()));
    txtDir->setEnabled(false);
    const QString system = host::SystemDirectory();
    const QString destination = dosFolder(txtDir->text());
    if (Option1->isChecked())
        install(lblCurDir->text(), destination, system);
    if (Option2->isChecked())
        uninstall(destination, system);
}

void Form1::install(const QString& source, const QString& destination, const QString& system) {
    Mk_Dir(destination.chopped(1));
    host::copyFile(source + QStringLiteral("Vortle.ex_"),
                   destination + QStringLiteral("Vortle.exe"));
    host::copyFile(source + QStringLiteral("ReadMe.tx_"),
                   destination + QStringLiteral("ReadMe.txt"));
    host::copyFile(source + QStringLiteral("Comctl32.oc_"),
                   system + QStringLiteral("Comctl32.ocx"));
    host::copyFile(source + QStringLiteral("msvbvm50.dll"),
                   system + QStringLiteral("msvbvm50.dll"));
    finished();
}

void Form1::uninstall(const QString& destination, const QString& system) {
    host::deleteFiles(destination + QStringLiteral("Vortle.exe"));
    host::deleteFiles(destination + QStringLiteral("ReadMe.txt"));
    const QPointer<Form1> alive(this);
    const int answer = host::MsgBox(
        QStringLiteral("Do you really want to delete the files COMCTL32.OCX and MSVBVM50.DLL ?,"),
        host::MB_ICONCRITICAL | host::MB_YESNO, QStringLiteral("Delete files"));
    if (answer == host::IDYES) {
        host::deleteFiles(system + QStringLiteral("comctl32.ocx"));
        host::deleteFiles(system + QStringLiteral("msvbvm50.dll"));
    }
    if (alive)
        finished();
}

// Done: "Finish" ends Setup, by Enter as well.
void Form1::finished() {
    m_finished = true;
    Command2->setText(QStringLiteral("Finish"));
    m_keys->setDefaultButton(Command2);
}

void Form1::Command2_Click() {
    if (!m_finished) {
        if (host::MsgBox(QStringLiteral("Do you really want to abort the installation?"),
                         host::MB_ICONQUESTION | host::MB_YESNO, kTitle) == host::IDYES)
            host::endProgram(0);
        return;
    }
    host::endProgram(0);
}
