// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QPointer>

class QWidget;

namespace host {

// Enter and Escape for a form window, as a dialog of the platform answers them: Enter presses
// the focused push button, else the default button; Escape presses the cancel button, or
// closes the window when it has none. Keys that a control uses itself (Enter in a multi-line
// text box) stay with the control. A disabled or hidden button is not pressed.
class DialogKeys : public QObject {
    Q_OBJECT
public:
    DialogKeys(QWidget* form, QAbstractButton* defaultButton, QAbstractButton* cancelButton);

    static DialogKeys* install(QWidget* form, QAbstractButton* defaultButton,
                               QAbstractButton* cancelButton = nullptr) {
        return new DialogKeys(form, defaultButton, cancelButton);
    }

    void setDefaultButton(QAbstractButton* button);
    void setCancelButton(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    QPointer<QAbstractButton> m_default;
    QPointer<QAbstractButton> m_cancel;
};

} // namespace host
