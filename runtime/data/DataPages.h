#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formdesc/FormModel.h"
#include "runtime/data/DataLineReader.h"
#include "runtime/data/PageBuffer.h"

// Pages of a data file: every `rows` lines make one page, a partly filled last
// page counts as a page. The functions report failure (data file missing,
// without a single line, or a read of it failed) by their result; the job
// shows the message.
//
// Every loop over the lines calls `beforeLine`, when given, before it handles
// each line, so that the caller can keep its windows responsive.
namespace runtime {

using LineHook = void (*)();

// The rows of a page as the functions below use them: a checked form has
// 1..255; anything else is brought into 1..kMaxPageRecords.
int rowsPerPage(int rows);

// The number of pages of the whole input, from its start. Nothing when the
// file cannot be opened, has no line or cannot be read to its end. Saturates
// at the largest int.
std::optional<int> countPages(DataLineReader& reader, int rows, LineHook beforeLine = nullptr);
std::optional<int> countPages(const std::string& path, int rows, LineHook beforeLine = nullptr);
// The same, noting on the way where page `wanted` starts, so that a print of
// a part can begin there without reading the pages before it again; `start`
// is left as it is when the input has fewer pages.
std::optional<int> countPages(const std::string& path, int rows, int wanted, FilePosition& start,
                              LineHook beforeLine = nullptr);

struct PageEntry {
    int pageNumber;        // from 1
    FilePosition position; // of the page's first line
};

struct PageIndex {
    std::vector<PageEntry> entries; // in page order
    int pageCount = 0;

    const PageEntry* find(int pageNumber) const;
};

// Where every page starts. Nothing when the file cannot be opened, has no
// line or cannot be read. The index grows by one entry per page, never with
// line length.
std::optional<PageIndex> buildPageIndex(DataLineReader& reader, int rows, LineHook beforeLine = nullptr);
std::optional<PageIndex> buildPageIndex(const std::string& path, int rows, LineHook beforeLine = nullptr);

// Fills the page buffer with the page that starts at the position: up to
// form.rows lines, fewer at the end of the file. Fails, leaving the buffer
// untouched, when the file cannot be opened, holds no line at the position or
// a read fails.
bool loadPage(DataLineReader& reader, FilePosition position, const formdesc::FormInfo& form, PageBuffer& page,
              LineHook beforeLine = nullptr);
bool loadPage(const std::string& path, FilePosition position, const formdesc::FormInfo& form,
              PageBuffer& page, LineHook beforeLine = nullptr);

// Loads the indexed page of that number; fails when the index has no such
// page or the load fails (the buffer then keeps the current page).
bool goToPage(const std::string& path, const PageIndex& index, int pageNumber, const formdesc::FormInfo& form,
              PageBuffer& page, LineHook beforeLine = nullptr);

} // namespace runtime
