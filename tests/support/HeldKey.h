#pragma once
// A key held down as X11 delivers it: a press; for each repeat a release and a press with the
// same time stamp, which Qt mostly leaves unmarked; at last the release. The steps may go to
// different widgets, as the focus moves while the key is held.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

class THeldKey {
public:
    explicit THeldKey(Qt::Key Key) : FKey(Key) {}

    void Press(QWidget* To) { Send(To, QEvent::KeyPress, FTime += 500); }
    void Repeat(QWidget* To, int Times) {
        for (int I = 0; I < Times; ++I) {
            Send(To, QEvent::KeyRelease, FTime += 33);
            Send(To, QEvent::KeyPress, FTime);
        }
    }
    void Release(QWidget* To) { Send(To, QEvent::KeyRelease, FTime += 20); }
    void Hold(QWidget* To, int Repeats) {
        Press(To);
        Repeat(To, Repeats);
        Release(To);
    }

private:
    void Send(QWidget* To, QEvent::Type Type, quint64 Time) const {
        QKeyEvent Event(Type, FKey, Qt::NoModifier, 100 + (FKey & 0xFF), 0, 0);
        Event.setTimestamp(Time);
        QApplication::sendEvent(To, &Event);
    }

    Qt::Key FKey;
    static inline quint64 FTime = 1000; // one clock for all keys, as the X server's
};
