#pragma once
// Which key presses only repeat a key that is held down.
//
// Under X11 a held key sends a release and a press for each repeat. Qt marks such a press as a
// repeat (QKeyEvent::isAutoRepeat) only when it finds it already queued as it handles the
// release, which mostly fails: the two may be read apart, and a busy program reads them late.
// The X server makes the release as a copy of the repeated press, so both carry the same time
// stamp, while nobody can release a key and press it again within one millisecond. A press of
// the key just released, stamped with the release's time, is therefore a repeat, however late
// the program reads the two.
//
// WatchKeyRepeats() installs the watcher on the Qt application (once; TApplication::Initialize
// does it). From then on IsKeyRepeat tells a repeat from a new press, and a held Enter acts once
// everywhere: its repeats are dropped before any widget sees them, so that they do not confirm
// the dialog that the first press opened, nor the message box after it.

class QKeyEvent;

void WatchKeyRepeats();
// Whether a key press repeats a held key: so marked by Qt, or, with the watcher installed, a
// press of the key just released that carries the release's time stamp (events made by a
// program without a time stamp are never paired).
bool IsKeyRepeat(const QKeyEvent& Press);
