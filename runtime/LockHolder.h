#pragma once
// Who holds the writers' lock on a file, where the system can tell: for the message that tells a
// second writer whom he is waiting for.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct TLockHolder {
    pid_t Pid = 0;
    std::string Command; // the process's name (/proc/PID/comm)
    uid_t Uid = 0;       // the owner of the process
};

// The processes that hold a lock covering byte Offset of the file at Path. /proc/locks names the
// process of a POSIX lock; an open-file-description lock, such as the user file's writers take,
// names none there, so the open files of every process this one may look into
// (/proc/PID/fdinfo) are searched for it. Empty when the system does not tell: no /proc, or a
// holder that is not ours to see.
std::vector<TLockHolder> FindLockHolders(const std::string& Path, int64_t Offset);
