// Arbitrary bytes as the system-wide settings file. Besides the sanitizers' findings and any
// exception other than a settings error, it aborts when a file is taken whose UserFile is not
// an absolute path, or holds a line break or a control character.
#include "fuzz/FuzzSupport.h"
#include "runtime/Settings.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    constexpr const char* Target = "fuzz_settings";
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TSettings Settings;
    try {
        Settings = ParseSettings(Text, "pelorin.conf");
    } catch (const TSettingsError&) {
        return 0;
    }
    const std::string& Path = Settings.UserFile;
    Require(Path.empty() || Path.front() == '/', Target, "a relative UserFile is taken");
    for (const char C : Path) {
        const auto U = static_cast<unsigned char>(C);
        Require(U >= 0x20 && U != 0x7F, Target, "UserFile holds a control character");
    }
    Require(Path.empty() || (Path.back() != ' ' && Path.back() != '\t'), Target,
            "UserFile keeps trailing blanks");
    return 0;
}
