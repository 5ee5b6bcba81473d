#include "runtime/Settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A settings file is a handful of lines; anything larger is not one.
constexpr std::size_t MaxSettingsSize = 64 * 1024;

bool IsBlank(char C) {
    // "\r" too: the file may have been written on Windows, beside Zortan.
    return C == ' ' || C == '\t' || C == '\r';
}

std::string_view Trimmed(std::string_view S) {
    while (!S.empty() && IsBlank(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back()))
        S.remove_suffix(1);
    return S;
}

bool HasControlCharacter(std::string_view S) {
    for (const char C : S) {
        const auto U = static_cast<unsigned char>(C);
        if (U < 0x20 || U == 0x7F)
            return true;
    }
    return false;
}

// Control characters and bytes that are not UTF-8 are shown as "?" in an error message.
std::string Printable(std::string_view S) {
    std::string Out;
    for (const char C : S) {
        const auto U = static_cast<unsigned char>(C);
        Out += U < 0x20 || U == 0x7F ? '?' : C;
    }
    return Out;
}

} // namespace

std::string SettingsPath() {
    const char* FromEnvironment = std::getenv("PELORIN_CONFIG");
    return FromEnvironment && *FromEnvironment ? FromEnvironment : BuiltInSettingsPath;
}

TSettings ParseSettings(std::string_view Text, const std::string& Source) {
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (Text.substr(0, Bom.size()) == Bom)
        Text.remove_prefix(Bom.size());
    TSettings Result;
    bool UserFileSeen = false;
    int LineNumber = 0;
    while (!Text.empty()) {
        const std::size_t End = Text.find('\n');
        const std::string_view Raw = Text.substr(0, End);
        Text.remove_prefix(End == std::string_view::npos ? Text.size() : End + 1);
        ++LineNumber;
        const auto Fail = [&](const std::string& What) {
            throw TSettingsError(Source + ", wiersz " + std::to_string(LineNumber) + ": " + What);
        };
        const std::string_view Line = Trimmed(Raw);
        if (Line.empty() || Line.front() == '#' || Line.front() == ';')
            continue;
        const std::size_t Equals = Line.find('=');
        if (Equals == std::string_view::npos)
            Fail("oczekiwano ustawienia w postaci Klucz=Wartość");
        const std::string_view Key = Trimmed(Line.substr(0, Equals));
        const std::string_view Value = Trimmed(Line.substr(Equals + 1));
        if (HasControlCharacter(Key) || HasControlCharacter(Value))
            Fail("niedozwolony znak sterujący");
        if (Key != "UserFile")
            Fail("nieznane ustawienie „" + Printable(Key) + "” (znane: UserFile)");
        if (UserFileSeen)
            Fail("UserFile podane drugi raz");
        UserFileSeen = true;
        if (!Value.empty() && Value.front() != '/')
            Fail("UserFile musi być ścieżką bezwzględną, zaczynającą się od „/”");
        Result.UserFile = Value;
    }
    return Result;
}

TSettings ReadSettings(const std::string& Path) {
    const auto Fail = [&Path](const std::string& What) -> TSettings {
        throw TSettingsError(Path + ": " + What);
    };
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (Fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return Fail(std::string("nie można odczytać pliku ustawień: ") + std::strerror(errno));
    }
    std::string Text;
    struct stat St {};
    int Error = 0;
    bool TooLarge = false;
    bool NotAFile = false;
    if (::fstat(Fd, &St) != 0) {
        Error = errno;
    } else if (!S_ISREG(St.st_mode)) {
        NotAFile = true;
    } else {
        char Buffer[4096];
        for (;;) {
            const ssize_t Got = ::read(Fd, Buffer, sizeof Buffer);
            if (Got < 0 && errno == EINTR)
                continue;
            if (Got < 0) {
                Error = errno;
                break;
            }
            if (Got == 0)
                break;
            Text.append(Buffer, static_cast<std::size_t>(Got));
            if (Text.size() > MaxSettingsSize) {
                TooLarge = true;
                break;
            }
        }
    }
    ::close(Fd);
    if (Error != 0)
        return Fail(std::string("nie można odczytać pliku ustawień: ") + std::strerror(Error));
    if (NotAFile)
        return Fail("to nie jest zwykły plik");
    if (TooLarge)
        return Fail("plik ustawień jest większy niż 64 KiB");
    return ParseSettings(Text, Path);
}
