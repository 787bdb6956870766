#pragma once
// The file-system rights of an ordinary user (nobody, group nogroup) for a block, where the tests
// run as root: root passes every permission check, an ordinary user meets them, and the files
// it makes are nobody's.
#include <sys/fsuid.h>
#include <unistd.h>

struct AsOrdinaryUser {
    static constexpr uid_t kUser = 65534;
    static constexpr gid_t kGroup = 65534;
    AsOrdinaryUser()
    {
        if (::geteuid() == 0) ::setfsgid(kGroup), ::setfsgid(kGroup), ::setfsuid(kUser), ::setfsuid(kUser);
    }
    ~AsOrdinaryUser()
    {
        if (::geteuid() == 0) ::setfsuid(0), ::setfsuid(0), ::setfsgid(0), ::setfsgid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
};
