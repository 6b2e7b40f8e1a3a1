#pragma once

#include "platform/dialogs/ScopedAnswerer.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

/// Message boxes with the flag words and answers of the system's messages: buttons, icon and
/// default button in one unsigned word; the answer is the id of the button chosen. Every box
/// is captioned with the application name (string 57344).
namespace kivo {

// Buttons.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
// Icons.
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;
// Default button.
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

/// What a message box asks.
struct MessageBoxRequest {
    QString caption;
    QString text;
    unsigned flags = MB_OK;
};

/// Answers a message box instead of the user: returns the id of the button to choose.
using MessageBoxAnswerer = std::function<int(const MessageBoxRequest &)>;

/// The answerer message boxes turn to; empty while the user answers them.
MessageBoxAnswerer &CurrentMessageBoxAnswerer();
/// Makes an answerer answer every message box while it lives (tests use it, and start-up holds
/// back its messages with it).
using ScopedMessageBoxAnswerer = ScopedAnswerer<MessageBoxAnswerer, &CurrentMessageBoxAnswerer>;

/// Shows a modal message box over parent (the active window when null) and returns the id
/// of the button chosen. Closing the box without a choice gives IDCANCEL where the box has a
/// cancel button, else IDNO for a yes/no box, else IDOK.
int ShowMessageBox(const QString &text, unsigned flags = MB_OK, QWidget *parent = nullptr);

/// The same with the text of a string resource.
int ShowMessageBox(int stringId, unsigned flags = MB_OK, QWidget *parent = nullptr);

/// The box that ShowMessageBox shows for a request, not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest &request, QWidget *parent);

/// The answer id of a button of such a box.
int AnswerOf(QMessageBox::StandardButton button);

} // namespace kivo
