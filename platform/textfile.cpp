#include "platform/textfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <random>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Code points of bytes 0x80..0x9F; the five unassigned bytes keep their C1 code point so they
// survive a read and a write unchanged.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at i; returns its length, 0 when it is not valid UTF-8.
size_t utf8Sequence(std::string_view s, size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

std::string errnoText(int err)
{
    return std::strerror(err);
}

}  // namespace

std::string quotedStart(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return "\"" + std::string(text) + "\"";
    std::size_t shown = maxBytes;
    while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80) --shown;  // whole letters
    return "\"" + std::string(text.substr(0, shown)) + "...\"";
}

bool isValidUtf8(std::string_view s)
{
    char32_t cp = 0;
    for (size_t i = 0; i < s.size();) {
        const size_t n = utf8Sequence(s, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

bool readsAsUtf8(std::string_view bytes)
{
    const bool bom = bytes.substr(0, 3) == kUtf8Bom;
    if (bom) bytes.remove_prefix(3);
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return (bom || high) && isValidUtf8(bytes);
}

std::string decodeText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == kUtf8Bom) bytes.remove_prefix(3);
    if (isValidUtf8(bytes)) return std::string(bytes);
    return decodeWindows1252(bytes);
}

std::string decodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out += c;
        else if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80]);
        else appendUtf8(out, b);
    }
    return out;
}

std::string encodeWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        size_t n = utf8Sequence(utf8, i, cp);
        if (n == 0) {  // not UTF-8 at all: one unknown character per byte
            out += '?';
            ++i;
            continue;
        }
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == cp) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

std::string encodeForReaders(std::string_view utf8)
{
    std::string bytes = encodeWindows1252(utf8);
    // Windows-1252 bytes that begin like a byte-order mark ("ï»¿" typed) would lose it to the readers.
    const bool keptAsWindows1252 = decodeWindows1252(bytes) == utf8 && !readsAsUtf8(bytes) && bytes.substr(0, 3) != kUtf8Bom;
    if (!isValidUtf8(utf8) || keptAsWindows1252) return bytes;
    if (utf8.substr(0, 3) == kUtf8Bom) return std::string(kUtf8Bom) + std::string(utf8);
    return std::string(utf8);
}

bool keptByReaders(std::string_view utf8) { return decodeText(encodeForReaders(utf8)) == utf8; }

std::string_view takeLine(std::string_view& rest)
{
    if (rest.empty()) return {};  // memchr may not see the null pointer of an empty view
    const void* lf = std::memchr(rest.data(), '\n', rest.size());
    std::string_view line = rest;
    if (lf) {
        const size_t n = static_cast<size_t>(static_cast<const char*>(lf) - rest.data());
        line = rest.substr(0, n);
        rest.remove_prefix(n + 1);
    } else {
        rest = {};
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) lines.emplace_back(takeLine(text));
    return lines;
}

int Disk::openForReading(const char* path)
{
    // Non-blocking, so that opening a pipe does not wait for a writer; regular files ignore it.
    return ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

ssize_t Disk::read(int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); }
ssize_t Disk::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int Disk::sync(int fd) { return ::fsync(fd); }
int Disk::rename(int folder, const char* from, const char* to) { return ::renameat(folder, from, folder, to); }

namespace {
Disk gRealDisk;
Disk* gDisk = &gRealDisk;
}  // namespace

