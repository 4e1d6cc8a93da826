#include "Notes.h"

#include "disk/DiskSettings.h"
#include "disk/Module1.h"
#include "host/CodePage.h"
#include "host/Controls.h"
#include "host/DialogKeys.h"
#include "host/FileSystem.h"
#include "host/MessageBox.h"
#include "host/RuntimeError.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kNotesPath = QStringLiteral("a:\\VRTLNotes.sys");
// A note is text someone typed; a larger file is no note to edit in a text box.
constexpr qint64 kMaxNoteBytes = 16 << 20;

} // namespace

Notes::Notes(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Notes"));
    setAccessibleName(windowTitle());
    host::setClientSizeTwips(this, 5535, 4455);

    txtText = host::placeControl(new QPlainTextEdit(this), "txtText", 120, 120, 5295, 3735);
    txtText->setAccessibleName(windowTitle());
    txtText->setTabChangesFocus(true);
    Command1 = host::placeControl(new QPushButton(QStringLiteral("Cancel"), this), "Command1", 4080,
                                  3960, 1335, 375);
    Command2 = host::placeControl(new QPushButton(QStringLiteral("OK"), this), "Command2", 2640,
                                  3960, 1335, 375);
    host::setTabOrder({txtText, Command1, Command2});
    host::DialogKeys::install(this, Command2, Command1); // Enter in the text is a line break

    connect(Command1, &QPushButton::clicked, this, &Notes::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Notes::Command2_Click);
}

bool Notes::Form_Load() {
    try {
        // Line breaks on the diskette are CR LF; the box keeps them as line breaks.
        QString note = host::fromAnsi(host::readFile(kNotesPath, kMaxNoteBytes));
        note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        txtText->setPlainText(note);
    } catch (const host::RuntimeError& error) {
        if (error.number() == host::ErrOutOfMemory) {
            host::MsgBox(QStringLiteral("Couldn't read the notes file."), host::MB_ICONCRITICAL,
                         Module1::kTitle);
            return false;
        }
        // No diskette, no note yet or no file in its place: an empty box.
    }
    return true;
}

void Notes::Command1_Click() {
    close();
}

void Notes::Command2_Click() {
    QString note = txtText->toPlainText();
    note.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    try {
        // Beside the old note and renamed into place, and with no line end added after the
        // text, so the note does not grow by an empty line on every save.
        host::writeFileReplacing(kNotesPath, host::toAnsi(note));
    } catch (const host::RuntimeError&) {
        host::MsgBox(QStringLiteral("Couldn't write on disk."), host::MB_ICONCRITICAL,
                     Module1::kTitle);
        return;
    }
    // The disk icon file's protection; a diskette without one has nothing to protect.
    if (host::fileExists(DiskSettings::kIconPath))
        host::resumeNext([] {
            host::setAttributes(DiskSettings::kIconPath, host::AttrReadOnly | host::AttrHidden);
        });
    close();
}
