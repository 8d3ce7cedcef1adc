#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/data/DataLineReader.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/PageBuffer.h"

namespace runtime {

// Streams a data file page by page for the print loop: full pages of
// form.rows records, then the partly filled last page, and never an empty page
// after a full one. The file stays open from the first line to the last page.
//
//     PageReader pages;
//     if (!pages.open(path)) -> data file cannot be opened
//     if (pages.atEnd())     -> no line (or the first read failed)
//     while (pages.nextPage(buffer, form, hook))
//         print page pages.pageNumber(); it is the last one when it equals the count
//     if (pages.failed())    -> a read failed: the pages so far are not the file
class PageReader {
  public:
    // Opens the file and reads its first line; false when it cannot be opened.
    bool open(const std::string& path);
    // Opens the file at the start of a page that countPages() or the page
    // index found, the pages numbered from firstPageNumber on.
    bool open(const std::string& path, FilePosition start, int firstPageNumber);
    // The same over bytes that the caller keeps alive.
    void openMemory(std::string_view bytes);

    // True when no line is left (right after open: the file has no line).
    bool atEnd() const { return !m_pending.has_value(); }

    // Fills the buffer with the next page. Returns false when no line is
    // left, and when a read fails before the page is full (a page cut short
    // by a read error is never delivered).
    bool nextPage(PageBuffer& page, const formdesc::FormInfo& form, LineHook beforeLine = nullptr);

    // True once a read of the file failed.
    bool failed() const { return m_reader.failed(); }

    // The number of the page last delivered by nextPage(), from 1; 0 before.
    int pageNumber() const { return m_pageNumber; }

  private:
    DataLineReader m_reader;
    std::optional<std::string_view> m_pending;
    int m_pageNumber = 0;
};

} // namespace runtime
