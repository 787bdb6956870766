#include "platform/fakes.h"
#include "platform/message.h"
#include "platform/textfile.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/special_targets.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

struct TempDir {
    fs::path path;
    TempDir()
    {
        path = fs::temp_directory_path() / ("tw_textfile_" + std::to_string(::getpid()) + "_" +
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

// A disk that fails, put in place of the real one for the block.
struct InstalledDisk {
    FaultyDisk disk;
    InstalledDisk() { setDisk(&disk); }
    ~InstalledDisk() { setDisk(nullptr); }
};

}  // namespace

TEST(TextDecoding, Utf8KeptWindows1252Converted)
{
    struct Case {
        std::string bytes, utf8;
    };
    const Case cases[] = {
        {"plain ascii", "plain ascii"},
        {"\xEF\xBB\xBF" "bom", "bom"},
        {"Temperatur \xC2\xB0" "C", "Temperatur \xC2\xB0" "C"},  // valid UTF-8 stays
        {"Luft \xB0" "C, \x80, m\xB2", "Luft \xC2\xB0" "C, \xE2\x82\xAC, m\xC2\xB2"},  // 1252
        {"\x81", "\xC2\x81"},                                      // unassigned byte survives
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong: not UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(decodeText(c.bytes), c.utf8) << c.bytes;
}

TEST(TextEncoding, Windows1252WithQuestionMarks)
{
    EXPECT_EQ(encodeWindows1252("m\xC2\xB2 \xE2\x82\xAC \xC2\xB0"), "m\xB2 \x80 \xB0");
    EXPECT_EQ(encodeWindows1252("\xE4\xB8\xAD" "x"), "?x");  // not in the code page
    EXPECT_EQ(encodeWindows1252("\xFF" "a"), "?a");          // stray byte
    // Round trip of every code page byte.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(encodeWindows1252(decodeText(all)), all);
}

TEST(TextEncoding, WhatTheReadersTakeBackAsTheSameText)
{
    // Windows-1252 as long as it holds the text and the readers take it so; UTF-8 where it
    // holds no such letter, or where its bytes would be read as UTF-8 and turn into other text
    // (a typed "Ã¼" into "ü"). Every text comes back as it was.
    struct Case {
        const char* name;
        std::string text, bytes;
    };
    const std::string mojibake = "Project \xC3\x83\xC2\xBC";
    const Case cases[] = {
        {"Windows-1252", "M\xC3\xBCller, 20 \xC2\xB0" "C \xE2\x82\xAC", "M\xFCller, 20 \xB0" "C \x80"},
        {"Greek", "\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE", "\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE"},
        {"CJK", "\xE8\xBD\xA6 \xE4\xB8\xAD", "\xE8\xBD\xA6 \xE4\xB8\xAD"},
        {"both in one", "M\xC3\xBCller \xE4\xB8\xAD", "M\xC3\xBCller \xE4\xB8\xAD"},
        {"bytes that read as UTF-8", mojibake, mojibake},
        {"a text that begins like a mark", "\xEF\xBB\xBF" "A\xE4\xB8\xAD", "\xEF\xBB\xBF\xEF\xBB\xBF" "A\xE4\xB8\xAD"},
        {"Windows-1252 letters that begin like a mark", "\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xA4", "\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xA4"},
        {"plain ASCII", "Coast A", "Coast A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encodeForReaders(c.text), c.bytes);
        EXPECT_EQ(decodeText(encodeForReaders(c.text)), c.text);
        EXPECT_TRUE(keptByReaders(c.text));
    }
    EXPECT_EQ(decodeText(encodeWindows1252(mojibake)), "Project \xC3\xBC");
    EXPECT_FALSE(keptByReaders("M\xFCller"));  // no UTF-8 text: no file gives it back
}

TEST(TextEncoding, AQuotedStartIsCutBetweenLetters)
{
    EXPECT_EQ(quotedStart("abc", 3), "\"abc\"");
    EXPECT_EQ(quotedStart("abcd", 3), "\"abc...\"");
    // "ü" is one letter of two bytes: a cut never falls between them.
    EXPECT_EQ(quotedStart("M\xC3\xBCller", 2), "\"M...\"");
    EXPECT_EQ(quotedStart("M\xC3\xBCller", 3), "\"M\xC3\xBC...\"");
}

TEST(TextLines, SplitAtCrLfOrLf)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\rb\n", {"a\rb"}},  // a lone CR is no line end
        {"\n", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitLines(c.text), c.lines) << c.text;
    std::string_view none;  // past the end: no more lines, and its null data is never read
    EXPECT_EQ(takeLine(none), "");
    std::string_view rest = "a\r";  // a last line loses its CR as any other
    EXPECT_EQ(takeLine(rest), "a");
    EXPECT_TRUE(rest.empty());
}

TEST(TextFiles, WriteThenReadBack)
{
    TempDir dir;
    const std::string p = dir.file("notes.txt");
    ASSERT_TRUE(writeTextLines(p, {"Air temperature, \xC2\xB0" "C", "", "12.5"}).ok);
    EXPECT_EQ(slurp(p), "Air temperature, \xB0" "C\r\n\r\n12.5\r\n");
    const TextReadResult r = readTextFile(p);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"Air temperature, \xC2\xB0" "C", "", "12.5"}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(TextFiles, FailedWritesLeaveTheOldFileAndSayWhy)
{
    TempDir dir;
    const std::string p = dir.file("data.ctd");
    ASSERT_TRUE(writeFileAtomic(p, "old").ok);

    const WriteResult missingFolder = writeFileAtomic(dir.file("nowhere/data.ctd"), "x");
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_FALSE(missingFolder.error.empty());

    fs::create_directory(dir.file("folder"));
    const WriteResult onFolder = writeFileAtomic(dir.file("folder"), "x");
    EXPECT_FALSE(onFolder.ok);
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_EQ(slurp(p), "old");
}

TEST(TextFiles, ReplacingKeepsPermissions)
{
    TempDir dir;
    const std::string p = dir.file("kept.txt");
    ASSERT_TRUE(writeFileAtomic(p, "1").ok);
    ::chmod(p.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomic(p, "2").ok);
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(slurp(p), "2");
}

// A disk that records where each rename goes, to see where the temporary file lay: the folder
// of the descriptor and the two names in it.
struct RecordingDisk : Disk {
    struct Rename {
        std::string folder, from, to;
    };
    std::vector<Rename> renames;
    int failRename = 0;
    int rename(int folder, const char* from, const char* to) override
    {
        renames.push_back({fs::read_symlink("/proc/self/fd/" + std::to_string(folder)).string(), from, to});
        if (failRename) {
            errno = failRename;
            return -1;
        }
        return Disk::rename(folder, from, to);
    }
};

TEST(TextFiles, OnlyARegularFileIsEverReplaced)
{
    TempDir dir;
    const std::string fifo = dir.file("pipe.ctd"), socketPath = dir.file("socket.ctd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink(fifo, dir.file("to_pipe.ctd"));
    fs::create_symlink("folder", dir.file("to_folder.ctd"));
    fs::create_symlink("to_pipe.ctd", dir.file("to_link_to_pipe.ctd"));
    struct Case {
        std::string path, error;
        fs::file_type kept;
    };
    std::vector<Case> cases = {
        {fifo, "It is a named pipe (FIFO), not a regular file; nothing was written.", fs::file_type::fifo},
        {socketPath, "It is a socket, not a regular file; nothing was written.", fs::file_type::socket},
        {dir.file("folder"), "It is a folder, not a regular file; nothing was written.", fs::file_type::directory},
        {dir.file("to_pipe.ctd"), "The link leads to " + fifo + ", a named pipe (FIFO), not a regular file; nothing was written.",
         fs::file_type::fifo},
        {dir.file("to_link_to_pipe.ctd"),
         "The link leads to " + fifo + ", a named pipe (FIFO), not a regular file; nothing was written.", fs::file_type::fifo},
        {dir.file("to_folder.ctd"), "The link leads to " + dir.file("folder") + ", a folder, not a regular file; nothing was written.",
         fs::file_type::directory},
    };
    const std::size_t entries = dir.entries();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RecordingDisk recording;
        setDisk(&recording);
        const WriteResult r = writeTextLines(c.path, {"Coast"});
        setDisk(nullptr);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_TRUE(recording.renames.empty());
        EXPECT_EQ(fs::status(c.path).type(), c.kept);
        EXPECT_EQ(dir.entries(), entries);  // no temporary left behind
    }
    EXPECT_TRUE(fs::is_symlink(dir.file("to_pipe.ctd")));
    ::close(sock);
}

TEST(TextFiles, ADeviceIsNeverReplaced)
{
    TempDir dir;
    // A device node of its own, with the null device's numbers.
    const std::string device = dir.file("device.ctd");
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "this user may not make a device node (" << std::strerror(errno) << ")";
    const std::size_t entries = dir.entries();
    RecordingDisk recording;
    setDisk(&recording);
    const WriteResult r = writeTextLines(device, {"Coast"});
    setDisk(nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "It is a character device, not a regular file; nothing was written.");
    EXPECT_TRUE(recording.renames.empty());
    EXPECT_EQ(fs::status(device).type(), fs::file_type::character);
    EXPECT_EQ(dir.entries(), entries);
}

// A file without a write bit is the read-only attribute: no save replaces it, whoever saves (an
// ordinary user in a folder that takes new files, or root, who passes every access test), nor
// through a link; its bytes and mode stay, and no temporary is left.
TEST(TextFiles, AFileWithoutAWriteBitIsKeptWhoeverSaves)
{
    TempDir dir;
    ::chmod(dir.path.c_str(), 0777);  // the ordinary user may make files here
    const std::string kept = dir.file("kept.ctd");
    ASSERT_TRUE(writeFileAtomic(kept, "measured").ok);
    ::chmod(kept.c_str(), 0444);
    fs::create_directory(dir.path / "links");
    fs::create_symlink("../kept.ctd", dir.file("links/kept.ctd"));
    struct Case {
        const char* who;
        bool ordinary;
        std::string path, error;
    };
    const std::string viaLink = "The link leads to " + kept + ", a write-protected file; nothing was written.";
    for (const Case& c : {Case{"root", false, kept, "The file is write-protected; nothing was written."},
                          Case{"root, through a link", false, dir.file("links/kept.ctd"), viaLink},
                          Case{"an ordinary user", true, kept, "The file is write-protected; nothing was written."},
                          Case{"an ordinary user, through a link", true, dir.file("links/kept.ctd"), viaLink}}) {
        SCOPED_TRACE(c.who);
        WriteResult r;
        if (c.ordinary) {
            AsOrdinaryUser user;
            r = writeFileAtomic(c.path, "replaced");
        } else {
            r = writeFileAtomic(c.path, "replaced");
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(slurp(kept), "measured");
        struct stat st {};
        ASSERT_EQ(::stat(kept.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0444u);
        EXPECT_EQ(dir.entries(), 2u);
    }
    // A write bit for anyone is enough: the file is the user's to replace.
    ::chmod(kept.c_str(), 0644);
    EXPECT_TRUE(writeFileAtomic(kept, "replaced").ok);
    EXPECT_EQ(slurp(kept), "replaced");
}

// One rule for who may replace a file: a file this user may not write is write-protected for
// them, even in their own folder where the rename itself would pass; a file they may write but
// whose owner or group the new file could not keep is refused too, naming whose it is. Root
// replacing a user's file keeps its owner, group and mode. What is refused stays as it was.
TEST(TextFiles, AnotherUsersFileIsRefusedAndAReplacedFileKeepsItsOwner)
{
    if (!special_targets::OwnedTargets::available()) GTEST_SKIP() << "needs root to make files of two users";
    TempDir dir;
    const std::string folder = dir.file("users");
    fs::create_directory(folder);
    const special_targets::OwnedTargets owned(folder, ".ctd");
    const auto make = [&](const char* name, uid_t uid, gid_t gid, mode_t mode) {
        const std::string p = folder + "/" + name;
        std::ofstream(p) << "measured";
        EXPECT_EQ(::chown(p.c_str(), uid, gid), 0);
        EXPECT_EQ(::chmod(p.c_str(), mode), 0);
        return p;
    };
    const std::string shared = make("open.ctd", 0, 0, 0666);                           // root's, writable for all
    const std::string alien = make("alien.ctd", AsOrdinaryUser::kUser, 12345, 0664);  // the user's, of a group not theirs
    fs::create_symlink("roots.ctd", folder + "/to_roots.ctd");
    fs::create_symlink("open.ctd", folder + "/to_open.ctd");
    struct Case {
        const char* what;
        std::string path, kept, error;
        uid_t uid;
        gid_t gid;
        mode_t mode;
    };
    const std::string rootsOwn = "belongs to root and would become this user's if it were replaced; nothing was written.";
    const Case cases[] = {
        {"root's 0644 file", owned.roots, owned.roots, special_targets::OwnedTargets::kRefused, 0, 0, 0644},
        {"root's 0644 file, through a link", folder + "/to_roots.ctd", owned.roots,
         "The link leads to " + owned.roots + ", a write-protected file; nothing was written.", 0, 0, 0644},
        {"root's file writable for all", shared, shared, "The file " + rootsOwn, 0, 0, 0666},
        {"root's file writable for all, through a link", folder + "/to_open.ctd", shared,
         "The link leads to " + shared + ", which " + rootsOwn, 0, 0, 0666},
        {"the user's file of another group", alien, alien,
         "The file belongs to group 12345, a group this user is not in, and would lose that group if it were replaced; nothing was written.",
         AsOrdinaryUser::kUser, 12345, 0664},
    };
    const std::size_t entries = static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteResult r;
        {
            AsOrdinaryUser user;
            EXPECT_EQ(isWriteProtected(c.path), c.kept == owned.roots);
            r = writeFileAtomic(c.path, "replaced");
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_NE(slurp(c.kept), "replaced");
        special_targets::OwnedTargets::expectOwned(c.kept, c.uid, c.gid, c.mode);
        EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator())), entries);
    }
    owned.expectRootsKept();

    // The user replaces a file of their own: it stays theirs.
    const std::string own = make("own.ctd", AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup, 0600);
    {
        AsOrdinaryUser user;
        EXPECT_TRUE(writeFileAtomic(own, "replaced").ok);
    }
    EXPECT_EQ(slurp(own), "replaced");
    special_targets::OwnedTargets::expectOwned(own, AsOrdinaryUser::kUser, AsOrdinaryUser::kGroup, 0600);

    // Root replaces the user's files, that of the group not theirs too: owner, group and mode stay.
    EXPECT_FALSE(isWriteProtected(owned.users));
    const WriteResult r = writeFileAtomic(owned.users, "replaced by root");
    EXPECT_TRUE(r.ok) << r.error;
    owned.expectUsersReplaced();
    ASSERT_TRUE(writeFileAtomic(alien, "replaced by root").ok);
    special_targets::OwnedTargets::expectOwned(alien, AsOrdinaryUser::kUser, 12345, 0664);
}

// The target is checked again, on the folder's own descriptor, just before the rename: a name
// swapped for a link or a pipe while the file was written is not renamed over.
TEST(TextFiles, ATargetSwappedWhileItIsWrittenIsNotReplaced)
{
    TempDir dir;
    const std::string target = dir.file("run.ctd"), victim = dir.file("victim.ctd");
    ASSERT_TRUE(writeFileAtomic(victim, "another file").ok);
    struct Case {
        const char* swap;
        std::function<void()> make;
        std::string error;
        fs::file_type kept;
    };
    const Case cases[] = {
        {"a link", [&] { fs::create_symlink(victim, target); }, "It became a link while it was written; nothing was written.",
         fs::file_type::symlink},
        {"a named pipe", [&] { ::mkfifo(target.c_str(), 0600); }, "It is a named pipe (FIFO), not a regular file; nothing was written.",
         fs::file_type::fifo},
        {"a write-protected file", [&] { std::ofstream(target) << "locked"; ::chmod(target.c_str(), 0444); },
         "The file is write-protected; nothing was written.", fs::file_type::regular},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.swap);
        ASSERT_TRUE(writeFileAtomic(target, "old").ok);
        InstalledDisk d;
        d.disk.whileWriting = [&] {
            fs::remove(target);
            c.make();
        };
        const WriteResult r = writeFileAtomic(target, "new");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(slurp(victim), "another file");
        EXPECT_EQ(fs::symlink_status(target).type(), c.kept);  // what was swapped in stays
        EXPECT_EQ(dir.entries(), 2u);  // target and victim: no temporary
        fs::remove(target);
    }
}

// A temporary that cannot be made says in which folder; a link is named by where it leads, as
// the user reads a path.
TEST(TextFiles, MessagesNameTheFolderAndTheNormalisedTarget)
{
    TempDir dir;
    const WriteResult missing = writeFileAtomic(dir.file("missing/run.ctd"), "x");
    EXPECT_EQ(missing.error, "A temporary file can not be written in " + dir.file("missing") + ": No such file or directory");
    fs::create_directory(dir.path / "closed");
    ::chmod(dir.file("closed").c_str(), 0755);  // root's folder: an ordinary user makes nothing in it
    {
        AsOrdinaryUser user;
        const WriteResult denied = writeFileAtomic(dir.file("closed/run.ctd"), "x");
        EXPECT_EQ(denied.error, "A temporary file can not be written in " + dir.file("closed") + ": Permission denied");
    }
    fs::create_directories(dir.path / "data");
    fs::create_directories(dir.path / "links");
    ASSERT_EQ(::mkfifo(dir.file("data/p.ctd").c_str(), 0600), 0);
    fs::create_symlink("../data/p.ctd", dir.file("links/p.ctd"));
    EXPECT_EQ(writeFileAtomic(dir.file("links/p.ctd"), "x").error,
              "The link leads to " + dir.file("data/p.ctd") + ", a named pipe (FIFO), not a regular file; nothing was written.");
    EXPECT_EQ(writeTarget(dir.file("links/p.ctd")), dir.file("data/p.ctd"));
    EXPECT_EQ(writeTarget(dir.file("data/none.ctd")), dir.file("data/none.ctd"));
}

TEST(TextFiles, WritingThroughLinksWritesTheFileTheyName)
{
    TempDir dir;
    fs::create_directories(dir.path / "data");
    fs::create_directories(dir.path / "links");
    const std::string real = dir.file("data/real.ctd");
    ASSERT_TRUE(writeFileAtomic(real, "old").ok);
    const std::string link = dir.file("links/link.ctd");
    fs::create_symlink("../data/real.ctd", link);

    // Until the rename the file keeps its old content, and the temporary lies beside it.
    {
        RecordingDisk failing;
        failing.failRename = EIO;
        setDisk(&failing);
        EXPECT_FALSE(writeFileAtomic(link, "new").ok);
        setDisk(nullptr);
        ASSERT_EQ(failing.renames.size(), 1u);
        EXPECT_TRUE(fs::equivalent(failing.renames[0].folder, dir.path / "data"));
        EXPECT_EQ(failing.renames[0].from.rfind(".real.ctd.", 0), 0u) << failing.renames[0].from;
        EXPECT_EQ(failing.renames[0].to, "real.ctd");
        EXPECT_EQ(slurp(real), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "data"), fs::directory_iterator()), 1);
    }
    ASSERT_TRUE(writeFileAtomic(link, "new").ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(slurp(real), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "links"), fs::directory_iterator()), 1);

    // A chain of links, relative and absolute: the last one's file is written, every link stays.
    const std::string first = dir.file("first.ctd"), second = dir.file("links/second.ctd");
    fs::create_symlink(second, first);
    fs::create_symlink("link.ctd", second);
    ASSERT_TRUE(writeFileAtomic(first, "chain").ok);
    EXPECT_TRUE(fs::is_symlink(first) && fs::is_symlink(second) && fs::is_symlink(link));
    EXPECT_EQ(slurp(real), "chain");

    // A dangling link: the file it names is created, and the link then leads to it.
    const std::string dangling = dir.file("dangling.ctd");
    fs::create_symlink("data/made.ctd", dangling);
    ASSERT_TRUE(writeFileAtomic(dangling, "made").ok);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(slurp(dir.file("data/made.ctd")), "made");

    // A loop of links is refused.
    fs::create_symlink("loop_b.ctd", dir.file("loop_a.ctd"));
    fs::create_symlink("loop_a.ctd", dir.file("loop_b.ctd"));
    const WriteResult loop = writeFileAtomic(dir.file("loop_a.ctd"), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_EQ(loop.error, std::strerror(ELOOP));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop_a.ctd")));
}

