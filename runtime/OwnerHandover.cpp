#include "runtime/OwnerHandover.h"

#include "runtime/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <endian.h>
#include <grp.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <optional>
#include <pwd.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// Whether User belongs to Group, as his primary group or as a further one.
bool IsMember(uid_t User, gid_t Group) {
    const long BufLen = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> Buf(static_cast<std::size_t>(BufLen > 0 ? BufLen : 16384));
    passwd Pw{};
    passwd* Found = nullptr;
    while (::getpwuid_r(User, &Pw, Buf.data(), Buf.size(), &Found) == ERANGE)
        Buf.resize(Buf.size() * 2);
    if (Found == nullptr)
        return false;
    // The list starts with the primary group.
    std::vector<gid_t> Groups(64);
    for (;;) {
        int Count = static_cast<int>(Groups.size());
        if (::getgrouplist(Pw.pw_name, Pw.pw_gid, Groups.data(), &Count) >= 0) {
            Groups.resize(static_cast<std::size_t>(Count));
            return std::find(Groups.begin(), Groups.end(), Group) != Groups.end();
        }
        if (Count <= static_cast<int>(Groups.size()))
            return false;
        Groups.resize(static_cast<std::size_t>(Count));
    }
}

// The owning group's permissions after the mask, from the file's access control list; none when
// the list is malformed or has an entry of the owner's own, which would decide his access once he
// is no longer the owner (kept conservative: such a file is written in place).
std::optional<unsigned> GroupAccessFromAcl(const std::vector<char>& Acl, uid_t Owner) {
    posix_acl_xattr_header Header{};
    if (Acl.size() < sizeof Header || (Acl.size() - sizeof Header) % sizeof(posix_acl_xattr_entry))
        return std::nullopt;
    std::memcpy(&Header, Acl.data(), sizeof Header);
    if (le32toh(Header.a_version) != POSIX_ACL_XATTR_VERSION)
        return std::nullopt;
    unsigned Mask = 7, GroupPerm = 0;
    for (std::size_t At = sizeof Header; At < Acl.size(); At += sizeof(posix_acl_xattr_entry)) {
        posix_acl_xattr_entry Entry{};
        std::memcpy(&Entry, Acl.data() + At, sizeof Entry);
        const unsigned Perm = le16toh(Entry.e_perm) & 7;
        switch (le16toh(Entry.e_tag)) {
        case ACL_USER:
            if (le32toh(Entry.e_id) == Owner)
                return std::nullopt;
            break;
        case ACL_GROUP_OBJ:
            GroupPerm = Perm;
            break;
        case ACL_MASK:
            Mask = Perm;
            break;
        default:
            break;
        }
    }
    return GroupPerm & Mask;
}

} // namespace

bool OwnerMayBeHandedOver(int Fd, const struct stat& Old) {
    if ((Old.st_mode & 07000) != 0)
        return false;
    if (Old.st_uid == 0)
        return true;
    const unsigned OwnerPerm = (Old.st_mode >> 6) & 7;
    unsigned GroupPerm = (Old.st_mode >> 3) & 7;

    constexpr const char* AclName = "system.posix_acl_access";
    const ssize_t AclLen = Fs().FGetXattr(Fd, AclName, nullptr, 0);
    if (AclLen >= 0) {
        std::vector<char> Acl(static_cast<std::size_t>(AclLen));
        const ssize_t Got = Fs().FGetXattr(Fd, AclName, Acl.data(), Acl.size());
        if (Got < 0)
            return false;
        Acl.resize(static_cast<std::size_t>(Got));
        const std::optional<unsigned> Access = GroupAccessFromAcl(Acl, Old.st_uid);
        if (!Access)
            return false;
        GroupPerm = *Access;
    } else if (errno != ENODATA && errno != ENOTSUP) {
        return false;
    }
    return (GroupPerm & OwnerPerm) == OwnerPerm && IsMember(Old.st_uid, Old.st_gid);
}
