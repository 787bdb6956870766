#pragma once
// The file-system rights of an ordinary user (nobody) for a block, where the tests run as root:
// root passes every permission check, an ordinary user meets them.
#include <sys/fsuid.h>
#include <unistd.h>

struct AsOrdinaryUser {
    AsOrdinaryUser()
    {
        if (::geteuid() == 0) ::setfsuid(65534), ::setfsuid(65534);
    }
    ~AsOrdinaryUser()
    {
        if (::geteuid() == 0) ::setfsuid(0), ::setfsuid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
};
