#pragma once
// Calls from the grid's events into a record browser run guarded: a failure of the browser's
// data source must not pass through Qt's event loop, which would end the program. It is shown
// instead, in an error box with the failure's text, and the grid goes on.

#include <functional>

void RunGuarded(const std::function<void()>& Call);
