#include "runtime/FileRewrite.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <cstring>
#include <vector>

bool TUserManager::Save() {
    if (!ForWriting)
        return true;
    // A save happens once per opened file: afterwards the store holds no file, whatever the
    // outcome, so a failure is reported once.
    ForWriting = false;

    bool Saved = false;
    // A file without users, or with more than the header can count, would never open again.
    if (Count() >= 1 && Count() <= 0xFFFF) {
        const std::size_t AreaLen = static_cast<std::size_t>(Count()) * UserRecSize;
        std::vector<uint8_t> Image(UserFileHeaderSize + AreaLen);
        uint8_t* Area = Image.data() + UserFileHeaderSize;
        for (int I = 0; I < Count(); ++I)
            std::memcpy(Area + static_cast<std::size_t>(I) * UserRecSize, &Items(I)->Rec,
                        UserRecSize);

        Header.Seed = FreshSeed();
        XorArea(Area, AreaLen, Header.Seed);
        Header.Checksum = CalcChecksum(Area, AreaLen);
        Header.Count = static_cast<uint16_t>(Count());
        Header.LockByte = 0;
        std::memcpy(Image.data(), &Header, UserFileHeaderSize);

        Saved = RewriteFileHead(Handle, FFileName, Image) != TRewriteResult::Failed;
    }
    // Only now, with the new file in place, is the lock given up.
    Handle.Close();
    if (!Saved)
        StoreMessageBox(SaveFailedText, "", 16);
    return Saved;
}
