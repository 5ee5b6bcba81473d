#pragma once
// Finding a row by typing its first letters, as list views do: what is typed within a second of
// the previous key adds to one search text, compared case-insensitively (Polish letters too)
// with the start of each row's text.

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class TTypeAhead {
public:
    using TClock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds Pause{1000};

    // Typed goes into the search over rows 0..Count-1, whose texts TextOf gives; Current is the
    // selected row (-1 for none). The result is the row to select: a new search takes the next
    // matching row after Current, wrapping; a longer text keeps Current while it still matches;
    // one letter typed again steps to the next row it starts. -1 when no row matches; none when
    // Typed takes no part in a search (a blank that would start one, which stays the key's own).
    std::optional<int> Find(const QString& Typed, int Current, int Count,
                            const std::function<QString(int)>& TextOf,
                            TClock::time_point Now = TClock::now());

private:
    QString FText;
    TClock::time_point FLast;
};
