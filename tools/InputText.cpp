#include "tools/InputText.h"

#include "runtime/Encoding.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* DefaultEncoding = "utf-8";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

void RequireKnownEncoding(const std::optional<std::string>& Encoding) {
    if (Encoding && !CanDecode(*Encoding))
        throw TUsageError("Nieznane kodowanie: " + *Encoding +
                          " (nazwy jak w iconv, np. utf-8, cp1250, iso-8859-2)");
}

std::string DecodeInput(std::string_view Raw, const std::optional<std::string>& Encoding) {
    const std::string Name = Encoding.value_or(DefaultEncoding);
    TDecodedText Decoded = DecodeToUtf8(Raw, Name);
    if (!Decoded.Complete) {
        // The line as the text that came before it counts them, whatever the encoding's bytes.
        const auto Line = std::count(Decoded.Utf8.begin(), Decoded.Utf8.end(), '\n') + 1;
        char Byte[8];
        std::snprintf(Byte, sizeof Byte, "0x%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(Raw[Decoded.BadOffset])));
        std::string Message = "wiersz " + std::to_string(Line) + ": bajt " + Byte +
                              " nie jest znakiem w kodowaniu " + Name;
        if (!Encoding)
            Message += " (tekst w innym kodowaniu: --encoding, np. --encoding cp1250)";
        throw TToolError(ExitData, Message);
    }
    // Spreadsheets put one before UTF-8 text; it is no part of the first name.
    if (std::string_view(Decoded.Utf8).substr(0, ByteOrderMark.size()) == ByteOrderMark)
        Decoded.Utf8.erase(0, ByteOrderMark.size());
    return std::move(Decoded.Utf8);
}