void setDisk(Disk* d) { gDisk = d ? d : &gRealDisk; }
Disk& disk() { return *gDisk; }

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error, int* errorCode)
{
    bytes.clear();
    error.clear();
    auto fail = [&](int err) {
        bytes.clear();
        bytes.shrink_to_fit();
        error = errnoText(err);
        if (errorCode) *errorCode = err;
        return false;
    };
    const int fd = disk().openForReading(path.c_str());
    if (fd < 0) return fail(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Checked on the open file, so nothing can swap it between the check and the read.
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (!S_ISREG(st.st_mode)) {
        fail(EINVAL);
        error = "Not a regular file";
        return false;
    }
    try {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = disk().read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail(errno);
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        return fail(ENOMEM);
    }
    if (errorCode) *errorCode = 0;
    return true;
}

namespace {

constexpr std::size_t kReadStep = 1u << 16;

std::string megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

PrefixReader::PrefixReader(const std::string& path)
{
    fd_ = disk().openForReading(path.c_str());
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        fail(errno);
    } else if (S_ISDIR(st.st_mode)) {
        fail(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        fail(EINVAL);
        error_ = "Not a regular file";
    } else {
        size_ = static_cast<long long>(st.st_size);
    }
}

PrefixReader::~PrefixReader()
{
    if (fd_ >= 0) ::close(fd_);
}

void PrefixReader::fail(int err)
{
    errorCode_ = err;
    error_ = std::strerror(err);
    failed_ = true;
    bytes_.clear();
    bytes_.shrink_to_fit();
}

bool PrefixReader::refuse(std::string why)
{
    refusal_ = std::move(why);
    failed_ = true;
    bytes_.clear();
    bytes_.shrink_to_fit();
    pending_.clear();
    pending_.shrink_to_fit();
    return false;
}

// Takes bytes from `from` into the bytes held while lines are wanted; what lies beyond the last
// line wanted stays in `pending_` for a later call.
bool PrefixReader::take(std::string_view from, long long lines)
{
    const std::size_t base = bytes_.size();
    std::size_t start = lineStart_;  // where the unfinished line begins, counted in bytes_
    std::size_t taken = 0;
    bool tooLong = false;
    if (lines - lines_ > static_cast<long long>(from.size())) {
        // The lines asked for lie beyond this step whatever it holds: count its line ends at once.
        // Only the line it continues can be too long, as a step is far shorter than a line may be.
        const void* first = std::memchr(from.data(), '\n', from.size());
        const std::size_t firstEnd = first ? static_cast<std::size_t>(static_cast<const char*>(first) - from.data()) : from.size();
        tooLong = base + firstEnd - start > kMaxLineBytes;
        taken = tooLong ? firstEnd : from.size();
        if (first && !tooLong) {
            lines_ += std::count(from.begin(), from.end(), '\n');
            start = base + from.find_last_of('\n') + 1;
        }
    }
    while (!tooLong && taken < from.size() && lines_ < lines) {
        const void* lf = std::memchr(from.data() + taken, '\n', from.size() - taken);
        const std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - from.data()) + 1 : from.size();
        if (base + (lf ? end - 1 : end) - start > kMaxLineBytes) {
            tooLong = true;
            taken = end;
            break;
        }
        taken = end;
        if (lf) {
            ++lines_;
            start = base + end;
        }
    }
    const std::string_view part = from.substr(0, taken);
    // Judged as it comes, so that a huge file of no text is refused by its first bytes.
    if (part.find('\0') != std::string_view::npos || (base == 0 && (part.substr(0, 2) == "\xFF\xFE" || part.substr(0, 2) == "\xFE\xFF"))) {
        bytes_.append(part);
        return refuse(notTextReason(bytes_));
    }
    if (tooLong) {
        const bool crAlone = lines_ == 0 && (bytes_.find('\r') != std::string::npos || part.find('\r') != std::string_view::npos);
        return refuse(crAlone ? std::string("The lines of the file end in CR alone; only CR LF and LF end a line.")
                              : "Line " + std::to_string(lines_ + 1) + " is longer than " + megabytes(kMaxLineBytes) +
                                    ", longer than any line of a data file or series.");
    }
    bytes_.append(part);
    lineStart_ = start;
    pending_.assign(from.substr(taken));
    return true;
}

bool PrefixReader::readLines(long long lines)
{
    if (failed_) return false;
    try {
        if (!pending_.empty()) {
            const std::string held = std::move(pending_);
            pending_.clear();
            if (!take(held, lines)) return false;
            if (!pending_.empty()) return true;
        }
        // Room for the whole file at once, up to a bound: beyond it the bytes grow as they are
        // read, so that a file's size alone takes no memory.
        constexpr long long kRoomAtOnce = 256ll << 20;
        if (!reserved_ && size_ > 0) bytes_.reserve(static_cast<std::size_t>(std::min(size_, kRoomAtOnce)));
        reserved_ = true;
        std::string buffer(kReadStep, '\0');
        while (lines_ < lines && !atEnd_) {
            const ssize_t n = disk().read(fd_, buffer.data(), buffer.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                fail(errno);
                return false;
            }
            if (n == 0) {
                atEnd_ = true;
                break;
            }
            if (!take(std::string_view(buffer.data(), static_cast<std::size_t>(n)), lines)) return false;
        }
    } catch (const std::bad_alloc&) {
        fail(ENOMEM);
        return false;
    }
    if (atEnd_ && pending_.empty() && !bytes_.empty()) {
        // The whole file: the rules that need all of it, such as CR alone ending every line.
        std::string why = notTextReason(bytes_);
        if (!why.empty()) return refuse(std::move(why));
    }
    return true;
}

bool PrefixReader::readAll(std::size_t maxBytes, const std::string& what)
{
    const std::string tooLarge = "The file is larger than " + megabytes(maxBytes) + ", more than " + what + " holds.";
    if (!readLines(1)) return false;  // a file of no text is named so before its size is
    if (size_ > static_cast<long long>(maxBytes)) return refuse(tooLarge);
    if (!readLines(std::numeric_limits<long long>::max())) return false;
    if (bytes_.size() > maxBytes) return refuse(tooLarge);  // grown since it was looked at
    return true;
}

namespace {

// UTF-16 without a byte-order mark: from the first NUL on, every other byte is NUL and the
// others are not, as in the letters of a Latin text; a stray NUL or a run of them is no such text.
bool looksLikeUtf16(std::string_view bytes, size_t nul)
{
    const size_t start = nul > 0 ? nul - 1 : nul;  // the pair the NUL belongs to, either order
    const size_t pairs = std::min<size_t>((bytes.size() - start) / 2, 32);
    if (pairs < 4) return false;
    int high = 0, low = 0;  // pairs whose first or whose second byte alone is NUL
    for (size_t i = 0; i < pairs; ++i) {
        const bool a = bytes[start + 2 * i] == '\0', b = bytes[start + 2 * i + 1] == '\0';
        if (a && !b) ++high;
        if (b && !a) ++low;
    }
    const int needed = static_cast<int>(pairs) * 3 / 4;
    return high >= needed || low >= needed;
}

}  // namespace

std::string notTextReason(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return "The file is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read.";
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
        const auto line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
        if (looksLikeUtf16(bytes, nul))
            return "Line " + std::to_string(line) + " holds NUL bytes between its letters: this is UTF-16 text; only 8-bit text (ANSI or UTF-8) can be read.";
        return "Line " + std::to_string(line) + " holds a NUL byte: this is no text file.";
    }
    if (bytes.find('\n') == std::string_view::npos) {
        const size_t cr = bytes.find('\r');
        if (cr != std::string_view::npos && cr + 1 < bytes.size())
            return "The lines of the file end in CR alone; only CR LF and LF end a line.";
    }
    return {};
}

