#include "runtime/FileRewrite.h"
#include "runtime/Random.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The record area goes to the disk in pieces of this size while the next ones are scrambled.
constexpr std::size_t WritePiece = 1 << 20; // a multiple of 4, as the checksum needs

} // namespace

bool TUserManager::Save() {
    if (!ForWriting)
        return true;
    // A save happens once per opened file: afterwards the store holds no file, whatever the
    // outcome, so a failure is reported once.
    ForWriting = false;

    bool Saved = false;
    // A file without users, or with more than the header can count, would never open again.
    if (Count() >= 1 && Count() <= 0xFFFF) {
        TFileRewrite Rewrite(Handle, FFileName);
        const std::size_t AreaLen = static_cast<std::size_t>(Count()) * UserRecSize;
        const std::size_t ImageLen = UserFileHeaderSize + AreaLen;
        const auto Image = std::make_unique_for_overwrite<uint8_t[]>(ImageLen);
        uint8_t* Area = Image.get() + UserFileHeaderSize;
        for (int I = 0; I < Count(); ++I)
            std::memcpy(Area + static_cast<std::size_t>(I) * UserRecSize, &Items(I)->Rec,
                        UserRecSize);

        Header.Seed = FreshSeed();
        RandSeed = static_cast<uint32_t>(Header.Seed);
        uint32_t Sum = 0;
        for (std::size_t At = 0; At < AreaLen; At += WritePiece) {
            const std::size_t N = std::min(WritePiece, AreaLen - At);
            Sum += XorWithChecksum(Area + At, N, TXorDirection::Scramble);
            Rewrite.WriteAhead(UserFileHeaderSize + At, {Area + At, N});
        }
        Header.Checksum = Sum;
        Header.Count = static_cast<uint16_t>(Count());
        Header.LockByte = 0;
        std::memcpy(Image.get(), &Header, UserFileHeaderSize);

        Saved = Rewrite.Commit({Image.get(), ImageLen}) != TRewriteResult::Failed;
    }
    // Only now, with the new file in place, is the lock given up.
    Handle.Close();
    if (!Saved)
        StoreMessageBox(SaveFailedText, "", 16);
    return Saved;
}
