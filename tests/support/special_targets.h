#pragma once
// Save targets that are no plain file, made in a test's own folder: a FIFO and a link to it, and
// a write-protected file (no write bit, mode 0444) and a link to it, which a save must refuse and
// leave as they are, whoever runs it (root included); and links to a file, a dangling link and a
// chain of links, through which a save writes the file the last link names. And files of two
// owners, which a save replaces only as the user who may write them, keeping their owner.
#include "tests/support/ordinary_user.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace special_targets {

namespace fs = std::filesystem;

inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Targets {
    // `folder` must exist; the names end in `extension` (".ctd", ".txt", ...).
    Targets(const std::string& folder, const std::string& extension)
    {
        const fs::path dir(folder);
        fs::create_directories(dir / "elsewhere");
        fifo = (dir / ("pipe" + extension)).string();
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        linkToFifo = (dir / ("to_pipe" + extension)).string();
        fs::create_symlink(fifo, linkToFifo);
        linked = (dir / "elsewhere" / ("real" + extension)).string();
        std::ofstream(linked, std::ios::binary) << kOld;
        link = (dir / ("link" + extension)).string();
        fs::create_symlink("elsewhere/real" + extension, link);
        chain = (dir / ("chain" + extension)).string();
        fs::create_symlink(link, chain);
        dangling = (dir / ("dangling" + extension)).string();
        danglingTarget = (dir / "elsewhere" / ("made" + extension)).string();
        fs::create_symlink(danglingTarget, dangling);
        writeProtected = (dir / ("protected" + extension)).string();
        std::ofstream(writeProtected, std::ios::binary) << kOld;
        EXPECT_EQ(::chmod(writeProtected.c_str(), 0444), 0);
        linkToWriteProtected = (dir / ("to_protected" + extension)).string();
        fs::create_symlink("protected" + extension, linkToWriteProtected);
    }

    // The refused targets and the second line of the writer's message for each.
    struct Refused {
        std::string path, reason;
    };
    std::vector<Refused> refused() const
    {
        const std::string fifoReason = "a named pipe (FIFO), not a regular file; nothing was written.";
        return {{fifo, "It is " + fifoReason},
                {linkToFifo, "The link leads to " + fifo + ", " + fifoReason},
                {writeProtected, "The file is write-protected; nothing was written."},
                {linkToWriteProtected, "The link leads to " + writeProtected + ", a write-protected file; nothing was written."}};
    }

    // After a refused save: the FIFO is still one, the link still leads to it, the write-protected
    // file keeps its bytes and its mode.
    void expectSpecialFilesKept() const
    {
        EXPECT_TRUE(fs::is_fifo(fifo));
        EXPECT_TRUE(fs::is_symlink(linkToFifo));
        EXPECT_TRUE(fs::is_fifo(linkToFifo));
        EXPECT_EQ(slurp(writeProtected), kOld);
        struct stat st {};
        EXPECT_EQ(::stat(writeProtected.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0444u);
        EXPECT_TRUE(fs::is_symlink(linkToWriteProtected));
    }
    // After a save through `through`: the link stays and its file holds what was written.
    void expectWrittenThrough(const std::string& through, const std::string& file) const
    {
        EXPECT_TRUE(fs::is_symlink(through)) << through;
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
        EXPECT_NE(slurp(file), kOld) << file;
        EXPECT_FALSE(slurp(file).empty()) << file;
    }
    // No temporary file lies anywhere in the folder.
    static void expectNoTemporary(const std::string& folder)
    {
        for (const auto& e : fs::recursive_directory_iterator(folder))
            EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
    }

    static constexpr const char* kOld = "the old file";
    std::string fifo, linkToFifo, linked, link, chain, dangling, danglingTarget, writeProtected, linkToWriteProtected;
};

// Lets an ordinary user reach `folder`: the search bit for others on it and on every folder above
// it up to the temporary folder, all of them the test's own; a folder elsewhere is left alone.
inline void letOthersPass(const std::string& folder)
{
    const fs::path top = fs::temp_directory_path().lexically_normal();
    fs::path p = fs::absolute(folder).lexically_normal();
    if (p.string().rfind(top.string() + "/", 0) != 0) return;
    for (; p != top && p != p.root_path(); p = p.parent_path())
        fs::permissions(p, fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
}

// In `folder`, made the ordinary user's own (AsOrdinaryUser): a file of root's (mode 0644), which
// that user may not replace though the folder is theirs, and a file of that user's (group 12345,
// mode 04640), which root replaces keeping its owner, group and mode. Tests run as root to make
// them; `available()` says whether they do.
struct OwnedTargets {
    static bool available() { return ::geteuid() == 0; }
    explicit OwnedTargets(const std::string& folder, const std::string& extension)
    {
        letOthersPass(folder);
        EXPECT_EQ(::chown(folder.c_str(), AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup), 0);
        roots = (fs::path(folder) / ("roots" + extension)).string();
        std::ofstream(roots, std::ios::binary) << Targets::kOld;
        EXPECT_EQ(::chmod(roots.c_str(), 0644), 0);
        users = (fs::path(folder) / ("users" + extension)).string();
        std::ofstream(users, std::ios::binary) << Targets::kOld;
        EXPECT_EQ(::chown(users.c_str(), AsOrdinaryUser::kUser, kUsersGroup), 0);
        EXPECT_EQ(::chmod(users.c_str(), kUsersMode), 0);  // after the chown, which clears set-id bits
    }
    // The second line of a writer's message for root's file, saved by the ordinary user.
    static constexpr const char* kRefused = "The file is write-protected; nothing was written.";

    // Root's file after the ordinary user's save: its bytes, owner and mode.
    void expectRootsKept() const
    {
        EXPECT_EQ(slurp(roots), Targets::kOld);
        expectOwned(roots, 0, 0, 0644);
    }
    // The user's file after root's save: written, and still the user's, with its group and mode.
    void expectUsersReplaced() const
    {
        EXPECT_NE(slurp(users), Targets::kOld);
        EXPECT_FALSE(slurp(users).empty());
        expectOwned(users, AsOrdinaryUser::kUser, kUsersGroup, kUsersMode);
    }
    static void expectOwned(const std::string& path, uid_t uid, gid_t gid, mode_t mode)
    {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_uid, uid) << path;
        EXPECT_EQ(st.st_gid, gid) << path;
        EXPECT_EQ(st.st_mode & 07777, mode) << path;
    }

    static constexpr gid_t kUsersGroup = 12345;  // neither root's group nor the user's own
    static constexpr mode_t kUsersMode = 04640;  // a set-id bit, which a chown after the mode would clear
    std::string roots, users;
};

}  // namespace special_targets
