// SPDX-License-Identifier: MIT
#include "Notes.h"

#include "engine/DiskEngine.h"
#include "host/core/RuntimeError.h"
#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/FormInstance.h"
#include "host/gui/MessageBox.h"
#include "module1/MediumWait.h"
#include "module1/Module1.h"

#include <QPlainTextEdit>
#include <QPointer>
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
    struct Loaded {
        host::Medium medium;
        DiskEngine::Note note;
    };
    const auto loaded = std::make_shared<Loaded>();
    try {
        Module1::waitForMedium([loaded] {
            loaded->medium = host::Medium::inDriveA();
            const host::MediumHold hold(loaded->medium);
            // No diskette, no note yet or no file in its place: an empty box.
            host::resumeNext([&] { loaded->note = DiskEngine::readNote(); });
        });
    } catch (const host::RuntimeError&) {
        return; // the medium did not answer: an empty box, and no medium to write on
    }
    m_medium = std::move(loaded->medium);
    m_noteCutShort = !loaded->note.whole;
    txtText->setPlainText(loaded->note.text);
}

// The medium is let go as the window goes, not when Qt deletes it later: a held root keeps a
// stick from being unmounted.
void Notes::closeEvent(QCloseEvent* event) {
    m_medium = {};
    QWidget::closeEvent(event);
}

void Notes::Command1_Click() {
    close();
}

void Notes::Command2_Click() {
    // A note longer than the window shows is replaced only when the user says so.
    const QPointer<Notes> alive(this);
    if (m_noteCutShort &&
        (host::MsgBox(tr("The note on the disk is longer than this window can show. Replace the "
                         "whole note with the text shown here?"),
                      host::MB_ICONQUESTION | host::MB_YESNO, Module1::kTitle) != host::IDYES ||
         !alive))
        return;
    try {
        Module1::waitForMedium([medium = std::make_shared<host::Medium>(m_medium.duplicate()),
                                note = txtText->toPlainText()] {
            // Only on the medium the note came from: another one in the drive keeps its own.
            const host::MediumHold hold(*medium);
            if (!hold.isInDrive())
                host::raise(host::ErrDiskNotReady);
            DiskEngine::writeNote(note);
        });
    } catch (const host::RuntimeError&) {
        if (alive)
            Module1::reportWriteFailure();
        return;
    }
    if (alive)
        close();
}
