#include "tools/NewUserFile.h"

#include "runtime/File.h"
#include "store/UserManager.h"
#include "store/UserRec.h"
#include "tools/ToolError.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

bool NameExists(const std::string& Path) {
    struct stat St {};
    return ::lstat(Path.c_str(), &St) == 0;
}

} // namespace

TNewUserFile::TNewUserFile(std::string FileName) : Name(std::move(FileName)) {
    // A name that exists already, even as a dangling symbolic link, is refused at once.
    if (NameExists(Name))
        CannotCreate();
    const std::size_t Slash = Name.rfind('/');
    Dir = Slash == std::string::npos ? "." : Slash == 0 ? "/" : Name.substr(0, Slash);
    const std::string Base = Slash == std::string::npos ? Name : Name.substr(Slash + 1);
    // The name the store gives its own leftovers, so that a save of the finished file clears
    // away what an init killed before Publish left.
    std::string Temp = Dir + "/." + Base.substr(0, 200) + ".tmp-XXXXXX";
    const int Fd = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Fd < 0)
        CannotCreate();
    const auto Image = PlaceholderImage();
    // fchmod as well, so that the mode is 0600 whatever the umask says.
    const bool Written = ::fchmod(Fd, 0600) == 0 && WriteAll(Fd, Image.data(), Image.size());
    const bool Closed = ::close(Fd) == 0;
    if (!Written || !Closed) {
        ::unlink(Temp.c_str()); // no destructor runs for a constructor that throws
        CannotCreate();
    }
    TempName = Temp;
}

TNewUserFile::~TNewUserFile() {
    if (!TempName.empty())
        ::unlink(TempName.c_str());
}

void TNewUserFile::Publish() {
    // The store's save has flushed the file. A link, unlike a rename, never replaces a file that
    // appeared under the name meanwhile.
    if (::link(TempName.c_str(), Name.c_str()) != 0)
        CannotCreate();
    // A second name left by a crash here is cleared away by the next save.
    ::unlink(std::exchange(TempName, {}).c_str());
    if (!SyncDirectory(Dir) && !SyncDirectory(Dir))
        std::fprintf(stderr, "%s\n", SaveNotDurableText);
}
