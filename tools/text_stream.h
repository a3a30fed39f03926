// The block loop of lork2-text: a text is read a block at a time, each block
// is converted and written before the next is read, so memory stays the same
// whatever the size of the input. Output goes to standard output, or to OUT
// through a temporary file beside it that replaces OUT only when everything
// succeeded. Every command reads, writes and reports its errors through here.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/unicode/utf16.h"

// The size of a block read at a time.
constexpr std::size_t kTextBlock = 1 << 20;

// Prints "lork2-text: NAME: reason" for a file that cannot be read or
// written (`error` an errno value) and returns the exit status 1.
int FileError(const std::string& name, int error);

// Prints "lork2-text: MESSAGE (see 'lork2-text --help')" for a bad command
// line and returns the exit status 2.
int Usage(const std::string& message);
// The same for a code page lork2-text does not know among the encodings
// 0..highest of encodings.h: "unknown code page 'NAME' (ansi, oem or koi8)".
int UnknownCodePage(const std::string& name, int highest);

bool IsStandardInput(const std::string& name); // "" or "-"
std::string DisplayName(const std::string& name);

// A named file or standard input, read in blocks.
class TextInput {
  public:
    TextInput() = default;
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;
    ~TextInput();
    // Returns 0 or errno (EISDIR for a folder).
    int Open(const std::string& name);
    // Reads up to `n` bytes: the count, 0 at the end of the text; on a read
    // error 0 with error() set.
    std::size_t Read(unsigned char* p, std::size_t n);
    // Reads up to `n` bytes from the start as a sample; later reads return
    // these bytes again first. Returns error() (0 on success).
    int ReadSample(std::vector<unsigned char>& sample, std::size_t n);
    // Replaces `into` with up to `n` bytes, fewer only at the end of the
    // text. Returns error() (0 on success).
    int ReadFull(std::vector<unsigned char>& into, std::size_t n);
    // Hands `bytes` out again before anything further is read (when no
    // sample is pending).
    void Unread(std::vector<unsigned char> bytes);
    // From here on the bytes still unread are UTF-16 (the mark already
    // read), and reads give their text as UTF-8.
    void DecodeUtf16(bool bigEndian);
    // The '?' the decoding wrote for surrogates without a partner and a
    // lone last byte.
    std::size_t utf16Substitutes() const { return utf16_.substitutes; }
    int error() const { return error_; }
    const std::string& name() const { return name_; } // as DisplayName gives it

  private:
    std::size_t ReadBytes(unsigned char* p, std::size_t n);
    std::size_t ReadDecoded(unsigned char* p, std::size_t n);

    int fd_ = -1;
    bool own_ = false;
    int error_ = 0;
    std::string name_;
    std::vector<unsigned char> again_; // a sample to hand out again
    std::size_t againAt_ = 0;
    bool decodeUtf16_ = false;
    bool rawEnded_ = false;
    Utf16Decoding utf16_;
    std::vector<unsigned char> raw_;     // a block of UTF-16 as read
    std::vector<unsigned char> decoded_; // and as UTF-8, handed out from decodedAt_
    std::size_t decodedAt_ = 0;
};

// Standard output, or the file OUT written through a temporary file in the
// same folder and a rename, so that OUT is either the old file or the whole
// new one. A symbolic link OUT stays a link: its target is replaced, keeping
// its mode.
class TextOutput {
  public:
    explicit TextOutput(std::string out) : out_(std::move(out)) {}
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    ~TextOutput();
    // Returns 0, or 1 after the message.
    int Open();
    // False from the first failed write on; nothing more is written then.
    bool Write(const unsigned char* p, std::size_t n);
    bool ok() const { return error_ == 0; }
    // Write as a ByteSink (paragraph.h) with the output as its context.
    static bool Sink(void* self, const unsigned char* p, std::size_t n);
    // Ends the output; OUT is replaced only when nothing failed and `failed`
    // is false. Returns 0, or 1 after the message for a failed write.
    int Close(bool failed);

  private:
    std::string out_;
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
    bool closed_ = false;
};

// One step of the loop: text[0..n) is what the step before kept at the front
// of the buffer followed by the block just read; `end` says the text ends
// after it (the last call, n possibly 0). The step writes what it can to
// `out` and returns how many bytes it moved to the front of `text` to be
// continued (less than kTextBlock; usually 0).
using TextStep = std::function<std::size_t(unsigned char* text, std::size_t n, bool end, TextOutput& out)>;

// Runs the opened `input` through `step` to standard output or to OUT
// (`out`, "" for standard output). Returns the exit status: 0, or 1 after a
// message naming the file that failed, OUT then left as it was.
int StreamText(TextInput& input, const std::string& out, const TextStep& step);
// The same into an output already open, which stays open for more: 0, or 1
// after the message for a failed read; a failed write shows in out.ok().
int StreamTextInto(TextInput& input, TextOutput& out, const TextStep& step);

// Writes `data` whole to standard output or OUT; returns the exit status.
int WriteText(const std::string& out, const unsigned char* data, std::size_t n);
