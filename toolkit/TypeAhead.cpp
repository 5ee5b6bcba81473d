#include "toolkit/TypeAhead.h"

#include <algorithm>

namespace {

bool IsOneLetterRepeated(const QString& Text) {
    return Text.size() > 1 && std::all_of(Text.begin(), Text.end(), [&](QChar C) {
               return C.toCaseFolded() == Text.front().toCaseFolded();
           });
}

} // namespace

std::optional<int> TTypeAhead::Find(const QString& Typed, int Current, int Count,
                                    const std::function<QString(int)>& TextOf,
                                    TClock::time_point Now) {
    if (Now - FLast > Pause)
        FText.clear();
    if (FText.isEmpty() && Typed.trimmed().isEmpty())
        return std::nullopt;
    FLast = Now;
    const bool Continued = !FText.isEmpty();
    FText += Typed;

    const bool Stepping = IsOneLetterRepeated(FText);
    const QString Search = Stepping ? FText.left(1) : FText;
    const int Start = Continued && !Stepping ? std::max(Current, 0) : Current + 1;
    for (int Step = 0; Step < Count; ++Step) {
        const int Row = (Start + Step) % Count;
        if (TextOf(Row).startsWith(Search, Qt::CaseInsensitive))
            return Row;
    }
    return -1;
}
