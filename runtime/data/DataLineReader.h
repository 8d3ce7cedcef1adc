#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Reads a data file line by line the way the runtime sees it:
//
// - Text mode: a carriage return right before a line feed is dropped. Any
//   other carriage return (old CR-only line ends, stray CRs) is an ordinary
//   byte: it never ends a line, so a CR-only file reads as one long line that
//   arrives in 255-byte parts.
// - Lines arrive in parts of at most 255 bytes (a 256-byte line buffer); a
//   longer line gives several parts. The line feed, when it was read, stays at
//   the end of its part.
// - NUL bytes are ordinary bytes too: parts are counted in bytes, never cut at
//   a NUL.
//
// The file is read in blocks of our own; memory use is fixed and does not grow
// with line length or file length. Positions are byte offsets into the raw
// file, so a page can be found again with seek().
namespace runtime {

using FilePosition = std::uint64_t;

class DataLineReader {
  public:
    static constexpr std::size_t kMaxPartBytes = 255;
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    // A carriage return needs the byte after it in the same block.
    static constexpr std::size_t kMinBlockBytes = 2;

    // Tests pass tiny blocks to exercise lines that cross block boundaries.
    explicit DataLineReader(std::size_t blockBytes = kBlockBytes);
    ~DataLineReader();
    DataLineReader(const DataLineReader&) = delete;
    DataLineReader& operator=(const DataLineReader&) = delete;

    // Opens a regular file for reading. Anything else (missing file,
    // directory, device, pipe) fails: a data file is read more than once and
    // must be seekable, and an endless device would never end its line.
    bool open(const std::string& path);
    // Reads from bytes that the caller keeps alive while the reader uses them.
    void openMemory(std::string_view bytes);
    void close();
    bool isOpen() const;

    // The next line part, valid until the next call on this reader; nothing at
    // the end of the input, and nothing from a read error on (the part it cut
    // short included): failed() tells the two apart.
    std::optional<std::string_view> readLine();
    // True once a read of the file failed; it stays so until the next open.
    bool failed() const { return m_failed; }

    // Offset of the first byte that readLine() will deliver next.
    FilePosition position() const { return m_position; }
    // Continues reading at an offset that position() returned; an offset past
    // the end reads as the end of the input.
    void seek(FilePosition position);

  private:
    bool fill(std::size_t wanted);
    std::size_t available() const { return m_end - m_next; }

    std::size_t m_blockBytes;
    int m_fd = -1;
    bool m_memoryOpen = false;
    bool m_failed = false;
    std::unique_ptr<char[]> m_block;
    // Unread window: [m_next, m_end) of either m_block or the memory source.
    const char* m_next = nullptr;
    const char* m_end = nullptr;
    std::string_view m_memory;
    FilePosition m_position = 0;
    char m_part[kMaxPartBytes + 1] = {};
};

} // namespace runtime
