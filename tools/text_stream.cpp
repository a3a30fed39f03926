#include "tools/text_stream.h"

#include "core/charset/encodings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

const char kProgram[] = "lork2-text";

#ifdef _WIN32
int SysRead(int fd, unsigned char* p, std::size_t n) { return _read(fd, p, static_cast<unsigned>(n)); }
int SysWrite(int fd, const unsigned char* p, std::size_t n) { return _write(fd, p, static_cast<unsigned>(n)); }
int SysClose(int fd) { return _close(fd); }
#else
ssize_t SysRead(int fd, unsigned char* p, std::size_t n) { return read(fd, p, n); }
ssize_t SysWrite(int fd, const unsigned char* p, std::size_t n) { return write(fd, p, n); }
int SysClose(int fd) { return close(fd); }
#endif

std::string TempName(const std::string& out, int attempt) {
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(getpid());
#endif
    return out + ".tmp-" + std::to_string(pid) + "-" + std::to_string(attempt);
}

// Moves the finished temporary file over OUT. Returns 0 or errno.
int Replace(const std::string& temp, const std::string& out) {
#ifdef _WIN32
    if (!MoveFileExA(temp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return 0;
#else
    struct stat old;
    if (stat(out.c_str(), &old) == 0 && !S_ISDIR(old.st_mode)) (void)chmod(temp.c_str(), old.st_mode & 07777);
    return std::rename(temp.c_str(), out.c_str()) != 0 ? errno : 0;
#endif
}

// The file a name leads to: a symbolic link's target (so that writing
// through the link keeps the link), else the name itself.
std::string ResolvedTarget(const std::string& out) {
#ifndef _WIN32
    struct stat link;
    if (lstat(out.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* full = realpath(out.c_str(), nullptr)) {
            std::string target(full);
            std::free(full);
            return target;
        }
    }
#endif
    return out;
}

} // namespace

int FileError(const std::string& name, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, name.c_str(), std::strerror(error));
    return 1;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "%s: %s (see '%s --help')\n", kProgram, message.c_str(), kProgram);
    return 2;
}

int UnknownCodePage(const std::string& name, int highest) {
    std::string names;
    for (int e = 0; e <= highest; ++e)
        names += std::string(e == 0 ? "" : e == highest ? " or " : ", ") + kEncodings[e].cliName;
    return Usage("unknown code page '" + name + "' (" + names + ")");
}

bool IsStandardInput(const std::string& name) { return name.empty() || name == "-"; }
std::string DisplayName(const std::string& name) { return IsStandardInput(name) ? "standard input" : name; }

TextInput::~TextInput() {
    if (own_) SysClose(fd_);
}

int TextInput::Open(const std::string& name) {
    name_ = DisplayName(name);
    if (IsStandardInput(name)) {
        fd_ = 0;
        return 0;
    }
#ifdef _WIN32
    fd_ = _open(name.c_str(), _O_RDONLY | _O_BINARY);
#else
    fd_ = open(name.c_str(), O_RDONLY | O_BINARY);
#endif
    if (fd_ < 0) return error_ = errno ? errno : EIO;
    own_ = true;
    struct stat st;
    if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) return error_ = EISDIR;
#if defined(POSIX_FADV_SEQUENTIAL)
    (void)posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return 0;
}

std::size_t TextInput::Read(unsigned char* p, std::size_t n) {
    if (error_ || n == 0) return 0;
    if (againAt_ < again_.size()) {
        const std::size_t part = std::min(n, again_.size() - againAt_);
        std::memcpy(p, again_.data() + againAt_, part);
        againAt_ += part;
        if (againAt_ == again_.size()) {
            again_.clear();
            again_.shrink_to_fit();
            againAt_ = 0;
        }
        return part;
    }
    return decodeUtf16_ ? ReadDecoded(p, n) : ReadBytes(p, n);
}

std::size_t TextInput::ReadBytes(unsigned char* p, std::size_t n) {
    for (;;) {
        const auto got = SysRead(fd_, p, std::min<std::size_t>(n, 1u << 30));
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno == EINTR) continue;
        error_ = errno ? errno : EIO;
        return 0;
    }
}

void TextInput::DecodeUtf16(bool bigEndian) {
    decodeUtf16_ = true;
    utf16_ = Utf16Decoding{};
    utf16_.bigEndian = bigEndian;
}

