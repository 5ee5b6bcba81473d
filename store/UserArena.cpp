#include "store/UserArena.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PELORIN_POISON(Addr, Len) ASAN_POISON_MEMORY_REGION(Addr, Len)
#define PELORIN_UNPOISON(Addr, Len) ASAN_UNPOISON_MEMORY_REGION(Addr, Len)
#else
#define PELORIN_POISON(Addr, Len) ((void)(Addr), (void)(Len))
#define PELORIN_UNPOISON(Addr, Len) ((void)(Addr), (void)(Len))
#endif

// A user in a block. Its delete returns its place to the block instead of to the heap; it is
// made only by placement in a block.
class TArenaUser final : public TUserC {
public:
    using TUserC::TUserC;
    static void* operator new(std::size_t) = delete;
    static void* operator new(std::size_t, void* Place) noexcept { return Place; }
    static void operator delete(void* User) noexcept {
        PELORIN_POISON(User, sizeof(TArenaUser)); // under the sanitizer, a later use is caught
        TUserArena::Of(User)->Drop();
    }
};

namespace {

// Every block lies inside one span of this size and alignment, with its header at the start,
// so that the header is found from the address of any of its users.
constexpr std::size_t BlockAlign = std::size_t{16} << 20;
constexpr std::size_t UsersOffset = 64; // the header, one cache line
constexpr std::size_t HugePage = std::size_t{2} << 20;
static_assert(sizeof(TUserArena) <= UsersOffset);
static_assert((UsersOffset + TUserArena::MaxUsers * sizeof(TArenaUser) + HugePage - 1) / HugePage *
                  HugePage <=
              BlockAlign);
static_assert(UsersOffset % alignof(TArenaUser) == 0);

int BlocksAlive = 0;

uintptr_t RoundUp(uintptr_t Value, uintptr_t Step) {
    return (Value + Step - 1) / Step * Step;
}

TArenaUser* UserAt(TUserArena* Block, std::size_t Index) {
    return reinterpret_cast<TArenaUser*>(reinterpret_cast<uint8_t*>(Block) + UsersOffset +
                                         Index * sizeof(TArenaUser));
}

} // namespace

TUserArena::TUserArena(std::size_t Length) : FLength(Length) {}

TUserArena* TUserArena::Create(std::size_t Count) {
    if (Count == 0 || Count > MaxUsers)
        throw std::bad_alloc();
    // A block of more than one huge page takes whole huge pages, its end included: a partly used
    // last one still costs one fault instead of hundreds.
    const std::size_t Used = UsersOffset + Count * sizeof(TArenaUser);
    const auto Page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t Length = RoundUp(Used, Used > HugePage ? HugePage : Page);
    // Reserve enough address space to find an aligned span in it, and keep only the block.
    void* Reserved = ::mmap(nullptr, Length + BlockAlign, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Reserved == MAP_FAILED)
        throw std::bad_alloc();
    const auto Start = reinterpret_cast<uintptr_t>(Reserved);
    const uintptr_t Base = RoundUp(Start, BlockAlign);
    if (Base != Start)
        ::munmap(Reserved, Base - Start);
    if (const uintptr_t End = Start + Length + BlockAlign; Base + Length != End)
        ::munmap(reinterpret_cast<void*>(Base + Length), End - (Base + Length));
    // Huge pages where the kernel has them, and all of the block's pages at once: a few page
    // faults for the whole block instead of one per 4 KB page. Both are only hints.
    ::madvise(reinterpret_cast<void*>(Base), Length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(reinterpret_cast<void*>(Base), Length, MADV_POPULATE_WRITE);
#endif
    PELORIN_POISON(reinterpret_cast<void*>(Base + UsersOffset), Length - UsersOffset);
    ++BlocksAlive;
    return new (reinterpret_cast<void*>(Base)) TUserArena(Length);
}

TUserC* TUserArena::Emplace(std::size_t Index, const uint8_t* Record) {
    TUserRec Rec;
    std::memcpy(&Rec, Record, sizeof Rec);
    TArenaUser* Place = UserAt(this, Index);
    PELORIN_UNPOISON(Place, sizeof(TArenaUser));
    ++FHolds;
    return new (Place) TArenaUser(Rec);
}

TUserC* TUserArena::At(std::size_t Index) {
    return UserAt(this, Index);
}

void TUserArena::Release() {
    Drop();
}

int TUserArena::LiveBlocks() {
    return BlocksAlive;
}

void TUserArena::Drop() {
    if (--FHolds != 0)
        return;
    const std::size_t Length = FLength;
    this->~TUserArena();
    PELORIN_UNPOISON(this, Length);
    ::munmap(this, Length);
    --BlocksAlive;
}

TUserArena* TUserArena::Of(const void* User) {
    return reinterpret_cast<TUserArena*>(reinterpret_cast<uintptr_t>(User) & ~(BlockAlign - 1));
}
