// Data files from outside: page counting, the page index, page loading and the
// streaming page reader must cope with any bytes and agree with each other,
// whether the bytes come from memory or from a file read in small blocks; the
// same bytes read as UTF-8 convert alike whole and in pieces.
//
// Input: byte 0 rows, byte 1 columns, byte 2 flags (bit 0 tag mode, bits 1-7
// the block size of the file reader), then the data file.
#include "runtime/compose/PageRules.h"
#include "runtime/data/DataLineReader.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/PageReader.h"
#include "runtime/data/Utf8DataConverter.h"

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// A broken promise names its line before the crash that the fuzzer keeps.
void require(bool condition, unsigned line = __builtin_LINE()) {
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_data: broken at line %u\n", line);
    std::abort();
}

bool samePage(const runtime::PageBuffer& a, const runtime::PageBuffer& b) {
    if (a.count() != b.count())
        return false;
    for (int j = 0; j < a.count(); ++j)
        if (std::memcmp(&a[j], &b[j], sizeof(runtime::DataRecord)) != 0)
            return false;
    return true;
}

// The same bytes read as UTF-8, converted whole and in pieces of the block
// size: the same code page 932 bytes and the same replacements; line feeds
// survive one for one and the output never grows beyond twice the input.
void checkUtf8Conversion(std::string_view bytes, std::size_t pieceBytes) {
    runtime::Utf8DataConverter whole;
    std::string expected;
    require(whole.convert(bytes, true, expected) == bytes.size());
    runtime::Utf8DataConverter pieces;
    std::string actual;
    std::string pending;
    for (std::size_t at = 0; at < bytes.size(); at += pieceBytes) {
        pending.append(bytes.substr(at, pieceBytes));
        pending.erase(0, pieces.convert(pending, at + pieceBytes >= bytes.size(), actual));
    }
    require(pending.empty() || bytes.empty());
    require(actual == expected);
    require(pieces.replacements() == whole.replacements());
    require(pieces.firstReplacedLine() == whole.firstReplacedLine());
    require((whole.replacements() == 0) == (whole.firstReplacedLine() == 0));
    require(std::count(expected.begin(), expected.end(), '\n') ==
            std::count(bytes.begin(), bytes.end(), '\n'));
    require(expected.size() <= 2 * bytes.size());
}

// The data as a file that lives in memory only.
class MemoryFile {
  public:
    explicit MemoryFile(std::string_view bytes) {
        m_fd = ::memfd_create("zrk-fuzz-data", MFD_CLOEXEC);
        if (m_fd < 0)
            return;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t got = ::write(m_fd, bytes.data() + written, bytes.size() - written);
            if (got <= 0)
                std::abort();
            written += static_cast<std::size_t>(got);
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const std::string& path() const { return m_path; }

  private:
    int m_fd = -1;
    std::string m_path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    formdesc::FormInfo form{};
    form.rows = data[0];
    form.columns = data[1];
    form.tagMode = data[2] & 1;
    const std::size_t blockBytes = (data[2] >> 1) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
    checkUtf8Conversion(bytes, blockBytes);

    runtime::DataLineReader memory;
    memory.openMemory(bytes);
    const auto pageCount = runtime::countPages(memory, form.rows);
    require(pageCount.has_value() == !bytes.empty());
    const auto index = runtime::buildPageIndex(memory, form.rows);
    require(index.has_value() == pageCount.has_value());
    if (!index)
        return 0;
    require(index->pageCount == *pageCount);
    require(index->entries.size() == static_cast<std::size_t>(*pageCount));

    // The print loop's pages are the preview's pages.
    auto streamed = std::make_unique<runtime::PageBuffer>();
    auto loaded = std::make_unique<runtime::PageBuffer>();
    runtime::PageReader pages;
    pages.openMemory(bytes);
    while (pages.nextPage(*streamed, form)) {
        const int number = pages.pageNumber();
        require(number <= *pageCount);
        const runtime::PageEntry* entry = index->find(number);
        require(entry != nullptr);
        require(runtime::loadPage(memory, entry->position, form, *loaded));
        require(samePage(*streamed, *loaded));
        require(loaded->count() == (number < *pageCount ? runtime::rowsPerPage(form.rows) : loaded->count()));
        for (int j = 0; j < loaded->count(); ++j) {
            const runtime::DataRecord& record = (*loaded)[j];
            require(record.tagView().size() <= 8);
            require(std::memchr(record.text, '\0', sizeof(record.text)) == nullptr);
            formdesc::FieldInfo field{};
            std::memcpy(field.tag, record.tag, sizeof(field.tag));
            field.startRow = field.endRow = j + 1;
            require(runtime::fieldAppliesTo(field, record, j, form.tagMode != 0));
        }
    }
    require(pages.pageNumber() == *pageCount);

    // The same bytes as a file, read in small blocks: the same parts, the same
    // pages.
    const MemoryFile file(bytes);
    if (file.path().empty())
        return 0;
    runtime::DataLineReader fromFile(blockBytes);
    require(fromFile.open(file.path()));
    memory.seek(0);
    for (;;) {
        require(fromFile.position() == memory.position());
        const auto a = memory.readLine();
        std::string first = a ? std::string(*a) : std::string();
        const auto b = fromFile.readLine();
        require(a.has_value() == b.has_value());
        if (!a)
            break;
        require(first == *b);
    }
    require(runtime::countPages(file.path(), form.rows) == pageCount);
    require(runtime::goToPage(file.path(), *index, *pageCount, form, *loaded));
    require(runtime::loadPage(memory, index->entries.back().position, form, *streamed));
    require(samePage(*streamed, *loaded));
    return 0;
}
