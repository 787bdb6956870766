#pragma once
// Text files of the program: data, series, import and notes files. Standard library only.
// Reading takes all bytes at once, skips a UTF-8 byte-order mark, decodes valid UTF-8 as UTF-8
// and anything else as Windows-1252, and splits at CR LF or LF (a last line without a line end
// counts; a final line end does not start another line). Lines come back as UTF-8.
// Writing encodes as Windows-1252, or as UTF-8 when the text holds characters Windows-1252 has
// not (encodeForReaders), ends every line with CR LF, and is atomic: a temporary file of a fresh
// name beside the target, then a rename. A failed write leaves the old file untouched. Only a
// regular file this user may write and that has a write bit (root included) is replaced, and it
// keeps its owner, group and mode; through a symbolic link (or a chain of them) the file the link
// names is written and the link stays. The target is checked before the write and once more,
// through the folder's own descriptor, just before the rename. What remains open: a name swapped
// between that last check and the rename itself is still renamed over, as no system call renames
// onto a regular file only.
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
    // Both names lie in the folder the descriptor holds.
    virtual int rename(int folder, const char* from, const char* to);
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
// The bytes of a file the readers take back as the same text: Windows-1252 when it holds every
// character and those bytes neither happen to be valid UTF-8 (a typed "Ã¼" would read back as
// "ü") nor begin like a byte-order mark (a typed "ï»¿"); otherwise UTF-8, so that no letter is
// lost ("Δοκιμή" stays). A UTF-8 text that begins like a byte-order mark gets one of its own in
// front, as the readers skip one.
std::string encodeForReaders(std::string_view utf8);
// True when encodeForReaders keeps the text: what the readers take back is the text itself.
bool keptByReaders(std::string_view utf8);
bool isValidUtf8(std::string_view bytes);
// A text as a message quotes it: in double quotes, cut after at most `maxBytes` at the start of a
// UTF-8 character and then ending in "...".
std::string quotedStart(std::string_view text, std::size_t maxBytes);
// True when decodeText takes the bytes as UTF-8 and they are not plain ASCII: valid UTF-8 (after
// a byte-order mark) that begins with the mark or holds bytes above 127.
bool readsAsUtf8(std::string_view bytes);
std::vector<std::string> splitLines(std::string_view text);
// Cuts the next line off `rest` by the same rule, without its line end: what splitLines gives
// one at a time, without copying.
std::string_view takeLine(std::string_view& rest);

// Why bytes cannot be read as 8-bit text, for the user; "" when they can. UTF-16 (a byte-order
// mark, or NUL bytes between the letters), a NUL byte anywhere, and lines that end in CR alone
// are refused: the readers would silently take such a file as one line, or cut numbers short at
// the NUL.
std::string notTextReason(std::string_view bytes);

// What stands at `path` (through links) when it is no regular file: "a folder", "a named pipe
// (FIFO)", "a socket", "a character device", "a block device", or "a link that leads round in a
// circle"; "" for a regular file and for nothing at all.
std::string nonRegularKind(const std::string& path);

// Reads raw bytes; false when the file is missing or unreadable, or is no regular file (a folder,
// a device or a pipe, which could block or never end); `error` says why, `errorCode` gets errno.
bool readFileBytes(const std::string& path, std::string& bytes, std::string& error, int* errorCode = nullptr);
// The most one line of a data file or series file may hold: far beyond any number or text typed
// (a 10 MB line is still read), small enough to hold in memory.
inline constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

// Reads a file from its start only as far as its reader needs it: so many lines, or all of it up
// to a bound. The bytes are judged as they come, so a huge file that is no text (a NUL byte,
// UTF-16) or holds a line longer than kMaxLineBytes is refused by its first bytes; the whole-file
// rules of notTextReason (CR alone) are applied once the file was read to its end. Bytes after
// the lines asked for are not judged.
class PrefixReader {
public:
    explicit PrefixReader(const std::string& path);
    ~PrefixReader();
    PrefixReader(const PrefixReader&) = delete;
    PrefixReader& operator=(const PrefixReader&) = delete;

    // Reads on until `lines` whole lines are held or the file ends; false when it could not be
    // read (error, errorCode) or was refused (refusal).
    bool readLines(long long lines);
    // The whole file, refused unless it holds at most `maxBytes`; `what` names the kind of file
    // for the refusal ("a series file").
    bool readAll(std::size_t maxBytes, const std::string& what);

    const std::string& bytes() const { return bytes_; }
    std::string takeBytes() { return std::move(bytes_); }
    bool atEnd() const { return atEnd_ && pending_.empty(); }
    long long size() const { return size_; }
    // Set when the file could not be opened or read: errno and its text ("Not a regular file" for
    // a pipe or a device).
    int errorCode() const { return errorCode_; }
    const std::string& error() const { return error_; }
    // Set when the bytes are refused: why, for the user.
    const std::string& refusal() const { return refusal_; }

private:
    void fail(int err);
    bool refuse(std::string why);
    bool take(std::string_view from, long long lines);

    int fd_ = -1;
    long long size_ = 0;
    std::string bytes_;
    std::string pending_;        // read, beyond the lines asked for so far
    long long lines_ = 0;        // whole lines in bytes_
    std::size_t lineStart_ = 0;  // where the unfinished line in bytes_ begins
    bool atEnd_ = false;
    bool failed_ = false;
    bool reserved_ = false;
    int errorCode_ = 0;
    std::string error_;
    std::string refusal_;
};

// The text of a file, decoded; refuses bytes that are no 8-bit text (notTextReason) like a
// file it cannot read.
bool readText(const std::string& path, std::string& text, std::string& error);
// The same split into lines.
TextReadResult readTextFile(const std::string& path);

// Writes bytes as they are, atomically. A target that is (or whose link leads to) a folder, a
// pipe, a device or a socket, or a write-protected file (isWriteProtected), is refused before
// anything is written; `error` names what it is. A replaced file keeps its owner, group and mode;
// where this user cannot give them to the new file (another user's file that is writable for
// all), nothing is written and `error` names the owner. A temporary that cannot be made names
// its folder ("A temporary file can not be written in <folder>: Permission denied").
WriteResult writeFileAtomic(const std::string& path, std::string_view bytes);
// Writes the bytes into a new file of a fresh name, "<folder>/<stem>XXXXXX<suffix>", made
// exclusively: never through a link, never over a file that is there, so two programs never
// share it. `path` receives the name ("" on failure, when nothing is left behind).
WriteResult writeNewFile(const std::string& folder, const std::string& stem, const std::string& suffix, std::string_view bytes,
                         std::string& path);
// The file a save to `path` writes, as writeFileAtomic finds it through links, normalised
// ("links/../data/p.ctd" is "data/p.ctd"); `path` itself when it is no link.
std::string writeTarget(const std::string& path);
// Writes each line (UTF-8) followed by CR LF, atomically, encoded by encodeForReaders.
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

// The read-only attribute of a file, the one rule of every writer: no write permission bit is
// set (even the administrator's programs keep off such a file), or this user may not write it
// (asked as the user the process writes files as). False for a missing file.
bool isWriteProtected(const std::string& path);

// True when a new file can be created in the folder. Tried with a probe file of a fresh name,
// removed again, so no file that is there already is touched.
bool folderAcceptsNewFile(const std::string& folder);

}  // namespace platform
