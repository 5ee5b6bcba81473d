#pragma once
// Windows-style message boxes: the flags callers pass and the results they get back.
//
// Application.MessageBox(Text, Caption, MB_ICONERROR | MB_OK) shows an error with one OK button
// and returns IDOK; MB_ICONQUESTION | MB_YESNOCANCEL (35) asks and returns IDYES, IDNO or
// IDCANCEL (Esc and the close box give IDCANCEL when there is a Cancel button, else IDOK).
// The decoding below is what the real box uses; tests replace the box itself with
// Application.SetMessageBoxHook (toolkit/Application.h).

#include <QMessageBox>

inline constexpr int MB_OK = 0x00;
inline constexpr int MB_OKCANCEL = 0x01;
inline constexpr int MB_ABORTRETRYIGNORE = 0x02;
inline constexpr int MB_YESNOCANCEL = 0x03;
inline constexpr int MB_YESNO = 0x04;
inline constexpr int MB_RETRYCANCEL = 0x05;
inline constexpr int MB_ICONERROR = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONWARNING = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// What a flags value asks for, in Qt's terms.
struct TMessageBoxLayout {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> Buttons; // left to right; the first is the default
    QMessageBox::StandardButton Escape = QMessageBox::NoButton; // what Esc and the close box give
};
TMessageBoxLayout MessageBoxLayout(int Flags);

// The Windows result of a pressed Qt button (IDOK for anything unknown).
int MessageBoxResult(QMessageBox::StandardButton Button);

// The result of a box that was closed without a choice (as Esc would answer; IDCANCEL when
// Esc has no button).
int MessageBoxDismissResult(int Flags);

// Shows a real modal box above the active window and returns the Windows result. A Detail (the
// file the message is about, say) is shown below the text, which stays as it is.
int ShowQtMessageBox(const QString& Text, const QString& Caption, int Flags,
                     const QString& Detail = QString());
