// Arbitrary bytes as the text of --rights and of --objects. Besides the sanitizers' findings and
// any exception other than a data error, it aborts when a rights change reaches a bit without
// meaning, when an exact change does not replace every bit it stands for, or when a relative
// one both gives and takes a bit.
#include "fuzz/FuzzSupport.h"
#include "store/RightCodes.h"
#include "tools/MaskSyntax.h"
#include "tools/ToolError.h"

#include <functional>
#include <optional>
#include <string_view>

namespace {

constexpr const char* Target = "fuzz_masks";

std::optional<TMaskChange> Parse(const std::function<TMaskChange(std::string_view)>& Parser,
                                 std::string_view Text) {
    try {
        return Parser(Text);
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        return std::nullopt;
    }
}

void CheckChange(const TMaskChange& Change, uint32_t Meaningful) {
    Require(((Change.Set | Change.Clear) & ~Meaningful) == 0, Target,
            "a change reaches a bit without meaning");
    const bool Exact = Change.Clear == Meaningful;
    Require(Exact || (Change.Set & Change.Clear) == 0, Target,
            "a relative change both gives and takes a bit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    if (const std::optional<TMaskChange> Rights = Parse(ParseRightsChange, Text))
        CheckChange(*Rights, rtMeaningful);
    if (const std::optional<TMaskChange> Objects = Parse(ParseObjectsChange, Text))
        CheckChange(*Objects, 0xFFFFFFFF);
    return 0;
}
