#include "store/UserDiff.h"

#include "runtime/Hash.h"
#include "store/RightCodes.h"
#include "store/UserC.h"

#include <algorithm>
#include <cstring>

namespace {

template <std::size_t N>
void AddNameChange(std::vector<TFieldChange>& Changes, TUserField Field, const TShortString<N>& Old,
                   const TShortString<N>& New) {
    if (Old.View() != New.View())
        Changes.push_back({Field, Old.Str(), New.Str()});
}

// Clears the characters that either version of a name holds, keeping the bytes after both, and
// the length byte only where it is out of range (the name then shows as if it were full).
template <std::size_t N> void KeepFillerOnly(TShortString<N>& Mine, const TShortString<N>& Other) {
    const std::size_t Used = std::max(Mine.View().size(), Other.View().size());
    if (Mine.Len <= N)
        Mine.Len = 0;
    std::memset(Mine.Chars, 0, Used);
}

// The record with everything that another field accounts for cleared: what is left are the
// bytes that only OtherBytes describes.
TUserRec OtherBytesOf(const TUserRec& Rec, const TUserRec& Other) {
    TUserRec R;
    std::memcpy(&R, &Rec, sizeof R);
    R.Id = 0;
    R.PassSeed = 0;
    R.NetPassSeed = 0;
    R.Rights = Rec.Rights & ~rtMeaningful;
    R.Objects = 0;
    KeepFillerOnly(R.Name, Other.Name);
    KeepFillerOnly(R.UserName, Other.UserName);
    KeepFillerOnly(R.NetUserName, Other.NetUserName);
    std::memset(R.Pass, 0, sizeof R.Pass);
    std::memset(R.NetPass, 0, sizeof R.NetPass);
    return R;
}

bool PasswordDiffers(const TUserRec& Old, const TUserRec& New, bool Net, TPasswordCompare How) {
    if (How == TPasswordCompare::ByValue)
        return DecodedPassword(Old, Net) != DecodedPassword(New, Net);
    const int32_t OldSeed = Net ? Old.NetPassSeed : Old.PassSeed;
    const int32_t NewSeed = Net ? New.NetPassSeed : New.PassSeed;
    const uint8_t* OldBlock = Net ? Old.NetPass : Old.Pass;
    const uint8_t* NewBlock = Net ? New.NetPass : New.Pass;
    return OldSeed != NewSeed || std::memcmp(OldBlock, NewBlock, sizeof(TPassBlock)) != 0;
}

} // namespace

std::vector<TFieldChange> CompareUsers(const TUserRec& Old, const TUserRec& New,
                                       TPasswordCompare How) {
    std::vector<TFieldChange> Changes;
    AddNameChange(Changes, TUserField::Name, Old.Name, New.Name);
    AddNameChange(Changes, TUserField::UserName, Old.UserName, New.UserName);
    AddNameChange(Changes, TUserField::NetUserName, Old.NetUserName, New.NetUserName);
    if (((Old.Rights ^ New.Rights) & rtMeaningful) != 0)
        Changes.push_back({TUserField::Rights, RightsCodes(Old.Rights), RightsCodes(New.Rights)});
    if (Old.Objects != New.Objects)
        Changes.push_back(
            {TUserField::Objects, ObjectsText(Old.Objects), ObjectsText(New.Objects)});
    if (PasswordDiffers(Old, New, false, How))
        Changes.push_back({TUserField::Password, {}, {}});
    if (PasswordDiffers(Old, New, true, How))
        Changes.push_back({TUserField::NetPassword, {}, {}});
    const TUserRec OldOther = OtherBytesOf(Old, New);
    const TUserRec NewOther = OtherBytesOf(New, Old);
    if (std::memcmp(&OldOther, &NewOther, sizeof OldOther) != 0)
        Changes.push_back({TUserField::OtherBytes, {}, {}});
    return Changes;
}

