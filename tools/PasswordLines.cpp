#include "tools/PasswordLines.h"

#include "tools/Cp1250Input.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"
#include "tools/UserIndex.h"

#include <algorithm>

namespace {

std::string Place(std::size_t Line) {
    return "wiersz " + std::to_string(Line);
}

} // namespace

std::vector<TPasswordLine> ParsePasswordLines(std::string_view Input) {
    std::vector<TPasswordLine> Lines;
    std::size_t Number = 0;
    while (!Input.empty()) {
        const std::size_t End = std::min(Input.find('\n'), Input.size());
        std::string_view Text = Input.substr(0, End);
        Input.remove_prefix(std::min(End + 1, Input.size()));
        ++Number;
        if (!Text.empty() && Text.back() == '\r')
            Text.remove_suffix(1);
        if (Text.empty())
            continue;
        Naming(Place(Number), [&] {
            const std::size_t Colon = Text.find(':');
            if (Colon == std::string_view::npos)
                throw TToolError(ExitData, "brak dwukropka między nazwą a hasłem");
            const std::string_view Name = Text.substr(0, Colon);
            Lines.push_back({Number, std::string(Name), LookupNameToCp1250(Name),
                             PasswordToCp1250(Text.substr(Colon + 1))});
        });
    }
    return Lines;
}

void ApplyPasswordLines(TUserManager& Store, const std::vector<TPasswordLine>& Lines, bool Net) {
    const TUserIndex Index(Store);
    for (const TPasswordLine& Line : Lines) {
        TUserC* User = Index.ByName(Line.Cp1250Name);
        if (User == nullptr)
            throw TToolError(ExitData, Place(Line.Line) + ": " + NoSuchUserText(Line.UserName));
        if (Net)
            User->SetNetPass(Line.Password);
        else
            User->SetPass(Line.Password);
    }
}
