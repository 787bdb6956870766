#pragma once
// Save targets that are no plain file, made in a test's own folder: a FIFO and a link to it, and
// a write-protected file (no write bit, mode 0444) and a link to it, which a save must refuse and
// leave as they are, whoever runs it (root included); and links to a file, a dangling link and a
// chain of links, through which a save writes the file the last link names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

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

}  // namespace special_targets