std::string RightsCodes(uint32_t Rights) {
    std::string Codes;
    for (const TRightCode& Right : RightCodes) {
        if ((Rights & Right.Bit) == 0)
            continue;
        if (!Codes.empty())
            Codes += ' ';
        Codes += Right.Code.empty() ? std::string_view("L") : Right.Code; // rtLogon
    }
    return Codes;
}

std::string ObjectsText(uint32_t Objects) {
    std::string Text;
    for (int First = 0; First < 32;) {
        if ((Objects >> First & 1u) == 0) {
            ++First;
            continue;
        }
        int Last = First;
        while (Last + 1 < 32 && (Objects >> (Last + 1) & 1u) != 0)
            ++Last;
        auto Add = [&Text](int Bit) {
            Text += (Text.empty() ? "" : ",") + std::to_string(Bit + 1);
        };
        if (Last - First >= 2) {
            Add(First);
            Text += "-" + std::to_string(Last + 1);
        } else {
            for (int Bit = First; Bit <= Last; ++Bit)
                Add(Bit);
        }
        First = Last + 1;
    }
    return Text;
}

std::string DecodedPassword(const TUserRec& Rec, bool Net) {
    return Net ? DecodePassBlock(Rec.NetPass, Rec.NetPassSeed)
               : DecodePassBlock(Rec.Pass, Rec.PassSeed);
}

uint64_t RecordHash(const TUserRec& Rec) {
    return Hash64(&Rec, sizeof Rec);
}

TUserMatching MatchUsers(std::span<const uint16_t> OldIds, std::span<const uint16_t> NewIds) {
    TUserMatching Result;
    // Indexes ordered by Id, equal Ids in list order (a counting sort: Ids are 16-bit), so that
    // the k-th of an Id meets the k-th.
    auto SortedById = [](std::span<const uint16_t> Ids) {
        std::vector<uint32_t> Starts(0x10001, 0);
        for (uint16_t Id : Ids)
            ++Starts[Id + 1u];
        for (std::size_t Id = 1; Id < Starts.size(); ++Id)
            Starts[Id] += Starts[Id - 1];
        std::vector<uint32_t> Order(Ids.size());
        for (std::size_t I = 0; I < Ids.size(); ++I)
            Order[Starts[Ids[I]]++] = static_cast<uint32_t>(I);
        return Order;
    };
    const std::vector<uint32_t> Old = SortedById(OldIds);
    const std::vector<uint32_t> New = SortedById(NewIds);
    std::size_t O = 0;
    std::size_t N = 0;
    while (O < Old.size() || N < New.size()) {
        if (N == New.size() || (O < Old.size() && OldIds[Old[O]] < NewIds[New[N]])) {
            Result.Deleted.push_back(Old[O++]);
        } else if (O == Old.size() || NewIds[New[N]] < OldIds[Old[O]]) {
            Result.Added.push_back(New[N++]);
        } else {
            Result.Pairs.emplace_back(Old[O++], New[N++]);
        }
    }
    std::sort(Result.Pairs.begin(), Result.Pairs.end(),
              [](const auto& A, const auto& B) { return A.second < B.second; });
    std::sort(Result.Deleted.begin(), Result.Deleted.end());
    std::sort(Result.Added.begin(), Result.Added.end());
    return Result;
}

std::string ChangeText(const TFieldChange& Change, const TChangeWording& Wording) {
    const std::string Word = Wording.Words[static_cast<std::size_t>(Change.Field)];
    switch (Change.Field) {
    case TUserField::Name:
    case TUserField::UserName:
    case TUserField::NetUserName:
        return Word + " " + Wording.QuoteName(Change.Before) + " " + Wording.Arrow + " " +
               Wording.QuoteName(Change.After);
    case TUserField::Rights:
    case TUserField::Objects:
        return Word + " " + Wording.QuoteCodes(Change.Before) + " " + Wording.Arrow + " " +
               Wording.QuoteCodes(Change.After);
    case TUserField::Password:
    case TUserField::NetPassword:
    case TUserField::OtherBytes:
        break;
    }
    return Word;
}
