#include "tools/NewUserFile.h"

#include "runtime/File.h"
#include "store/UserManager.h"
#include "store/UserRec.h"
#include "tools/ToolError.h"

#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Header and one all-zero record: the word sum of zeros is 0, so the file is valid as it stands.
std::array<uint8_t, UserFileHeaderSize + UserRecSize> PlaceholderImage() {
    TUserFileHeader Header{};
    Header.Magic = UserFileMagic;
    Header.Count = 1;
    std::array<uint8_t, UserFileHeaderSize + UserRecSize> Image{};
    std::memcpy(Image.data(), &Header, sizeof Header);
    return Image;
}

[[noreturn]] void CannotCreate() {
    throw TToolError(ueCreate, UserFileErrorText(ueCreate));
}

} // namespace

TNewUserFile::TNewUserFile(std::string FileName) : Name(std::move(FileName)) {
    // O_EXCL also refuses a symbolic link, even a dangling one.
    const int Fd = open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (Fd < 0) {
        Kept = true; // not ours: never remove what somebody else created
        CannotCreate();
    }
    const auto Image = PlaceholderImage();
    // fchmod as well, so that the mode is 0600 whatever the umask says.
    const bool Written = fchmod(Fd, 0600) == 0 && WriteAll(Fd, Image.data(), Image.size());
    const bool Closed = close(Fd) == 0;
    if (!Written || !Closed) {
        unlink(Name.c_str());
        Kept = true;
        CannotCreate();
    }
}

TNewUserFile::~TNewUserFile() {
    if (!Kept)
        unlink(Name.c_str());
}
