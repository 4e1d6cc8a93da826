// SPDX-License-Identifier: MIT
#pragma once

#include "WindowPos.h"

#include <QPointer>
#include <QWidget>

namespace host {

// Each form exists at most once: it is created and loaded (its Form_Load runs) the first time
// it is shown, and showing it again only brings it to the front. Closing it unloads it; Qt
// deletes it, and the next showing loads it afresh.
template <class Form> class FormInstance {
public:
    static Form* loaded() { return s_form.data(); }

    // Creates and loads the form if needed. The owner, when given, keeps the form above it
    // and out of the task bar.
    static Form* load(QWidget* owner = nullptr) {
        if (!s_form) {
            // Qt deletes the form when it closes (WA_DeleteOnClose); the QPointer notices.
            s_form = new Form(owner);
            s_form->setAttribute(Qt::WA_DeleteOnClose);
            if constexpr (requires(Form & f) { f.Form_Load(); }) {
                s_doNotOpen = false;
                s_form->Form_Load();
                if (s_doNotOpen) {
                    delete s_form.data();
                    return nullptr;
                }
            }
        }
        return s_form.data();
    }

    // Called by a Form_Load that finds the form cannot open (as its Unload Me would): the form
    // goes again as soon as its loading ends, and is not shown.
    static void doNotOpen() { s_doNotOpen = true; }

    // A form shown for the first time since it was loaded stands over its owner, beside it
    // where it would cover it.
    static Form* show(QWidget* owner = nullptr) {
        Form* form = load(owner);
        if (form && !form->property(kPlaced).toBool()) {
            placeOverOwner(form);
            form->setProperty(kPlaced, true);
        }
        if (form) {
            form->show();
            form->raise();
            form->activateWindow();
        }
        return form;
    }

private:
    static constexpr char kPlaced[] = "vortlePlaced";
    inline static QPointer<Form> s_form;
    inline static bool s_doNotOpen = false;
};

} // namespace host
