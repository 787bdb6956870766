#pragma once
// Text files of the program: data, series, import and notes files. Standard library only.
// Reading takes all bytes at once, skips a UTF-8 byte-order mark, decodes valid UTF-8 as UTF-8
// and anything else as Windows-1252, and splits at CR LF or LF (a last line without a line end
// counts; a final line end does not start another line). Lines come back as UTF-8.
// Writing encodes as Windows-1252 (a character it cannot hold becomes '?'), ends every line
// with CR LF, and is atomic: a temporary file beside the target, then a rename. A failed write
// leaves the old file untouched. Only a regular file is replaced; through a symbolic link (or a
// chain of them) the file the link names is written and the link stays.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace platform {

// The system calls under the file functions below, one object for the whole program. Tests put
// a failing disk in its place (FaultyDisk of the fakes); every call keeps the errno convention.
class Disk {
public:
    virtual ~Disk() = default;
    virtual int openForReading(const char* path);
    virtual ssize_t read(int fd, void* buffer, std::size_t size);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int sync(int fd);
    virtual int rename(const char* from, const char* to);
};

// nullptr puts the real disk back.
void setDisk(Disk* disk);
Disk& disk();

struct TextReadResult {
    bool ok = false;
    std::string error;               // why it failed, for the user ("No such file or directory")
    std::vector<std::string> lines;  // UTF-8
};

struct WriteResult {
    bool ok = false;
    std::string error;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string decodeText(std::string_view bytes);          // UTF-8 or Windows-1252 -> UTF-8
std::string decodeWindows1252(std::string_view bytes);   // every byte as Windows-1252 -> UTF-8
std::string encodeWindows1252(std::string_view utf8);    // UTF-8 -> Windows-1252, '?' for others
// The bytes of a file the readers take back as the same text: Windows-1252, unless those bytes
// happen to be valid UTF-8 (a typed "Ã¼" would read back as "ü"); then UTF-8.
std::string encodeForReaders(std::string_view utf8);
bool isValidUtf8(std::string_view bytes);
// True when decodeText takes the bytes as UTF-8 and they are not plain ASCII: valid UTF-8 (after
// a byte-order mark) that begins with the mark or holds bytes above 127.
bool readsAsUtf8(std::string_view bytes);
std::vector<std::string> splitLines(std::string_view text);
// Cuts the next line off `rest` by the same rule, without its line end: what splitLines gives
// one at a time, without copying.
std::string_view takeLine(std::string_view& rest);

// Why bytes cannot be read as 8-bit text, for the user; "" when they can. UTF-16 (a byte-order
// mark, or NUL bytes), a NUL byte anywhere, and lines that end in CR alone are refused: the
// readers would silently take such a file as one line, or cut numbers short at the NUL.
std::string notTextReason(std::string_view bytes);

// Reads raw bytes; false when the file is missing or unreadable, or is no regular file (a folder,
// a device or a pipe, which could block or never end); `error` says why, `errorCode` gets errno.
bool readFileBytes(const std::string& path, std::string& bytes, std::string& error, int* errorCode = nullptr);
// The text of a file, decoded; refuses bytes that are no 8-bit text (notTextReason) like a
// file it cannot read.
bool readText(const std::string& path, std::string& text, std::string& error);
// The same split into lines.
TextReadResult readTextFile(const std::string& path);

// Writes bytes as they are, atomically. A target that is (or whose link leads to) a folder, a
// pipe, a device or a socket is refused before anything is written; `error` names what it is.
WriteResult writeFileAtomic(const std::string& path, std::string_view bytes);
// Writes each line (UTF-8) in Windows-1252 followed by CR LF, atomically.
WriteResult writeTextLines(const std::string& path, const std::vector<std::string>& lines);

// Size and modification time of a file, to tell whether it changed since it was read.
struct FileStamp {
    bool exists = false;
    long long size = 0;
    long long modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::string& path);

// What a path is as a file, the same for every name of it (links, hard links): its device and
// inode after following links; "" when there is no such file.
std::string fileIdentity(const std::string& path);
// True when both paths name one existing file.
bool sameFile(const std::string& a, const std::string& b);

// The read-only attribute of a file: no write permission bit is set (even the administrator's
// programs keep off such a file), or this user may not write it. False for a missing file.
bool isWriteProtected(const std::string& path);

// True when a new file can be created in the folder. Tried with a probe file of a fresh name,
// removed again, so no file that is there already is touched.
bool folderAcceptsNewFile(const std::string& folder);

}  // namespace platform
