#include "runtime/data/DataPages.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

namespace runtime {

namespace {

void callHook(LineHook hook) {
    if (hook)
        hook();
}

} // namespace

int rowsPerPage(int rows) {
    return std::clamp(rows, 1, kMaxPageRecords);
}

namespace {

// Counts the pages, noting in `start` (when given) where the line `startLine`
// begins.
std::optional<int> countFrom(DataLineReader& reader, int rows, LineHook beforeLine, std::uint64_t startLine,
                             FilePosition* start) {
    if (!reader.isOpen())
        return std::nullopt;
    reader.seek(0);
    std::uint64_t lines = 0;
    for (;;) {
        if (start && lines == startLine)
            *start = reader.position();
        if (!reader.readLine())
            break;
        callHook(beforeLine);
        ++lines;
    }
    if (lines == 0 || reader.failed())
        return std::nullopt;
    const auto perPage = static_cast<std::uint64_t>(rowsPerPage(rows));
    const std::uint64_t pages = lines / perPage + (lines % perPage != 0 ? 1 : 0);
    return static_cast<int>(std::min<std::uint64_t>(pages, INT_MAX));
}

} // namespace

std::optional<int> countPages(DataLineReader& reader, int rows, LineHook beforeLine) {
    return countFrom(reader, rows, beforeLine, 0, nullptr);
}

std::optional<int> countPages(const std::string& path, int rows, LineHook beforeLine) {
    DataLineReader reader;
    if (!reader.open(path))
        return std::nullopt;
    return countPages(reader, rows, beforeLine);
}

std::optional<int> countPages(const std::string& path, int rows, int wanted, FilePosition& start,
                              LineHook beforeLine) {
    DataLineReader reader;
    if (!reader.open(path))
        return std::nullopt;
    const auto startLine =
        static_cast<std::uint64_t>(std::max(wanted, 1) - 1) * static_cast<std::uint64_t>(rowsPerPage(rows));
    FilePosition found = 0;
    const std::optional<int> pages = countFrom(reader, rows, beforeLine, startLine, &found);
    // At the end of the input the position found is the end: no such page.
    if (pages && wanted <= *pages)
        start = found;
    return pages;
}

const PageEntry* PageIndex::find(int pageNumber) const {
    // Entries are built in order, so entry n - 1 normally is page n.
    if (pageNumber >= 1 && static_cast<std::size_t>(pageNumber) <= entries.size() &&
        entries[static_cast<std::size_t>(pageNumber - 1)].pageNumber == pageNumber)
        return &entries[static_cast<std::size_t>(pageNumber - 1)];
    const auto it = std::find_if(entries.begin(), entries.end(), [pageNumber](const PageEntry& entry) {
        return entry.pageNumber == pageNumber;
    });
    return it == entries.end() ? nullptr : &*it;
}

std::optional<PageIndex> buildPageIndex(DataLineReader& reader, int rows, LineHook beforeLine) {
    if (!reader.isOpen())
        return std::nullopt;
    reader.seek(0);
    const int perPage = rowsPerPage(rows);
    PageIndex index;
    FilePosition pageStart = reader.position();
    int sinceEntry = 0;
    auto append = [&] {
        index.entries.push_back({index.pageCount + 1, pageStart});
        ++index.pageCount;
    };
    while (reader.readLine()) {
        callHook(beforeLine);
        if (++sinceEntry == perPage) {
            append();
            pageStart = reader.position();
            sinceEntry = 0;
            if (index.pageCount == INT_MAX)
                return index; // no page number beyond this one
        }
    }
    if (reader.failed())
        return std::nullopt;
    if (sinceEntry > 0)
        append();
    if (index.pageCount == 0)
        return std::nullopt;
    return index;
}

std::optional<PageIndex> buildPageIndex(const std::string& path, int rows, LineHook beforeLine) {
    DataLineReader reader;
    if (!reader.open(path))
        return std::nullopt;
    return buildPageIndex(reader, rows, beforeLine);
}

bool loadPage(DataLineReader& reader, FilePosition position, const formdesc::FormInfo& form, PageBuffer& page,
              LineHook beforeLine) {
    if (!reader.isOpen())
        return false;
    reader.seek(position);
    auto line = reader.readLine();
    if (!line)
        return false;
    // Filled aside, so that a read error half way leaves the caller's page.
    const int perPage = rowsPerPage(form.rows);
    auto loaded = std::make_unique<PageBuffer>();
    while (line) {
        callHook(beforeLine);
        loaded->addRecord(*line, form);
        if (loaded->count() >= perPage)
            break;
        line = reader.readLine();
    }
    if (reader.failed())
        return false;
    page = *loaded;
    return true;
}

bool loadPage(const std::string& path, FilePosition position, const formdesc::FormInfo& form,
              PageBuffer& page, LineHook beforeLine) {
    DataLineReader reader;
    if (!reader.open(path))
        return false;
    return loadPage(reader, position, form, page, beforeLine);
}

bool goToPage(const std::string& path, const PageIndex& index, int pageNumber, const formdesc::FormInfo& form,
              PageBuffer& page, LineHook beforeLine) {
    const PageEntry* entry = index.find(pageNumber);
    if (!entry)
        return false;
    return loadPage(path, entry->position, form, page, beforeLine);
}

} // namespace runtime
