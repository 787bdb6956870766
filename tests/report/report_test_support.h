#pragma once
// A scratch folder for the report tests and a workbook written there and read back.
#include "platform/workbook.h"
#include "tests/report/xlsx_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace report_test {

class TempDir {
public:
    TempDir()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("tw_report_" + std::to_string(::getpid()) + "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A grey PNG picture of the given size.
inline std::string greyPng(int width, int height)
{
    auto be32 = [](std::string& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        be32(out, static_cast<std::uint32_t>(data.size()));
        const std::string body = type + data;
        out += body;
        be32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    };
    std::string header;
    be32(header, static_cast<std::uint32_t>(width));
    be32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
    std::string rows;
    for (int y = 0; y < height; ++y) rows += '\0' + std::string(static_cast<std::size_t>(width) * 3, '\x80');
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    std::string png = "\x89PNG\r\n\x1a\n";
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

// Writes `book` into `dir` and reads it back.
inline xlsx_test::Workbook writeAndRead(const platform::Workbook& book, const TempDir& dir, const std::string& name = "book.xlsx")
{
    const platform::WriteResult r = platform::writeXlsx(book, dir.file(name));
    EXPECT_TRUE(r.ok) << r.error;
    return xlsx_test::Workbook(dir.file(name));
}

}  // namespace report_test
