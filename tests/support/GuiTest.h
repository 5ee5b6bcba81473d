#pragma once
// Helpers for tests of forms, run offscreen: the application object exists for the whole test
// program (GuiTestMain.cpp), message boxes are recorded instead of shown, and modal loops are
// driven by code scheduled to run once they have started, under a watchdog.

#include "toolkit/Application.h"

#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct TShownBox {
    QString Text;
    QString Caption;
    int Flags;
};

// Replaces the message box while it lives: records every box and answers Answer.
class TMessageBoxRecorder {
public:
    explicit TMessageBoxRecorder(int Answer = 1);
    ~TMessageBoxRecorder();
    TMessageBoxRecorder(const TMessageBoxRecorder&) = delete;
    TMessageBoxRecorder& operator=(const TMessageBoxRecorder&) = delete;

    std::vector<TShownBox> Shown;
    // Runs inside the box, e.g. to check what had the focus when it appeared.
    std::function<void(const TShownBox&)> OnShow;

private:
    int FAnswer;
};

// A named component of a form; fails the test when there is none.
template <class T> T* Part(const QWidget* Form, const char* Name) {
    T* Found = Form->findChild<T*>(QString::fromLatin1(Name));
    if (!Found)
        ADD_FAILURE() << "no component " << Name;
    return Found;
}

// While it lives, the application's help file is one with topic 7 only, so that help asked
// for at another context names that context in its message.
class TTopic7HelpFile {
public:
    TTopic7HelpFile();
    ~TTopic7HelpFile();
    TTopic7HelpFile(const TTopic7HelpFile&) = delete;
    TTopic7HelpFile& operator=(const TTopic7HelpFile&) = delete;

private:
    QTemporaryDir FDir;
    std::string FSaved;
};

// Types Text into Widget one character at a time as key events (any letter, unlike
// QTest::keyClicks, which knows ASCII only).
void TypeText(class QWidget* Widget, const QString& Text);

// Runs Step once the next modal loop has started (from inside it).
void WhenModal(std::function<void()> Step);

// Fails the running test and closes every modal window when a modal loop outlives Seconds, so
// a test that forgot to close a dialog ends instead of hanging.
class TModalWatchdog {
public:
    explicit TModalWatchdog(int Seconds = 10);
    ~TModalWatchdog();
    TModalWatchdog(const TModalWatchdog&) = delete;
    TModalWatchdog& operator=(const TModalWatchdog&) = delete;

private:
    class QTimer* FTimer;
};
