// Arbitrary bytes as the input of `usrpass chpasswd`: parsed, then applied to three users in
// memory. Besides the sanitizers' findings and any exception other than a data error, it aborts
// when an accepted line holds a password the logon dialog could not take, or when a user ends
// with another password than the last line for him gave.
#include "fuzz/FuzzSupport.h"
#include "tools/PasswordLines.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr const char* Target = "fuzz_password_lines";

bool IsControl(char C) {
    const auto B = static_cast<unsigned char>(C);
    return B < 0x20 || B == 0x7F;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    std::vector<TPasswordLine> Lines;
    try {
        Lines = ParsePasswordLines(std::string_view(reinterpret_cast<const char*>(Data), Size));
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        return 0;
    }
    std::size_t Previous = 0;
    for (const TPasswordLine& Line : Lines) {
        Require(Line.Line > Previous, Target, "lines out of order");
        Previous = Line.Line;
        Require(Line.Password.size() <= 15, Target, "a password longer than 15 characters");
        Require(std::none_of(Line.Password.begin(), Line.Password.end(), IsControl), Target,
                "a password with a control character");
    }

    const std::unique_ptr<TUserManager> Store = ThreeUsers();
    try {
        ApplyPasswordLines(*Store, Lines, false);
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        return 0;
    }
    for (auto Line = Lines.rbegin(); Line != Lines.rend(); ++Line) {
        const bool LaterForSameUser =
            std::any_of(Lines.rbegin(), Line,
                        [&](const TPasswordLine& L) { return L.Cp1250Name == Line->Cp1250Name; });
        if (LaterForSameUser)
            continue;
        for (int I = 0; I < Store->Count(); ++I) {
            if (Store->Items(I)->Rec.UserName.View() == Line->Cp1250Name) {
                Require(Store->Items(I)->GetPass() == Line->Password, Target,
                        "the password is not the last one given");
                break;
            }
        }
    }
    return 0;
}
