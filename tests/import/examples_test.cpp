// The shipped examples are what the script and the program's writers make today.
#include "platform/textfile.h"
#include "tests/support/data_files.h"
#include "tests/support/special_targets.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string bytesOf(const std::string& path)
{
    std::string bytes, error;
    EXPECT_TRUE(platform::readFileBytes(path, bytes, error)) << path << ": " << error;
    return bytes;
}

TEST(Examples, RegenerateByteForByte)
{
    const char* bin = std::getenv("TW_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    if (std::system("python3 -c pass") != 0) GTEST_SKIP() << "python3 is not installed";
    const std::filesystem::path out = std::filesystem::temp_directory_path() / ("tw-examples-" + std::to_string(::getpid()));
    const std::string cmd = "python3 '" TW_EXAMPLES "/make_examples.py' '" + std::string(bin) + "/tw_import_tool' '" + out.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    for (const char* name : {"run1.txt", "run2.txt", "run3.txt", "run1.ctd", "run2.ctd", "run3.ctd", "series.cts"})
        EXPECT_EQ(bytesOf((out / name).string()), bytesOf(std::string(TW_EXAMPLES) + "/" + name)) << name;
    std::filesystem::remove_all(out);
}

// The tool takes the structure codes the dialog's lists offer and nothing else.
TEST(ImportTool, RefusesStructureCodesTheDialogDoesNotOffer)
{
    const char* bin = std::getenv("TW_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    const std::string run = std::string(TW_EXAMPLES) + "/run3.txt";
    const std::filesystem::path out = std::filesystem::temp_directory_path() / ("tw-tool-" + std::to_string(::getpid()) + ".ctd");
    const std::string base = "'" + std::string(bin) + "/tw_import_tool' ctd '" + run + "' '" + out.string() +
                             "' project=P date=1.1.2020 time=10:00 delta=0.1 pressure=1 temperature=20 mass=1500 area=2 ";
    for (const char* bad : {"headerRows=40000", "headerRows=-1", "headerRows=1.5", "timeColumn=3", "separator=4",
                            "unit=-1", "decimal=2", "headerRows=x", "decimal=1 separator=0"}) {
        const int status = std::system((base + bad + " 2>/dev/null").c_str());
        EXPECT_NE(status, 0) << bad;
        EXPECT_FALSE(std::filesystem::exists(out)) << bad;
    }
    EXPECT_EQ(std::system((base + "headerRows=1").c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(out));
    std::filesystem::remove(out);
}

// The tool writes a data file by the rule of every writer: as root onto a user's file it keeps the
// user's owner, group and mode; run by that user onto a file of root's in the user's own folder it
// refuses, exit 1, and the file keeps its bytes and owner.
TEST(ImportTool, KeepsTheOwnerAndRefusesAnotherUsersFile)
{
    const char* bin = std::getenv("TW_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    if (!special_targets::OwnedTargets::available() || std::system("command -v setpriv >/dev/null") != 0)
        GTEST_SKIP() << "needs root and setpriv";
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tw-tool-owned-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // The tool and its input where the user reaches them, wherever the build lies.
    fs::copy_file(fs::path(bin) / "tw_import_tool", dir / "tw_import_tool");
    fs::copy_file(fs::path(TW_EXAMPLES) / "run3.txt", dir / "run3.txt");
    fs::permissions(dir / "run3.txt", fs::perms::others_read, fs::perm_options::add);
    const special_targets::OwnedTargets owned(dir.string(), ".ctd");
    const auto make = [&](const std::string& as, const std::string& out, std::string& said) {
        const std::string cmd = as + "'" + (dir / "tw_import_tool").string() + "' ctd '" + (dir / "run3.txt").string() + "' '" + out +
                                "' project=P date=1.1.2020 time=10:00 delta=0.1 pressure=1 temperature=20 mass=1500 area=2 headerRows=1 2>&1";
        FILE* pipe = ::popen(cmd.c_str(), "r");
        said.clear();
        char buffer[512];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe)) said += buffer;
        const int status = pipe ? ::pclose(pipe) : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string said;
    EXPECT_EQ(make("", owned.users, said), 0) << said;
    owned.expectUsersReplaced();
    EXPECT_EQ(make("setpriv --reuid=65534 --regid=65534 --clear-groups ", owned.roots, said), 1);
    EXPECT_EQ(said, owned.roots + " - file can not be written! " + special_targets::OwnedTargets::kRefused + "\n");
    owned.expectRootsKept();
    fs::remove_all(dir);
}

// The tool composes a series as the dialog does, with the dialog's checks and messages: it never
// writes over one of the series' own data files, by name, through a link or a hard link, nor
// into another folder than theirs, nor over a write-protected file; each refusal exits non-zero
// with the dialog's message and leaves every file byte for byte.
TEST(ImportTool, ComposesASeriesWithTheChecksOfTheDialog)
{
    const char* bin = std::getenv("TW_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tw-tool-series-" + std::to_string(::getpid()));
    fs::create_directories(dir / "elsewhere");
    for (const char* name : {"run1.ctd", "run2.ctd"}) fs::copy_file(fs::path(TW_EXAMPLES) / name, dir / name);
    const std::string run1 = bytesOf((dir / "run1.ctd").string());
    fs::create_symlink("run1.ctd", dir / "link.cts");
    fs::create_hard_link(dir / "run1.ctd", dir / "hard.cts");
    fs::create_symlink("elsewhere/s.cts", dir / "out.cts");
    std::ofstream(dir / "protected.cts") << "kept";
    fs::permissions(dir / "protected.cts", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // The tool's exit status and what it said.
    const auto compose = [&](const std::string& series, int& status) {
        const std::string cmd = "cd '" + dir.string() + "' && '" + std::string(bin) + "/tw_import_tool' cts '" + series +
                                "' 'comment' run1.ctd run2.ctd 2>&1";
        FILE* pipe = ::popen(cmd.c_str(), "r");
        std::string said;
        char buffer[512];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe)) said += buffer;
        status = pipe ? ::pclose(pipe) : -1;
        return said;
    };
    const std::string ownFile = "The series file can not be saved over its own data file run1.ctd!\n";
    struct Case {
        const char* series;
        std::string said;
    };
    const Case cases[] = {
        {"run1.ctd", ownFile},
        {"link.cts", ownFile},
        {"hard.cts", ownFile},
        {"out.cts", "The .cts-Series file has to be in the same directory like all the .ctd-Coastdown data files it is pointing on!\n"
                    "out.cts is a link to " + (dir / "elsewhere/s.cts").string() + ".\n"},
        {"elsewhere/s.cts", "The .cts-Series file has to be in the same directory like all the .ctd-Coastdown data files it is pointing on!\n"},
        {"protected.cts", "protected.cts - file can not be written!\nThe file is write-protected; nothing was written.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.series);
        int status = 0;
        EXPECT_EQ(compose(c.series, status), c.said);
        EXPECT_NE(status, 0);
        EXPECT_EQ(bytesOf((dir / "run1.ctd").string()), run1);
        EXPECT_TRUE(fs::is_symlink(dir / "link.cts"));
        EXPECT_FALSE(fs::exists(dir / "elsewhere/s.cts"));
        EXPECT_EQ(bytesOf((dir / "protected.cts").string()), "kept");
    }
    int status = 1;
    EXPECT_EQ(compose("series.cts", status), "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bytesOf((dir / "series.cts").string()).substr(0, 3), "2\r\n");
    fs::remove_all(dir);
}

// The tool windows each run from its maximum as the dialog does, and takes a folder through a
// link for the folder it is.
TEST(ImportTool, WindowsEachRunFromItsMaximumAndTakesALinkedFolderForItself)
{
    const char* bin = std::getenv("TW_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tw-tool-rising-" + std::to_string(::getpid()));
    fs::create_directories(dir / "t2");
    fs::create_directory_symlink("t2", dir / "t2link");
    for (const auto& [name, bytes] : data_files::risingRunSeries()) std::ofstream(dir / "t2" / name, std::ios::binary) << bytes;
    const auto compose = [&](const std::string& series, const std::string& folder) {
        std::string files;
        for (const auto& [name, bytes] : data_files::risingRunSeries()) files += " '" + folder + "/" + name + "'";
        return std::system(("cd '" + dir.string() + "' && '" + std::string(bin) + "/tw_import_tool' cts '" + series + "' ''" + files).c_str());
    };
    for (const auto& [series, folder] : {std::pair{"t2/s.cts", "t2"}, std::pair{"t2/l.cts", "t2link"}, std::pair{"t2link/m.cts", "t2"}}) {
        SCOPED_TRACE(series);
        EXPECT_EQ(compose(series, folder), 0);
        EXPECT_EQ(bytesOf((dir / series).string()), data_files::kRisingRunEntries);
    }
    fs::remove_all(dir);
}

}  // namespace
