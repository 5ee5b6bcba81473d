#include "toolkit/KeyRepeat.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include <optional>

namespace {

struct TKeyRelease {
    int Key;
    quint32 ScanCode;
    quint64 Time;
};

// Sees every key event of the application before its widgets do (an event that goes on to the
// parents is seen again, which changes nothing).
class TKeyRepeatWatcher : public QObject {
public:
    using QObject::QObject;

    std::optional<TKeyRelease> LastRelease;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

QPointer<TKeyRepeatWatcher> Watcher;

bool IsEnter(int Key) {
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

bool TKeyRepeatWatcher::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::KeyRelease) {
        const auto& Release = static_cast<const QKeyEvent&>(*Event);
        LastRelease = TKeyRelease{Release.key(), Release.nativeScanCode(), Release.timestamp()};
    } else if (Event->type() == QEvent::KeyPress) {
        const auto& Press = static_cast<const QKeyEvent&>(*Event);
        if (IsEnter(Press.key()) && IsKeyRepeat(Press))
            return true;
    }
    return QObject::eventFilter(Watched, Event);
}

} // namespace

void WatchKeyRepeats() {
    QCoreApplication* App = QCoreApplication::instance();
    if (!App || (Watcher && Watcher->parent() == App))
        return;
    Watcher = new TKeyRepeatWatcher(App);
    App->installEventFilter(Watcher);
}

bool IsKeyRepeat(const QKeyEvent& Press) {
    if (Press.isAutoRepeat())
        return true;
    if (!Watcher || !Watcher->LastRelease || Press.timestamp() == 0)
        return false;
    const TKeyRelease& Release = *Watcher->LastRelease;
    return Release.Time == Press.timestamp() && Release.Key == Press.key() &&
           Release.ScanCode == Press.nativeScanCode();
}
