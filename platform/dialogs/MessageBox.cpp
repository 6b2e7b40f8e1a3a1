#include "platform/dialogs/MessageBox.h"

#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QAbstractButton>
#include <QApplication>

#include <vector>

namespace kivo {
namespace {

using Button = QMessageBox::StandardButton;

std::vector<Button> ButtonsOf(unsigned flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_ABORTRETRYIGNORE:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_RETRYCANCEL:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The answer when the box is closed without pressing a button.
int DismissAnswer(unsigned flags)
{
    for (const Button button : ButtonsOf(flags)) {
        if (button == QMessageBox::Cancel)
            return IDCANCEL;
    }
    return (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

} // namespace

MessageBoxAnswerer &CurrentMessageBoxAnswerer()
{
    static MessageBoxAnswerer answerer;
    return answerer;
}

int AnswerOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return 0;
    }
}

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest &request, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(request.caption);
    box->setText(request.text);
    box->setTextFormat(Qt::PlainText);
    box->setIcon(IconOf(request.flags));
    const std::vector<Button> buttons = ButtonsOf(request.flags);
    for (const Button button : buttons)
        box->addButton(button);
    const std::size_t defaultIndex = (request.flags & MB_DEFMASK) >> 8;
    box->setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    return box;
}

int ShowMessageBox(const QString &text, unsigned flags, QWidget *parent)
{
    const MessageBoxRequest request{res::LoadString(res::IDS_APP_TITLE), text, flags};
    if (CurrentMessageBoxAnswerer())
        return CurrentMessageBoxAnswerer()(request);
    if (!parent)
        parent = QApplication::activeWindow();
    std::unique_ptr<QMessageBox> box = BuildMessageBox(request, parent);
    box->exec();
    QAbstractButton *clicked = box->clickedButton();
    if (!clicked)
        return DismissAnswer(flags);
    return AnswerOf(box->standardButton(clicked));
}

int ShowMessageBox(int stringId, unsigned flags, QWidget *parent)
{
    return ShowMessageBox(res::LoadString(stringId), flags, parent);
}

} // namespace kivo