bool readText(const std::string& path, std::string& text, std::string& error)
{
    text.clear();
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) return false;
    error = notTextReason(bytes);
    if (!error.empty()) return false;
    text = decodeText(bytes);
    return true;
}

TextReadResult readTextFile(const std::string& path)
{
    TextReadResult r;
    std::string text;
    if (!readText(path, text, r.error)) return r;
    r.lines = splitLines(text);
    r.ok = true;
    return r;
}

namespace {

const char* fileKind(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "no regular file";
}

// The file a save to `path` writes: through every symbolic link to the name the last one gives,
// which need not exist yet (a dangling link is written through, not replaced).
bool followLinks(const std::string& path, std::string& target, int& error)
{
    constexpr int kMaxLinks = 40;  // as the kernel allows
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno == ENOENT) return true;
            error = errno;
            return false;
        }
        if (!S_ISLNK(st.st_mode)) return true;
        if (hops == kMaxLinks) {
            error = ELOOP;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) == link.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        if (link.empty() || link.front() != '/') {
            const std::size_t slash = target.find_last_of('/');
            link = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
        target = link;
    }
}

// A path as the user reads it: "links/../data/p.ctd" becomes "data/p.ctd".
std::string shown(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

// The one rule for a file no save may replace: this user may not write it, or it has no write bit
// at all (the read-only attribute, which root's rights would pass over). The user is the one the
// process writes files as: AT_EACCESS asks with the file-system user, which setfsuid changes and
// a plain access() does not see. `name` lies in `folder` (AT_FDCWD for a path).
bool protectedFile(int folder, const char* name, const struct stat& st)
{
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::faccessat(folder, name, W_OK, AT_EACCESS) != 0;
}

// Why the file a save would replace must stay, for the second line of the writer's message; ""
// when it may be replaced.
std::string keptBecause(const struct stat& st, int folder, const char* name, const std::string& target, bool throughLink)
{
    const std::string subject = throughLink ? "The link leads to " + shown(target) + ", " : std::string("It is ");
    if (!S_ISREG(st.st_mode)) return subject + fileKind(st.st_mode) + ", not a regular file; nothing was written.";
    if (protectedFile(folder, name, st))
        return throughLink ? subject + "a write-protected file; nothing was written."
                           : std::string("The file is write-protected; nothing was written.");
    return {};
}

std::string userName(uid_t uid)
{
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->pw_name;
    return "user " + std::to_string(uid);
}

std::string groupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->gr_name;
    return std::to_string(gid);
}

