#include "tools/StrictCheck.h"

#include "store/RightCodes.h"
#include "tools/Messages.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\xA0'; // the space and the no-break space of code page 1250
}

bool HasControl(std::string_view Name) {
    return std::any_of(Name.begin(), Name.end(), [](char C) {
        const auto B = static_cast<unsigned char>(C);
        return B < 0x20 || B == 0x7F;
    });
}

// What is wrong with one name; Label names the field.
void CheckName(std::string_view Name, const char* Label, bool ColonMatters,
               std::vector<std::string>& What) {
    if (!Name.empty() && (IsBlank(Name.front()) || IsBlank(Name.back())))
        What.push_back(std::string(Label) + " zaczyna się lub kończy odstępem");
    if (ColonMatters && Name.find(':') != std::string_view::npos)
        What.push_back(std::string(Label) + " zawiera dwukropek");
    if (HasControl(Name))
        What.push_back(std::string(Label) + " zawiera znak sterujący");
}

} // namespace

std::vector<std::string> StrictFindings(const TUserManager& Users) {
    std::vector<std::string> Findings;
    std::unordered_map<std::string_view, uint16_t> FirstWithName;
    std::unordered_map<uint16_t, std::string_view> FirstWithId;
    FirstWithName.reserve(static_cast<std::size_t>(Users.Count()));
    FirstWithId.reserve(static_cast<std::size_t>(Users.Count()));
    for (int I = 0; I < Users.Count(); ++I) {
        const TUserC& User = *Users.Items(I);
        const TUserRec& Rec = User.Rec;
        const std::string_view Name = Rec.UserName.View();
        const uint16_t Id = Rec.Id; // a copy: the packed field may not be aligned
        std::vector<std::string> What;
        if (User.HasRight(rtLogon) && User.GetPass().empty())
            What.push_back("prawo logowania z pustym hasłem Zortan: zaloguje się każdy");
        if (Name.empty())
            What.push_back("pusta nazwa w Zortan");
        CheckName(Name, "nazwa w Zortan", true, What);
        CheckName(Rec.NetUserName.View(), "nazwa sieciowa", true, What);
        CheckName(Rec.Name.View(), "pełna nazwa", false, What);
        if (const auto [Earlier, New] = FirstWithName.try_emplace(Name, Id); !New && !Name.empty())
            What.push_back("tę samą nazwę w Zortan ma wcześniejszy użytkownik o Id " +
                           std::to_string(Earlier->second));
        if (const auto [Earlier, New] = FirstWithId.try_emplace(Id, Name); !New)
            What.push_back("to samo Id ma wcześniejszy użytkownik " + QuotedName(Earlier->second));
        if (I == 0 && !User.HasRight(rtLogon))
            What.push_back("administrator (pierwszy w pliku) bez prawa logowania");
        if (const uint32_t Meaningless = Rec.Rights & ~rtMeaningful; Meaningless != 0) {
            char Bits[16];
            std::snprintf(Bits, sizeof Bits, "0x%08X", Meaningless);
            What.push_back(std::string("bity praw bez znaczenia: ") + Bits);
        }
        for (const std::string& W : What)
            Findings.push_back("Id " + std::to_string(Id) + ", nazwa w Zortan " + QuotedName(Name) +
                               ": " + W);
    }
    return Findings;
}