// A file read only as far as its reader needs: so many lines, judged as they come; the rest is
// neither read nor judged. A line longer than any of these files holds is refused wherever it
// begins, counted whole across the steps of the read.
TEST(PrefixReading, AsManyLinesAsAskedForAndNoMore)
{
    TempDir dir;
    const std::string p = dir.file("run.ctd");
    std::ofstream(p, std::ios::binary) << "a\r\nb\nc\r\n" << std::string(5, '\0');
    PrefixReader r(p);
    ASSERT_TRUE(r.readLines(2));
    EXPECT_EQ(r.bytes(), "a\r\nb\n");
    ASSERT_TRUE(r.readLines(3));
    EXPECT_EQ(r.bytes(), "a\r\nb\nc\r\n");  // the NUL bytes after it are not looked at
    EXPECT_FALSE(r.atEnd());
    EXPECT_FALSE(r.readLines(4));
    EXPECT_EQ(r.refusal(), "Line 4 holds a NUL byte: this is no text file.");

    struct Case {
        const char* name;
        std::string bytes;
        long long lines;  // < 0: the whole file
        std::string refusal;
    };
    const std::string tooLong = "is longer than 16 MB, longer than any line of a data file or series.";
    const std::string longLine(kMaxLineBytes + 1, 'x');
    const Case cases[] = {
        {"a long line after short ones, read line by line", "1\n2\n" + longLine + "\n", 5, "Line 3 " + tooLong},
        {"the same, read to its end", "1\n2\n" + longLine + "\n", -1, "Line 3 " + tooLong},
        {"a line just short enough", "1\n" + longLine.substr(1) + "\n3\n", -1, ""},
        {"CR alone, one long line", std::string(kMaxLineBytes, 'x') + "\r" + std::string(10, 'y'), -1,
         "The lines of the file end in CR alone; only CR LF and LF end a line."},
        {"CR alone, a short file", "1\r2\r3\r", -1, "The lines of the file end in CR alone; only CR LF and LF end a line."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(p, std::ios::binary | std::ios::trunc) << c.bytes;
        PrefixReader read(p);
        const bool ok = read.readLines(c.lines < 0 ? std::numeric_limits<long long>::max() : c.lines);
        EXPECT_EQ(ok, c.refusal.empty());
        EXPECT_EQ(read.refusal(), c.refusal);
        if (ok) {
            EXPECT_EQ(read.bytes().size(), c.bytes.size());
        }
    }
    // The whole file, up to a bound.
    std::ofstream(p, std::ios::binary | std::ios::trunc) << "2\r\n3\r\n" << std::string(2u << 20, 'c');
    PrefixReader small(p);
    EXPECT_FALSE(small.readAll(1u << 20, "a series file"));
    EXPECT_EQ(small.refusal(), "The file is larger than 1 MB, more than a series file holds.");
    PrefixReader enough(p);
    EXPECT_TRUE(enough.readAll(4u << 20, "a series file"));
    EXPECT_TRUE(enough.atEnd());
    EXPECT_EQ(enough.bytes().size(), (2u << 20) + 6);
}

TEST(TextFiles, ReadingMissingOrFolderFails)
{
    TempDir dir;
    const TextReadResult missing = readTextFile(dir.file("absent.ctd"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "No such file or directory");
    EXPECT_FALSE(readTextFile(dir.path.string()).ok);
}

TEST(FileState, StampsProtectionAndProbes)
{
    TempDir dir;
    const std::string p = dir.file("run.ctd");
    EXPECT_FALSE(fileStamp(p).exists);
    EXPECT_FALSE(isWriteProtected(p));  // a missing file can be created
    ASSERT_TRUE(writeFileAtomic(p, "12").ok);
    const FileStamp first = fileStamp(p);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first.size, 2);
    EXPECT_EQ(fileStamp(p), first);
    ASSERT_TRUE(writeFileAtomic(p, "123").ok);
    EXPECT_NE(fileStamp(p), first);

    // No write bit at all is the read-only attribute, whoever runs the program.
    ::chmod(p.c_str(), 0444);
    EXPECT_TRUE(isWriteProtected(p));
    ::chmod(p.c_str(), 0644);
    EXPECT_FALSE(isWriteProtected(p));

    // The folder probe leaves what is there alone and nothing behind.
    const std::string kept = dir.file("Test.txt");
    ASSERT_TRUE(writeFileAtomic(kept, "mine").ok);
    EXPECT_TRUE(folderAcceptsNewFile(dir.path.string()));
    EXPECT_TRUE(folderAcceptsNewFile(dir.path.string() + "/"));
    EXPECT_EQ(slurp(kept), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);
    EXPECT_FALSE(folderAcceptsNewFile(dir.file("missing")));
    EXPECT_FALSE(folderAcceptsNewFile(p));
    EXPECT_FALSE(folderAcceptsNewFile(""));

    // One file under two names, through a link or a hard link; a missing file is no file.
    const std::string soft = dir.file("soft.ctd"), hard = dir.file("hard.ctd");
    ASSERT_EQ(::symlink(p.c_str(), soft.c_str()), 0);
    ASSERT_EQ(::link(p.c_str(), hard.c_str()), 0);
    EXPECT_TRUE(sameFile(p, soft));
    EXPECT_TRUE(sameFile(hard, soft));
    EXPECT_FALSE(sameFile(p, kept));
    EXPECT_FALSE(sameFile(dir.file("missing"), dir.file("missing")));
}

TEST(MessageKinds, IconButtonsAndDefault)
{
    struct Case {
        Message message;
        Icon icon;
        Buttons buttons;
        int defaultButton;
    };
    const Case cases[] = {
        {critical("text", "CTD-Error"), Icon::Critical, Buttons::Ok, 1},
        {information("text", "CTD-Error"), Icon::Information, Buttons::Ok, 1},
        {exclamation("text", "CTD-Error"), Icon::Exclamation, Buttons::Ok, 1},
        {plain("text", "CTD-Error"), Icon::None, Buttons::Ok, 1},
        {question("text", "CTD-Error", Buttons::YesNoCancel), Icon::Question, Buttons::YesNoCancel, 1},
        {withButtons(exclamation("text", "CTD-Error"), Buttons::YesNo, 2), Icon::Exclamation, Buttons::YesNo, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message.icon, c.icon);
        EXPECT_EQ(c.message.buttons, c.buttons);
        EXPECT_EQ(c.message.defaultButton, c.defaultButton);
        EXPECT_EQ(c.message.title, "CTD-Error");
        EXPECT_EQ(c.message.text, "text");
    }
}

TEST(MessageKinds, OpenDocumentResultCodes)
{
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {{2, "File not found: /opt/tw/readme.pdf"},
                          {platform::kChosenProgramFailed, "The program the desktop chose for /opt/tw/readme.pdf failed to open it."},
                          {platform::kOpenerMissing, "The desktop's opener xdg-open is missing, so /opt/tw/readme.pdf cannot be opened.\n"
                                                     "Install it with: sudo apt-get install xdg-utils"},
                          {3, "Path not found\n/opt/tw/readme.pdf"},
                          {5, "Access denied\n/opt/tw/readme.pdf"},
                          {8, "Out of memory\n/opt/tw/readme.pdf"},
                          {11, "Invalid EXE file or error in EXE image\n/opt/tw/readme.pdf"},
                          {26, "A sharing violation occurred\n/opt/tw/readme.pdf"},
                          {27, "Incomplete or invalid file association\n/opt/tw/readme.pdf"},
                          {28, "DDE Time out\n/opt/tw/readme.pdf"},
                          {29, "DDE transaction failed\n/opt/tw/readme.pdf"},
                          {30, "DDE busy\n/opt/tw/readme.pdf"},
                          {31, "No association for file extension \".pdf\"\n/opt/tw/readme.pdf"},
                          {32, "DLL not found\n/opt/tw/readme.pdf"},
                          {0, "Unknown error\n/opt/tw/readme.pdf"},
                          {-1, "Unknown error\n/opt/tw/readme.pdf"},
                          {33, ""},
                          {42, ""}};
    for (const auto& c : cases) EXPECT_EQ(platform::openDocumentErrorText(c.code, "/opt/tw/readme.pdf"), c.text) << c.code;
    // The extension the desktop has no program for, as the name ends; a name without one says so.
    EXPECT_EQ(platform::openDocumentErrorText(31, "/data/run 1.txt"), "No association for file extension \".txt\"\n/data/run 1.txt");
    EXPECT_EQ(platform::openDocumentErrorText(31, "/data.d/README"),
              "No association for file extension (the file name has none)\n/data.d/README");
    EXPECT_EQ(platform::openDocumentErrorText(31, "/data/.profile"),
              "No association for file extension (the file name has none)\n/data/.profile");
}

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
