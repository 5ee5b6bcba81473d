#pragma once
// The real file system with a hook before each operation, put in place for the life of the
// object: a test acts at an exact moment of an open or a save (swaps a directory, refuses a
// rename, ends the process) and counts the operations.

#include "runtime/FileSystem.h"

#include <cerrno>
#include <functional>
#include <string_view>
#include <type_traits>

class TInterceptingFs final : public TFileSystem {
public:
    // Called before each operation with its name ("RenameAt") and the name it works on (the
    // target of a link or a rename); a result other than 0 fails the operation with that errno.
    using THook = std::function<int(std::string_view Op, std::string_view Name)>;

    explicit TInterceptingFs(THook Hook) : FReal(Fs()), FHook(std::move(Hook)) {
        UseFileSystem(this);
    }
    ~TInterceptingFs() override { UseFileSystem(nullptr); }
    TInterceptingFs(const TInterceptingFs&) = delete;
    TInterceptingFs& operator=(const TInterceptingFs&) = delete;

    int Operations() const { return FCount; }

    int Open(const char* Path, int Flags, mode_t Mode) override {
        return Pass("Open", Path, [&] { return FReal.Open(Path, Flags, Mode); });
    }
    int OpenAt(int Dir, const char* Name, int Flags, mode_t Mode) override {
        return Pass("OpenAt", Name, [&] { return FReal.OpenAt(Dir, Name, Flags, Mode); });
    }
    int Close(int Fd) override { return FReal.Close(Fd); } // always: descriptors never leak
    ssize_t PRead(int Fd, void* Buf, std::size_t Len, off_t Offset) override {
        return Pass("PRead", "", [&] { return FReal.PRead(Fd, Buf, Len, Offset); });
    }
    ssize_t PWrite(int Fd, const void* Buf, std::size_t Len, off_t Offset) override {
        return Pass("PWrite", "", [&] { return FReal.PWrite(Fd, Buf, Len, Offset); });
    }
    int Truncate(int Fd, off_t Length) override {
        return Pass("Truncate", "", [&] { return FReal.Truncate(Fd, Length); });
    }
    int Reserve(int Fd, off_t Offset, off_t Len) override {
        return Pass("Reserve", "", [&] { return FReal.Reserve(Fd, Offset, Len); });
    }
    int Sync(int Fd) override {
        return Pass("Sync", "", [&] { return FReal.Sync(Fd); });
    }
    void StartWriteBack(int Fd, off_t Offset, off_t Len) override {
        FReal.StartWriteBack(Fd, Offset, Len);
    }
    int Stat(const char* Path, struct stat* St) override {
        return Pass("Stat", Path, [&] { return FReal.Stat(Path, St); });
    }
    int FStat(int Fd, struct stat* St) override {
        return Pass("FStat", "", [&] { return FReal.FStat(Fd, St); });
    }
    int FStatAt(int Dir, const char* Name, struct stat* St) override {
        return Pass("FStatAt", Name, [&] { return FReal.FStatAt(Dir, Name, St); });
    }
    bool RealPath(const char* Path, std::string& Resolved) override {
        return Pass("RealPath", Path, [&] { return FReal.RealPath(Path, Resolved) ? 0 : -1; }) == 0;
    }
    int LinkAt(int FromDir, const char* From, int ToDir, const char* To) override {
        return Pass("LinkAt", To, [&] { return FReal.LinkAt(FromDir, From, ToDir, To); });
    }
    int RenameAt(int FromDir, const char* From, int ToDir, const char* To) override {
        return Pass("RenameAt", To, [&] { return FReal.RenameAt(FromDir, From, ToDir, To); });
    }
    int UnlinkAt(int Dir, const char* Name) override {
        return Pass("UnlinkAt", Name, [&] { return FReal.UnlinkAt(Dir, Name); });
    }
    int ReadDirectory(int Dir, std::vector<std::string>& Names) override {
        return Pass("ReadDirectory", "", [&] { return FReal.ReadDirectory(Dir, Names); });
    }
    int LockByte(int Fd, off_t Offset) override {
        return Pass("LockByte", "", [&] { return FReal.LockByte(Fd, Offset); });
    }
    int FChown(int Fd, uid_t Owner, gid_t Group) override {
        return Pass("FChown", "", [&] { return FReal.FChown(Fd, Owner, Group); });
    }
    int FChmod(int Fd, mode_t Mode) override {
        return Pass("FChmod", "", [&] { return FReal.FChmod(Fd, Mode); });
    }
    ssize_t FListXattr(int Fd, char* List, std::size_t Size) override {
        return Pass("FListXattr", "", [&] { return FReal.FListXattr(Fd, List, Size); });
    }
    ssize_t FGetXattr(int Fd, const char* Name, void* Value, std::size_t Size) override {
        return Pass("FGetXattr", Name, [&] { return FReal.FGetXattr(Fd, Name, Value, Size); });
    }
    int FSetXattr(int Fd, const char* Name, const void* Value, std::size_t Size) override {
        return Pass("FSetXattr", Name, [&] { return FReal.FSetXattr(Fd, Name, Value, Size); });
    }

private:
    template <class TCall>
    std::invoke_result_t<TCall> Pass(std::string_view Op, std::string_view Name, TCall Call) {
        ++FCount;
        if (const int Err = FHook ? FHook(Op, Name) : 0; Err != 0) {
            errno = Err;
            return static_cast<std::invoke_result_t<TCall>>(-1);
        }
        return Call();
    }

    TFileSystem& FReal;
    THook FHook;
    int FCount = 0;
};
