// SPDX-License-Identifier: MIT
#include "MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVector>

#include <utility>

namespace host {
namespace {

MessageBoxHook& currentHook() {
    static MessageBoxHook hook;
    return hook;
}

QVector<int> answersOf(int style) {
    switch (style & 0xF) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int defaultIndex(int style, qsizetype count) {
    const int index = (style & 0xF00) / MB_DEFBUTTON2;
    return index < count ? index : 0;
}

QString buttonText(int answer) {
    switch (answer) {
    case IDCANCEL:
        return QStringLiteral("Cancel");
    case IDABORT:
        return QStringLiteral("&Abort");
    case IDRETRY:
        return QStringLiteral("&Retry");
    case IDIGNORE:
        return QStringLiteral("&Ignore");
    case IDYES:
        return QStringLiteral("&Yes");
    case IDNO:
        return QStringLiteral("&No");
    default:
        return QStringLiteral("OK");
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case MB_ICONCRITICAL:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Answers given in VORTLE_MSGBOX_ANSWERS ("6,7"), taken one per box, before the defaults.
int nextLoggedAnswer(int style) {
    static QStringList answers =
        qEnvironmentVariable("VORTLE_MSGBOX_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (answers.isEmpty())
        return defaultAnswer(style);
    return answers.takeFirst().toInt();
}

int logToFile(const QString& path, const MessageBoxRequest& request) {
    QFile log(path);
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QString prompt = request.prompt;
        prompt.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        log.write(QStringLiteral("%1|%2|%3\n")
                      .arg(request.title)
                      .arg(request.style)
                      .arg(prompt)
                      .toUtf8());
    }
    return nextLoggedAnswer(request.style);
}

// The answer of a box that went away unanswered: its Cancel or No, else its default.
int unansweredAnswer(int style) {
    const QVector<int> answers = answersOf(style);
    for (int answer : {IDCANCEL, IDNO})
        if (answers.contains(answer))
            return answer;
    return defaultAnswer(style);
}

// The active window, or, when the user is elsewhere (a long run ended), the program's main
// window: the one shown window that no other window owns. A box always has a window to stand
// over and to take its icon from.
QWidget* ownerOfBoxes() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible() && !window->parentWidget() &&
            (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog))
            return window;
    }
    return nullptr;
}

int showOnScreen(const MessageBoxRequest& request) {
    // On the heap, owned by its window: when that window goes while the box is open (closed by
    // the program or through the accessibility layer, which modality does not stop), Qt
    // deletes the box with it, and the pointer notices.
    const QPointer<QMessageBox> box =
        new QMessageBox(iconOf(request.style), request.title, request.prompt, QMessageBox::NoButton,
                        ownerOfBoxes());
    // A prompt may carry a path or a name from a medium: never read as markup.
    box->setTextFormat(Qt::PlainText);
    const QVector<int> answers = answersOf(request.style);
    QVector<QPushButton*> buttons;
    for (int answer : answers) {
        const auto role = (answer == IDCANCEL || answer == IDNO) ? QMessageBox::RejectRole
                                                                 : QMessageBox::AcceptRole;
        buttons.append(box->addButton(buttonText(answer), role));
    }
    box->setDefaultButton(buttons[defaultIndex(request.style, buttons.size())]);
    if (answers.contains(IDCANCEL))
        box->setEscapeButton(buttons[answers.indexOf(IDCANCEL)]);
    else if (answers.size() == 1)
        box->setEscapeButton(buttons.front());
    box->exec();
    if (!box)
        return unansweredAnswer(request.style);
    const qsizetype clicked = buttons.indexOf(static_cast<QPushButton*>(box->clickedButton()));
    delete box.data();
    return clicked >= 0 ? answers[clicked] : answers[defaultIndex(request.style, answers.size())];
}

} // namespace

int defaultAnswer(int style) {
    const QVector<int> answers = answersOf(style);
    return answers[defaultIndex(style, answers.size())];
}

void setMessageBoxHook(MessageBoxHook hook) {
    currentHook() = std::move(hook);
}

int MsgBox(const QString& prompt, int style, const QString& title) {
    const MessageBoxRequest request{prompt, style, title};
    if (currentHook())
        return currentHook()(request);
    const QString logPath = qEnvironmentVariable("VORTLE_MSGBOX_LOG");
    if (!logPath.isEmpty())
        return logToFile(logPath, request);
    return showOnScreen(request);
}

} // namespace host
