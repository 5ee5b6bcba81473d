// Arbitrary bytes as the standard input of chpasswd and import in the encoding --encoding names:
// the first byte picks the encoding (or none, for the default UTF-8), the rest is the text. Besides
// the sanitizers' findings and any exception other than a data error, it aborts when accepted
// text is not well-formed UTF-8 or still starts with a byte-order mark, or when a refusal names
// a line the input does not have. What is accepted goes on to both parsers.
#include "fuzz/FuzzSupport.h"
#include "tools/ImportDocument.h"
#include "tools/InputText.h"
#include "tools/PasswordLines.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* Target = "fuzz_encoding";

const std::array<std::optional<std::string>, 6> Encodings = {
    std::nullopt, "utf-8", "cp1250", "iso-8859-2", "utf-16", "windows-1252"};

// Well-formed UTF-8 (RFC 3629), checked here on its own rather than by iconv, which decoded it.
bool IsUtf8(std::string_view Text) {
    for (std::size_t I = 0; I < Text.size();) {
        const auto B = static_cast<unsigned char>(Text[I]);
        std::size_t Len = 0;
        uint32_t Code = 0;
        if (B < 0x80) {
            Len = 1;
            Code = B;
        } else if ((B & 0xE0) == 0xC0) {
            Len = 2;
            Code = B & 0x1Fu;
        } else if ((B & 0xF0) == 0xE0) {
            Len = 3;
            Code = B & 0x0Fu;
        } else if ((B & 0xF8) == 0xF0) {
            Len = 4;
            Code = B & 0x07u;
        } else {
            return false;
        }
        if (I + Len > Text.size())
            return false;
        for (std::size_t K = 1; K < Len; ++K) {
            const auto C = static_cast<unsigned char>(Text[I + K]);
            if ((C & 0xC0) != 0x80)
                return false;
            Code = Code << 6 | (C & 0x3Fu);
        }
        constexpr uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (Code < Least[Len] || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
            return false;
        I += Len;
    }
    return true;
}

template <class TFn> void AcceptOrRefuse(TFn&& Parse) {
    try {
        Parse();
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const std::optional<std::string>& Encoding = Encodings[Data[0] % Encodings.size()];
    const std::string_view Raw(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    std::string Text;
    try {
        Text = DecodeInput(Raw, Encoding);
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        const std::string Message = E.what();
        Require(Message.rfind("wiersz ", 0) == 0, Target, "a refusal that names no line");
        const std::size_t Line = std::stoul(Message.substr(7));
        // Every encoding here writes a line end as one unit, so no more lines than that.
        const auto Units = std::count(Raw.begin(), Raw.end(), '\n');
        Require(Line >= 1 && Line <= static_cast<std::size_t>(Units) + 1, Target,
                "a refusal names a line the input does not have");
        return 0;
    }
    Require(IsUtf8(Text), Target, "accepted text is not UTF-8");
    Require(Text.rfind("\xEF\xBB\xBF", 0) != 0, Target, "a byte-order mark was kept");
    AcceptOrRefuse([&] { ParsePasswordLines(Text); });
    AcceptOrRefuse([&] { ParseImportDocument(Text); });
    return 0;
}
