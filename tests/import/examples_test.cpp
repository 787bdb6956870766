// The shipped examples are what the script and the program's writers make today.
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

}  // namespace
