#include "tools/Cp1250Input.h"

#include "runtime/Cp1250.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t MaxStoredLength = 15; // capacity of UserName and of a password block

bool IsControl(char C) {
    const auto B = static_cast<unsigned char>(C);
    return B < 0x20 || B == 0x7F;
}

bool HasControl(const std::string& Text) {
    return std::any_of(Text.begin(), Text.end(), IsControl);
}

} // namespace

std::string LookupNameToCp1250(std::string_view Utf8) {
    std::optional<std::string> Converted = Utf8ToCp1250(Utf8);
    if (!Converted)
        throw TToolError(ExitData, "nazwa \"" + std::string(Utf8) +
                                       "\" zawiera znak spoza strony kodowej 1250");
    return *Converted;
}

std::string LogonNameToCp1250(std::string_view Utf8) {
    std::string Name = LookupNameToCp1250(Utf8);
    if (Name.empty())
        throw TToolError(ExitData, "nie podano nazwy użytkownika w Zortan");
    if (Name.size() > MaxStoredLength)
        throw TToolError(ExitData, "nazwa użytkownika w Zortan może mieć najwyżej 15 znaków");
    if (HasControl(Name))
        throw TToolError(ExitData, "nazwa użytkownika w Zortan zawiera znak sterujący");
    return Name;
}

std::string FieldToCp1250(std::string_view Utf8, const TTextField& Field) {
    const std::string Label = Field.Label;
    std::optional<std::string> Converted = Utf8ToCp1250(Utf8);
    if (!Converted)
        throw TToolError(ExitData, Label + " zawiera znak spoza strony kodowej 1250");
    if (Converted->size() > Field.Capacity)
        throw TToolError(ExitData, Label + " może mieć najwyżej " + std::to_string(Field.Capacity) +
                                       " znaków");
    if (HasControl(*Converted))
        throw TToolError(ExitData, Label + " zawiera znak sterujący");
    return *Converted;
}

std::string PasswordToCp1250(std::string_view Utf8) {
    std::optional<std::string> Converted = Utf8ToCp1250(Utf8);
    if (!Converted)
        throw TToolError(ExitData, "hasło zawiera znak spoza strony kodowej 1250");
    if (Converted->size() > MaxStoredLength)
        throw TToolError(ExitData, "hasło może mieć najwyżej 15 znaków");
    // Nobody could type it into the logon dialog.
    if (HasControl(*Converted))
        throw TToolError(ExitData, "hasło zawiera znak sterujący");
    return *Converted;
}
