#include "runtime/Cp1250.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv descriptor per direction and thread, reset before each conversion.
class TConverter {
public:
    TConverter(const char* To, const char* From) : FCd(iconv_open(To, From)) {}
    ~TConverter() {
        if (Valid())
            iconv_close(FCd);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    bool Valid() const { return FCd != reinterpret_cast<iconv_t>(-1); }

    enum class TStatus { Done, Unconvertible, Failed };

    // Converts as much of In as possible, appending to Out; In is advanced past what was used.
    TStatus Convert(std::string_view& In, std::string& Out) {
        if (!Valid())
            return TStatus::Failed;
        iconv(FCd, nullptr, nullptr, nullptr, nullptr);
        char Chunk[256];
        while (!In.empty()) {
            char* InPtr = const_cast<char*>(In.data());
            std::size_t InLeft = In.size();
            char* OutPtr = Chunk;
            std::size_t OutLeft = sizeof Chunk;
            const std::size_t Rc = iconv(FCd, &InPtr, &InLeft, &OutPtr, &OutLeft);
            const int Err = errno;
            Out.append(Chunk, static_cast<std::size_t>(OutPtr - Chunk));
            In.remove_prefix(In.size() - InLeft);
            if (Rc != static_cast<std::size_t>(-1))
                continue;
            if (Err == E2BIG)
                continue;
            return (Err == EILSEQ || Err == EINVAL) ? TStatus::Unconvertible : TStatus::Failed;
        }
        return TStatus::Done;
    }

private:
    iconv_t FCd;
};

TConverter& ToCp1250() {
    thread_local TConverter Conv("CP1250", "UTF-8");
    return Conv;
}

TConverter& FromCp1250() {
    thread_local TConverter Conv("UTF-8", "CP1250");
    return Conv;
}

} // namespace

std::optional<std::string> Utf8ToCp1250(std::string_view Utf8) {
    std::string Out;
    if (ToCp1250().Convert(Utf8, Out) != TConverter::TStatus::Done)
        return std::nullopt;
    return Out;
}

std::string Cp1250ToUtf8(std::string_view Cp1250) {
    std::string Out;
    while (!Cp1250.empty()) {
        if (FromCp1250().Convert(Cp1250, Out) == TConverter::TStatus::Done)
            break;
        // A byte the code page leaves undefined, or a converter that could not be opened.
        Out += "\xEF\xBF\xBD";
        Cp1250.remove_prefix(1);
    }
    return Out;
}

bool IsCp1250Char(char32_t Ch) {
    if (Ch > 0x10FFFF || (Ch >= 0xD800 && Ch <= 0xDFFF))
        return false;
    std::string Utf8;
    if (Ch < 0x80) {
        Utf8 += static_cast<char>(Ch);
    } else if (Ch < 0x800) {
        Utf8 += static_cast<char>(0xC0 | (Ch >> 6));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    } else if (Ch < 0x10000) {
        Utf8 += static_cast<char>(0xE0 | (Ch >> 12));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    } else {
        Utf8 += static_cast<char>(0xF0 | (Ch >> 18));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 12) & 0x3F));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    }
    return Utf8ToCp1250(Utf8).has_value();
}
