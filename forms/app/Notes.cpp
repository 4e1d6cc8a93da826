// SPDX-License-Identifier: MIT
#include "Notes.h"

#include "engine/DiskEngine.h"
#include "host/core/RuntimeError.h"
#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/FormInstance.h"
#include "host/gui/MessageBox.h"
#include "module1/Module1.h"

#include <QPlainTextEdit>
#include <QPushButton>

using namespace vortle;

Notes::Notes(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Dialog)) {
    host::setUpForm(this, QStringLiteral("Notes"), 5535, 4455);

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

void Notes::Form_Load() {
    m_medium = host::Medium::inDriveA();
    try {
        const host::MediumHold hold(m_medium);
        txtText->setPlainText(DiskEngine::readNote());
    } catch (const host::RuntimeError& error) {
        if (error.number() == host::ErrOutOfMemory) {
            host::MsgBox(QStringLiteral("Couldn't read the notes file."), host::MB_ICONCRITICAL,
                         Module1::kTitle);
            host::FormInstance<Notes>::doNotOpen();
        }
        // No diskette, no note yet or no file in its place: an empty box.
    }
}

void Notes::Command1_Click() {
    close();
}

void Notes::Command2_Click() {
    try {
        // Only on the medium the note came from: another one in the drive keeps its own note.
        const host::MediumHold medium(m_medium);
        if (!medium.isInDrive())
            host::raise(host::ErrDiskNotReady);
        DiskEngine::writeNote(txtText->toPlainText());
    } catch (const host::RuntimeError&) {
        Module1::reportWriteFailure();
        return;
    }
    close();
}