// Gives the new file the owner and group of the file it replaces, so that a save (root's too)
// never takes a file from its owner. Only what differs is changed: a file system without owners
// (FAT) gives every file the same ones and refuses a chown. 0, or the errno of the failure; a
// replacement this user cannot give them to is refused, with `why` saying whose the file is.
int keepOwner(int fd, const struct stat& old, const std::string& target, bool throughLink, std::string& why)
{
    struct stat made {};
    if (::fstat(fd, &made) != 0) return errno;
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid) return 0;
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) return 0;
    if (errno != EPERM) return errno;
    const std::string subject = throughLink ? "The link leads to " + shown(target) + ", which" : std::string("The file");
    // Where only the group cannot be kept (the user's own file of a group they are not in), the
    // file would pass to the user's group with the rights the old group had: refused likewise.
    why = made.st_uid != old.st_uid
              ? subject + " belongs to " + userName(old.st_uid) + " and would become this user's if it were replaced; nothing was written."
              : subject + " belongs to group " + groupName(old.st_gid) +
                    ", a group this user is not in, and would lose that group if it were replaced; nothing was written.";
    return EPERM;
}

// Writes every byte to the open file and syncs it; 0, or the errno of the failure.
int writeAllAndSync(int fd, std::string_view bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = disk().write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;  // a disk that takes nothing more would loop forever
        done += static_cast<size_t>(n);
    }
    return disk().sync(fd) != 0 ? errno : 0;
}

// A fresh name for the temporary file beside `name`, made in the folder the descriptor holds.
int openTemporary(int folder, const std::string& name, std::string& temporary)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    // A long name leaves room for the dot and the six letters within a file name's 255 bytes.
    const std::string stem = "." + name.substr(0, 240) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem;
        for (int i = 0; i < 6; ++i) temporary += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

WriteResult writeNewFile(const std::string& folder, const std::string& stem, const std::string& suffix, std::string_view bytes,
                         std::string& path)
{
    WriteResult r;
    path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + stem + "XXXXXX" + suffix;
    // mkstemps opens with O_CREAT | O_EXCL: a link or a file planted under the name is never
    // followed or written, a fresh name is taken instead.
    const int fd = ::mkstemps(path.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        r.error = "A temporary file can not be written in " + shown(folder) + ": " + errnoText(errno);
        path.clear();
        return r;
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(path.c_str());
        path.clear();
        r.error = errnoText(err);
        return r;
    };
    if (const int err = writeAllAndSync(fd, bytes)) return fail(err);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(path.c_str());
        path.clear();
        r.error = errnoText(err);
        return r;
    }
    r.ok = true;
    return r;
}

