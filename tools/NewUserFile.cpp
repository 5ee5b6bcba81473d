#include "tools/NewUserFile.h"

#include "runtime/File.h"
#include "runtime/FileRewrite.h"
#include "runtime/FileSystem.h"
#include "store/UserManager.h"
#include "store/UserRec.h"
#include "tools/ToolError.h"

#include <array>
#include <cstdio>
#include <cstring>
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

TNewUserFile::TNewUserFile(const std::string& FileName) {
    // A name that exists already, even as a dangling symbolic link, is refused at once.
    if (!FDir.PinForNewFile(DirectoryPart(FileName), NamePart(FileName)) ||
        FDir.FileName().empty() || FDir.Has(FDir.FileName()))
        CannotCreate();
    // Named as the store names its own leftovers, so that the next writer of the finished file
    // clears away what a maker killed before Publish left.
    TFile File;
    const std::string Temp = CreateTemporaryFile(FDir, FDir.FileName(), File);
    if (Temp.empty())
        CannotCreate();
    const auto Image = PlaceholderImage();
    // fchmod as well, so that the mode is 0600 whatever the umask says.
    const bool Written = Fs().FChmod(File.Fd(), 0600) == 0 &&
                         File.WriteAt(0, Image.data(), Image.size()) && File.Close();
    if (!Written) {
        Fs().UnlinkAt(FDir.Fd(), Temp.c_str()); // no destructor runs for a constructor that throws
        CannotCreate();
    }
    FTempName = Temp;
}

TNewUserFile::~TNewUserFile() {
    if (!FTempName.empty())
        Fs().UnlinkAt(FDir.Fd(), FTempName.c_str());
}

void TNewUserFile::Publish() {
    // The store's save has flushed the file. A link, unlike a rename, never replaces a file that
    // appeared under the name meanwhile.
    if (Fs().LinkAt(FDir.Fd(), FTempName.c_str(), FDir.Fd(), FDir.FileName().c_str()) != 0)
        CannotCreate();
    // A second name left by a crash here is cleared away by the next writer.
    Fs().UnlinkAt(FDir.Fd(), std::exchange(FTempName, {}).c_str());
    if (!FDir.Sync())
        std::fprintf(stderr, "%s\n", SaveNotDurableText);
}
