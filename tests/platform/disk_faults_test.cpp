// Files on a disk that fails: every write is all or nothing, and says why.
#include "platform/fakes.h"
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

struct TempDir {
    fs::path path;
    TempDir()
    {
        path = fs::temp_directory_path() / ("tw_disk_" + std::to_string(::getpid()) + "_" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), fs::directory_iterator())); }
};

std::string slurp(const std::string& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct InstalledDisk {
    FaultyDisk disk;
    InstalledDisk() { setDisk(&disk); }
    ~InstalledDisk() { setDisk(nullptr); }
};

}  // namespace

TEST(DiskFaults, AWriteThatFailsAnywhereKeepsTheOldFileAndLeavesNoTemporary)
{
    TempDir dir;
    const std::string p = dir.file("run.ctd");
    const std::string old = "old file\r\nkept byte for byte\r\n";
    ASSERT_TRUE(writeFileAtomic(p, old).ok);
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes += std::to_string(i * 0.25) + "\r\n";

    for (const int error : {EIO, ENOSPC}) {
        for (std::size_t n = 0; n < bytes.size(); n += 97) {
            SCOPED_TRACE(std::string(std::strerror(error)) + " after " + std::to_string(n) + " bytes");
            InstalledDisk d;
            d.disk.failWritesAfter(n, error);
            const WriteResult r = writeFileAtomic(p, bytes);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error, std::strerror(error));
            EXPECT_EQ(d.disk.written, n);
            EXPECT_EQ(slurp(p), old);
            EXPECT_EQ(dir.entries(), 1u);
        }
    }
    // The whole file fits: written.
    InstalledDisk d;
    d.disk.failWritesAfter(bytes.size());
    EXPECT_TRUE(writeFileAtomic(p, bytes).ok);
    EXPECT_EQ(slurp(p), bytes);
}

TEST(DiskFaults, FailuresAtTheEndOfAWriteToo)
{
    TempDir dir;
    const std::string p = dir.file("series.cts");
    ASSERT_TRUE(writeFileAtomic(p, "old").ok);
    struct Case {
        const char* name;
        int FaultyDisk::*field;
        int error;
    };
    for (const Case& c : {Case{"sync", &FaultyDisk::syncError, ENOSPC}, Case{"rename", &FaultyDisk::renameError, EACCES}}) {
        SCOPED_TRACE(c.name);
        InstalledDisk d;
        d.disk.*c.field = c.error;
        const WriteResult r = writeFileAtomic(p, "new contents");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, std::strerror(c.error));
        EXPECT_EQ(slurp(p), "old");
        EXPECT_EQ(dir.entries(), 1u);
    }
    // A new file that cannot be written is not created at all.
    InstalledDisk d;
    d.disk.failWritesAfter(3, ENOSPC);
    EXPECT_FALSE(writeTextLines(dir.file("new.txt"), {"line one", "line two"}).ok);
    EXPECT_FALSE(fs::exists(dir.file("new.txt")));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(DiskFaults, ReadingRefusesWhatIsNoRegularFileOrCannotBeRead)
{
    TempDir dir;
    const std::string locked = dir.file("locked.ctd");
    ASSERT_TRUE(writeFileAtomic(locked, "30\r\n").ok);
    const std::string pipe = dir.file("pipe.ctd");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    InstalledDisk d;
    d.disk.unreadable[locked] = EACCES;  // as root the mode bits alone would not stop the read
    struct Case {
        std::string path;
        int code;
        std::string error;
    };
    for (const Case& c : {Case{locked, EACCES, "Permission denied"}, Case{dir.file("gone.ctd"), ENOENT, "No such file or directory"},
                          Case{dir.path.string(), EISDIR, "Is a directory"}, Case{pipe, EINVAL, "Not a regular file"},
                          Case{"/dev/zero", EINVAL, "Not a regular file"}}) {
        SCOPED_TRACE(c.path);
        std::string bytes = "stale", error;
        int code = 0;
        EXPECT_FALSE(readFileBytes(c.path, bytes, error, &code));  // returns: a pipe does not block
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(bytes.empty());
        EXPECT_FALSE(readTextFile(c.path).ok);
    }
}