std::string writeTarget(const std::string& path)
{
    std::string target;
    int error = 0;
    return shown(followLinks(path, target, error) ? target : path);
}

WriteResult writeFileAtomic(const std::string& path, std::string_view bytes)
{
    WriteResult r;
    if (path.empty()) {
        r.error = errnoText(ENOENT);
        return r;
    }
    // Through a symbolic link the file it names is written and the link stays; the temporary file
    // lies beside that file, so the rename stays within its folder.
    std::string targetPath;
    int linkError = 0;
    if (!followLinks(path, targetPath, linkError)) {
        r.error = errnoText(linkError);
        return r;
    }
    const bool throughLink = targetPath != path;
    // Only a regular file with a write bit is ever replaced: a rename onto a pipe, a device or a
    // socket would put a plain file in its place (and, for a device, its mode on that file).
    struct stat st {};
    const bool exists = ::stat(targetPath.c_str(), &st) == 0;
    if (exists) {
        r.error = keptBecause(st, AT_FDCWD, targetPath.c_str(), targetPath, throughLink);
        if (!r.error.empty()) return r;
    }
    const std::filesystem::path target(targetPath);
    std::string folderPath = target.parent_path().string();
    if (folderPath.empty()) folderPath = ".";
    const std::string name = target.filename().string();
    const auto noTemporary = [&](int err) {
        r.error = "A temporary file can not be written in " + shown(folderPath) + ": " + errnoText(err);
        return r;
    };
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return noTemporary(errno);
    struct FolderCloser {
        int fd;
        ~FolderCloser() { ::close(fd); }
    } folderCloser{folder};
    std::string temporary;
    const int fd = openTemporary(folder, name, temporary);
    if (fd < 0) return noTemporary(errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlinkat(folder, temporary.c_str(), 0);
        r.error = errnoText(err);
        return r;
    };
    // A new file gets the usual permissions; a replaced file keeps its owner, group and mode (the
    // mode after the owner, as a chown clears the set-id bits).
    mode_t mode = 0;
    if (exists) {
        std::string notKept;
        if (const int err = keepOwner(fd, st, targetPath, throughLink, notKept)) {
            fail(err);
            if (!notKept.empty()) r.error = std::move(notKept);
            return r;
        }
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return fail(errno);
    if (const int err = writeAllAndSync(fd, bytes)) return fail(err);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        r.error = errnoText(err);
        return r;
    }
    // The name may have been swapped while the file was written: what stands there now, seen
    // through the folder's own descriptor, must still be a file the save may replace.
    struct stat now {};
    if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        std::string why = S_ISLNK(now.st_mode) ? "It became a link while it was written; nothing was written."
                                               : keptBecause(now, folder, name.c_str(), targetPath, throughLink);
        if (!why.empty()) {
            ::unlinkat(folder, temporary.c_str(), 0);
            r.error = std::move(why);
            return r;
        }
    }
    if (disk().rename(folder, temporary.c_str(), name.c_str()) != 0) {
        const int err = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        r.error = errnoText(err);
        return r;
    }
    ::fsync(folder);  // the rename itself on the disk; a failure here loses nothing already renamed
    r.ok = true;
    return r;
}

WriteResult writeTextLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return writeFileAtomic(path, encodeForReaders(text));
}

FileStamp fileStamp(const std::string& path)
{
    FileStamp stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<long long>(st.st_size);
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return stamp;
}

std::string fileIdentity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

bool sameFile(const std::string& a, const std::string& b)
{
    const std::string id = fileIdentity(a);
    return !id.empty() && id == fileIdentity(b);
}

bool isWriteProtected(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return protectedFile(AT_FDCWD, path.c_str(), st);
}

bool folderAcceptsNewFile(const std::string& folder)
{
    if (folder.empty()) return false;
    std::string probe = folder;
    if (probe.back() != '/') probe += '/';
    probe += "Test.XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());  // a probe that stays behind still showed the folder takes files
    return true;
}

std::string nonRegularKind(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ELOOP ? "a link that leads round in a circle" : "";
    return S_ISREG(st.st_mode) ? "" : fileKind(st.st_mode);
}

}  // namespace platform
