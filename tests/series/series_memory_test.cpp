// What a series may allocate: nothing for its samples before every data file holds its window,
// never more than its files back, and a failed allocation is a refusal, not the end.
#include "analysis/series/core/series_load.h"
#include "import/core/series.h"
#include "tests/series/series_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>

namespace {

// Every allocation of the test passes through here: the largest request is kept, and requests
// above `gRefuseAbove` fail as on a machine without that memory.
std::size_t gLargest = 0;
std::size_t gRefuseAbove = static_cast<std::size_t>(-1);

void* allocate(std::size_t n)
{
    if (n > gRefuseAbove) throw std::bad_alloc();
    if (n > gLargest) gLargest = n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

struct Watch {
    Watch(std::size_t refuseAbove = static_cast<std::size_t>(-1))
    {
        gLargest = 0;
        gRefuseAbove = refuseAbove;
    }
    ~Watch() { gRefuseAbove = static_cast<std::size_t>(-1); }
};

// A data file of `samples` sample lines "1": three bytes a line.
std::vector<std::string> ones(int samples)
{
    series_test::RunSpec run;
    run.samples = 0;
    std::vector<std::string> lines = series_test::dataFileLines(run);
    lines[9] = std::to_string(samples);  // the minimum at the last of them
    lines.insert(lines.end(), static_cast<std::size_t>(samples), "1");
    return lines;
}

std::vector<std::string> seriesOf(const std::vector<std::string>& names, int L)
{
    std::vector<std::string> cts = {std::to_string(names.size()), std::to_string(L)};
    for (const auto& n : names) cts.push_back(n + ",31," + std::to_string(31 + L));
    return cts;
}

}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(SeriesMemory, NothingIsDimensionedBeforeEveryDataFileHoldsItsWindow)
{
    constexpr int L = 100000;
    series_test::ScratchDir dir;
    dir.write("a.ctd", ones(L + 1));
    dir.write("b.ctd", ones(10));
    std::vector<std::string> names = {"a.ctd"};
    names.resize(30, "b.ctd");
    dir.write("s.cts", seriesOf(names, L));
    Watch watch;
    const auto r = series::loadSeries(dir.file("s.cts"));
    ASSERT_TRUE(r.message);
    EXPECT_NE(r.message->text.find("b.ctd has 40 lines"), std::string::npos) << r.message->text;
    // The file itself is read; the 30 windows (24 MB) are never asked for.
    EXPECT_LT(gLargest, 2u * 3u * (L + 31));
}

TEST(SeriesMemory, AFileNamedMoreOftenThanItsBytesBackIsRefused)
{
    constexpr int L = 100000;
    series_test::ScratchDir dir;
    dir.write("a.ctd", ones(L + 1));
    dir.write("s.cts", seriesOf(std::vector<std::string>(30, "a.ctd"), L));
    {
        Watch watch;
        const auto r = series::loadSeries(dir.file("s.cts"));
        EXPECT_FALSE(r.content);
        ASSERT_TRUE(r.message);
        EXPECT_EQ(r.message->title, "CTS-Error");
        EXPECT_NE(r.message->text.find("names its data files so often"), std::string::npos) << r.message->text;
        EXPECT_LT(gLargest, 2u * 3u * (L + 31));
    }
    // Named twice, the same file loads, once read.
    dir.write("s.cts", seriesOf({"a.ctd", "a.ctd"}, L));
    const auto r = series::loadSeries(dir.file("s.cts"));
    ASSERT_TRUE(r.content) << (r.message ? r.message->text : "");
    EXPECT_EQ(r.content->velocitySamples.cols(), 2);
    EXPECT_EQ(r.content->velocitySamples(L, 2), 1.0);
    // A short run named in every entry of a series is small however often it is named.
    dir.write("b.ctd", ones(1001));
    dir.write("s.cts", seriesOf(std::vector<std::string>(30, "b.ctd"), 1000));
    const auto small = series::loadSeries(dir.file("s.cts"));
    ASSERT_TRUE(small.content) << (small.message ? small.message->text : "");
    EXPECT_EQ(small.content->velocitySamples.cols(), 30);
}

// One file under many names, through symbolic links or hard links, is one file: its bytes back
// its windows once, whatever it is called.
TEST(SeriesMemory, LinksToOneFileShareItsBudget)
{
    constexpr int L = 100000;
    series_test::ScratchDir dir;
    dir.write("a.ctd", ones(L + 1));
    for (const bool hard : {false, true}) {
        SCOPED_TRACE(hard ? "hard links" : "symbolic links");
        std::vector<std::string> names;
        for (int i = 1; i <= 30; ++i) {
            const std::string name = (hard ? "hard" : "sym") + std::to_string(i) + ".ctd";
            if (hard) std::filesystem::create_hard_link(dir.file("a.ctd"), dir.file(name));
            else std::filesystem::create_symlink(i % 2 ? "a.ctd" : dir.file("a.ctd"), dir.file(name));
            names.push_back(name);
        }
        dir.write("s.cts", seriesOf(names, L));
        {
            Watch watch;
            const auto r = series::loadSeries(dir.file("s.cts"));
            EXPECT_FALSE(r.content);
            ASSERT_TRUE(r.message);
            EXPECT_NE(r.message->text.find("names its data files so often"), std::string::npos) << r.message->text;
            EXPECT_LT(gLargest, 2u * 3u * (L + 31));
        }
        // Two names of it load, each its own data set.
        dir.write("s.cts", seriesOf({"a.ctd", names[1]}, L));
        const auto r = series::loadSeries(dir.file("s.cts"));
        ASSERT_TRUE(r.content) << (r.message ? r.message->text : "");
        EXPECT_EQ(r.content->velocitySamples(L, 2), 1.0);
    }
}

TEST(SeriesMemory, AFailedAllocationIsARefusalWithAMessage)
{
    constexpr int L = 100000;
    series_test::ScratchDir dir;
    dir.write("a.ctd", ones(L + 1));
    dir.write("b.ctd", ones(L + 1));
    dir.write("s.cts", seriesOf({"a.ctd", "b.ctd"}, L));
    // Room for the files (3 bytes a line), none for the samples (16 bytes a line).
    Watch watch(8u * L);
    const auto r = series::loadSeries(dir.file("s.cts"));
    EXPECT_FALSE(r.content);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->title, "CTS-Error");
    EXPECT_EQ(r.message->icon, platform::Icon::Critical);
    EXPECT_EQ(r.message->text, "There is not enough memory to open " + dir.file("s.cts") + ".");
}

// Composing a series reads one data file at a time and holds no string per line.
TEST(SeriesMemory, ComposingHoldsOneFileAtATime)
{
    constexpr int kLines = 200000;
    std::string run;
    const std::string minAt = std::to_string(kLines - 9);
    for (int line = 1; line <= 30; ++line)
        run += (line == 8 ? "10" : line == 9 ? "30" : line == 10 ? minAt.c_str() : line == 11 ? "1" : line == 13 ? "0.1" : "0") +
               std::string("\n");
    for (int k = 0; k < kLines; ++k) run += k < kLines - 10 ? "20\n" : "9\n";
    std::size_t reads = 0;
    Watch watch;
    const auto plan = importer::planSeries(std::vector<std::string>(30, "a.ctd"), [&](const std::string&) {
        ++reads;
        return datafile::DataFileBytes{true, run, {}};
    });
    ASSERT_FALSE(plan.failure) << plan.failure->text;
    EXPECT_EQ(plan.windowLength, kLines - 10 - 1);
    EXPECT_EQ(reads, 60u);
    EXPECT_LE(gLargest, run.size() + 1);
}