// A quarter of a block of UTF-16 at a time: its UTF-8 is at most three
// eighths of a block, beside the block the caller reads into.
std::size_t TextInput::ReadDecoded(unsigned char* p, std::size_t n) {
    constexpr std::size_t kRawBlock = kTextBlock / 4;
    // A read that ends inside a unit or on a leading surrogate decodes to
    // nothing yet: read on until there is text or the input ends.
    while (decodedAt_ == decoded_.size()) {
        if (rawEnded_) return 0;
        raw_.resize(kRawBlock);
        const std::size_t got = ReadBytes(raw_.data(), raw_.size());
        if (error_) return 0;
        rawEnded_ = got == 0;
        decoded_.resize(Utf16ToUtf8Room(got));
        decoded_.resize(Utf16ToUtf8(utf16_, raw_.data(), got, rawEnded_, decoded_.data()));
        decodedAt_ = 0;
    }
    const std::size_t part = std::min(n, decoded_.size() - decodedAt_);
    std::memcpy(p, decoded_.data() + decodedAt_, part);
    decodedAt_ += part;
    return part;
}

int TextInput::ReadFull(std::vector<unsigned char>& into, std::size_t n) {
    into.resize(n);
    std::size_t have = 0;
    while (have < n) {
        const std::size_t got = Read(into.data() + have, n - have);
        if (got == 0) break;
        have += got;
    }
    into.resize(have);
    return error_;
}

void TextInput::Unread(std::vector<unsigned char> bytes) {
    again_ = std::move(bytes);
    againAt_ = 0;
}

int TextInput::ReadSample(std::vector<unsigned char>& sample, std::size_t n) {
    if (ReadFull(sample, n)) return error_;
    Unread(sample);
    return 0;
}

TextOutput::~TextOutput() {
    if (!closed_) Close(true);
}

int TextOutput::Open() {
    if (out_.empty()) {
        fd_ = 1;
        return 0;
    }
    target_ = ResolvedTarget(out_);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = TempName(target_, attempt);
#ifdef _WIN32
        fd_ = _open(temp_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
#endif
        if (fd_ < 0 && errno != EEXIST) {
            closed_ = true;
            return FileError(out_, errno);
        }
    }
    if (fd_ < 0) {
        closed_ = true;
        return FileError(out_, EEXIST);
    }
    return 0;
}

bool TextOutput::Write(const unsigned char* p, std::size_t n) {
    while (n > 0 && !error_) {
        const auto w = SysWrite(fd_, p, std::min<std::size_t>(n, 1u << 30));
        if (w < 0) {
            if (errno != EINTR) error_ = errno ? errno : EIO;
            continue;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return !error_;
}

bool TextOutput::Sink(void* self, const unsigned char* p, std::size_t n) {
    return static_cast<TextOutput*>(self)->Write(p, n);
}

int TextOutput::Close(bool failed) {
    if (closed_) return error_ ? 1 : 0;
    closed_ = true;
    if (out_.empty()) return error_ ? FileError("standard output", error_) : 0;
#ifndef _WIN32
    if (!error_ && !failed && fsync(fd_) != 0 && errno != EINVAL) error_ = errno;
#endif
    if (SysClose(fd_) != 0 && !error_) error_ = errno;
    if (!error_ && !failed) error_ = Replace(temp_, target_);
    if (error_ || failed) std::remove(temp_.c_str());
    return error_ ? FileError(out_, error_) : 0;
}

int StreamTextInto(TextInput& input, TextOutput& output, const TextStep& step) {
    std::vector<unsigned char> buffer(kTextBlock);
    std::size_t kept = 0;
    for (;;) {
        const std::size_t got = input.Read(buffer.data() + kept, buffer.size() - kept);
        if (input.error()) return FileError(input.name(), input.error());
        const bool end = got == 0;
        kept = step(buffer.data(), kept + got, end, output);
        if (!output.ok() || end) return 0;
        // No step keeps that much; refuse rather than loop.
        if (kept >= buffer.size()) return FileError(input.name(), EOVERFLOW);
    }
}

int StreamText(TextInput& input, const std::string& out, const TextStep& step) {
    TextOutput output(out);
    if (int status = output.Open()) return status;
    if (int status = StreamTextInto(input, output, step)) {
        output.Close(true);
        return status;
    }
    return output.Close(false);
}

int WriteText(const std::string& out, const unsigned char* data, std::size_t n) {
    TextOutput output(out);
    if (int status = output.Open()) return status;
    output.Write(data, n);
    return output.Close(false);
}
