#pragma once
// The users of a loaded file side by side in one block of memory, each made in place from its
// record: one allocation instead of one per user, in huge pages where the kernel gives them, so
// that loading a large file costs a handful of page faults. Each user is an ordinary TUserC to
// whoever holds it: deleting it (TObjList's FreeItem, or its owner's delete) ends it in place,
// and the block goes back to the system with its last user. Like the lists that hold the users,
// a block is not meant for use from several threads at once.

#include "store/UserC.h"

#include <cstddef>
#include <cstdint>

class TUserArena {
public:
    static constexpr std::size_t MaxUsers = 0xFFFF; // as many as a user file can count

    // A block with room for Count users (1..MaxUsers), held by the caller until Release. Throws
    // std::bad_alloc when the memory cannot be had.
    static TUserArena* Create(std::size_t Count);
    TUserArena(const TUserArena&) = delete;
    TUserArena& operator=(const TUserArena&) = delete;

    // Makes user Index (0..Count-1, each once) in its place from the 205 bytes of a record; the
    // caller owns it. At gives it again.
    TUserC* Emplace(std::size_t Index, const uint8_t* Record);
    TUserC* At(std::size_t Index);
    // Gives up the caller's hold: the block stays while any of its users does.
    void Release();

    // Blocks that exist in the process (tests use it to see that every block is given back).
    static int LiveBlocks();

private:
    explicit TUserArena(std::size_t Length);
    ~TUserArena() = default;
    void Drop(); // one hold less; the last one returns the memory
    static TUserArena* Of(const void* User);
    friend class TArenaUser;

    std::size_t FLength; // bytes of the block, this header included
    std::size_t FHolds = 1;
};
