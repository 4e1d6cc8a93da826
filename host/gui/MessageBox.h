// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

namespace host {

// Answer codes of the platform's message boxes.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Style bits: buttons in the low nibble, icon in the next, default button above.
constexpr int MB_OK = 0;
constexpr int MB_OKCANCEL = 1;
constexpr int MB_ABORTRETRYIGNORE = 2;
constexpr int MB_YESNOCANCEL = 3;
constexpr int MB_YESNO = 4;
constexpr int MB_RETRYCANCEL = 5;
constexpr int MB_ICONCRITICAL = 16;
constexpr int MB_ICONQUESTION = 32;
constexpr int MB_ICONEXCLAMATION = 48;
constexpr int MB_ICONINFORMATION = 64;
constexpr int MB_DEFBUTTON2 = 256;

struct MessageBoxRequest {
    QString prompt;
    int style = 0;
    QString title;
};

// Shows a modal message box and returns the answer code.
int MsgBox(const QString& prompt, int style, const QString& title);

// Tests answer message boxes here instead of on the screen. An empty hook restores the real
// boxes. With the environment variable VORTLE_MSGBOX_LOG naming a file, a process without a
// hook appends each box to that file and answers it with the next code listed in
// VORTLE_MSGBOX_ANSWERS ("6,7"), else with its default button, so that a test can run the real
// program without a screen to click on.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void setMessageBoxHook(MessageBoxHook hook);

// The answer a box of this style gives when its default button is taken.
int defaultAnswer(int style);

} // namespace host
