#include "tools/MaskSyntax.h"

#include "store/RightCodes.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace {

struct TItem {
    char Sign; // '+', '-' or 0 for an item of the exact form
    std::string_view Body;
};

std::vector<TItem> SplitItems(std::string_view Text) {
    std::vector<TItem> Items;
    std::size_t At = 0;
    while (At < Text.size()) {
        const std::size_t End = std::min(Text.find_first_of(", \t", At), Text.size());
        std::string_view Item = Text.substr(At, End - At);
        At = End + 1;
        if (Item.empty())
            continue;
        char Sign = 0;
        if (Item[0] == '+' || Item[0] == '-') {
            Sign = Item[0];
            Item.remove_prefix(1);
        }
        if (!Items.empty() && (Sign == 0) != (Items.front().Sign == 0))
            throw TToolError(ExitData,
                             "nie można łączyć pozycji ze znakiem + lub - z pozycjami bez znaku");
        Items.push_back({Sign, Item});
    }
    return Items;
}

// Items with their bits, folded into one change: the exact form replaces all of Meaningful.
TMaskChange Fold(const std::vector<TItem>& Items, const std::vector<uint32_t>& Bits,
                 uint32_t Meaningful) {
    TMaskChange Change;
    if (Items.empty() || Items.front().Sign == 0)
        Change.Clear = Meaningful;
    for (std::size_t I = 0; I < Items.size(); ++I) {
        if (Items[I].Sign == '-')
            Change.Clear |= Bits[I];
        else
            Change.Set |= Bits[I];
    }
    if (!Items.empty() && Items.front().Sign != 0 && (Change.Set & Change.Clear) != 0)
        throw TToolError(ExitData, "ta sama pozycja jest i dodawana, i odbierana");
    return Change;
}

std::optional<uint32_t> RightBit(std::string_view Code) {
    if (Code == "L")
        return rtLogon;
    for (const TRightCode& Right : RightCodes) {
        if (!Right.Code.empty() && Right.Code == Code)
            return Right.Bit;
    }
    return std::nullopt;
}

std::optional<unsigned> ObjectNumber(std::string_view Digits) {
    unsigned Value = 0;
    const char* End = Digits.data() + Digits.size();
    const auto [Ptr, Error] = std::from_chars(Digits.data(), End, Value);
    if (Digits.empty() || Error != std::errc() || Ptr != End || Value < 1 || Value > 32)
        return std::nullopt;
    return Value;
}

// The bits of "N" or "A-B".
uint32_t ObjectBits(std::string_view Body) {
    const std::size_t Dash = Body.find('-');
    const std::optional<unsigned> First = ObjectNumber(Body.substr(0, Dash));
    const std::optional<unsigned> Last =
        Dash == std::string_view::npos ? First : ObjectNumber(Body.substr(Dash + 1));
    if (!First || !Last || *First > *Last)
        throw TToolError(ExitData, "niepoprawna pozycja \"" + std::string(Body) +
                                       "\" (numery od 1 do 32 i zakresy, np. 1-5)");
    uint32_t Bits = 0;
    for (unsigned N = *First; N <= *Last; ++N)
        Bits |= uint32_t{1} << (N - 1);
    return Bits;
}

} // namespace

TMaskChange ParseRightsChange(std::string_view Text) {
    const std::vector<TItem> Items = SplitItems(Text);
    std::vector<uint32_t> Bits;
    for (const TItem& Item : Items) {
        const std::optional<uint32_t> Bit = RightBit(Item.Body);
        if (!Bit)
            throw TToolError(ExitData, "nieznany kod \"" + std::string(Item.Body) +
                                           "\" (kody: L Id If Is Dm Di De Dp Ds Wm Wi We Om Oi "
                                           "Oe)");
        Bits.push_back(*Bit);
    }
    return Fold(Items, Bits, rtMeaningful);
}

TMaskChange ParseObjectsChange(std::string_view Text) {
    const std::vector<TItem> Items = SplitItems(Text);
    std::vector<uint32_t> Bits;
    for (const TItem& Item : Items)
        Bits.push_back(ObjectBits(Item.Body));
    return Fold(Items, Bits, 0xFFFFFFFF);
}
