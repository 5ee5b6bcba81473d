#include "tools/Messages.h"

#include "tools/Listing.h"

#include <iostream>

std::string QuotedName(std::string_view Cp1250) {
    return "\"" + PrintableUtf8(Cp1250) + "\"";
}

std::string UserWord(const TUserRec& Rec) {
    if (Rec.UserName.View().empty())
        return "użytkownik o Id " + std::to_string(Rec.Id);
    return "użytkownik " + QuotedName(Rec.UserName.View());
}

void Warn(const std::string& FileName, const std::string& Text) {
    std::cerr << ProgramName << ": " << FileName << ": ostrzeżenie: " << Text << '\n';
}
