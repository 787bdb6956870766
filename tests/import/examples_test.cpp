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

}  // namespace
