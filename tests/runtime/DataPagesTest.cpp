#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "runtime/data/DataPages.h"
#include "runtime/data/PageReader.h"
#include "tests/runtime/DataFileFixture.h"

using runtime::PageBuffer;
using runtime::PageReader;
using runtime::testing::formWith;
using runtime::testing::numberedLines;
using runtime::testing::TempDataFile;

namespace {

using namespace std::string_literals;

// The first cells of every record of a page, trailing blanks removed.
std::vector<std::string> rowsOf(const PageBuffer& page) {
    std::vector<std::string> rows;
    for (const auto& record : page.records()) {
        std::string text(record.text, sizeof(record.text));
        text.erase(text.find_last_not_of(' ') + 1);
        rows.push_back(text);
    }
    return rows;
}

struct PagingCase {
    const char* name;
    std::string data;
    int rows;
    std::optional<int> pageCount;
    std::vector<std::vector<std::string>> pages; // the rows of every page
};

const std::vector<PagingCase>& pagingCases() {
    static const std::vector<PagingCase> cases = {
        {"SevenLinesInThrees", numberedLines(7), 3, 3, {{"L1", "L2", "L3"}, {"L4", "L5", "L6"}, {"L7"}}},
        {"SixLinesNoEmptyThirdPage", numberedLines(6), 3, 2, {{"L1", "L2", "L3"}, {"L4", "L5", "L6"}}},
        {"CrLfLikeLf", numberedLines(4, "\r\n"), 3, 2, {{"L1", "L2", "L3"}, {"L4"}}},
        {"LastLineWithoutLf", "A\nB\nC", 2, 2, {{"A", "B"}, {"C"}}},
        {"BlankLinesAreRows", "\n\nX\n", 2, 2, {{"", ""}, {"X"}}},
        {"LongLineFillsTwoRows",
         std::string(300, 'a') + "\nB\n",
         3,
         1,
         {{std::string(80, 'a'), std::string(45, 'a'), "B"}}},
        {"LongLineAcrossPages",
         std::string(300, 'a') + "\nB\n",
         1,
         3,
         {{std::string(80, 'a')}, {std::string(45, 'a')}, {"B"}}},
        {"CrOnlyIsOneLongLine", "A\rB\rC\r", 2, 1, {{"A B C"}}},
        {"ZeroRowsTakenAsOne", "A\nB\n", 0, 2, {{"A"}, {"B"}}},
        {"EmptyFileHasNoPage", "", 3, std::nullopt, {}},
    };
    return cases;
}

class Paging : public ::testing::TestWithParam<PagingCase> {};

TEST_P(Paging, CountsPages) {
    const TempDataFile file(GetParam().data);
    EXPECT_EQ(runtime::countPages(file.path(), GetParam().rows), GetParam().pageCount);
}

TEST_P(Paging, PageReaderYieldsThePages) {
    const TempDataFile file(GetParam().data);
    const auto form = formWith(80, GetParam().rows);
    PageReader reader;
    ASSERT_TRUE(reader.open(file.path()));
    EXPECT_EQ(reader.atEnd(), GetParam().pages.empty());
    std::vector<std::vector<std::string>> pages;
    PageBuffer page;
    while (reader.nextPage(page, form)) {
        pages.push_back(rowsOf(page));
        EXPECT_EQ(reader.pageNumber(), static_cast<int>(pages.size()));
    }
    EXPECT_EQ(pages, GetParam().pages);
}

TEST_P(Paging, IndexReloadsEveryPage) {
    const TempDataFile file(GetParam().data);
    const auto form = formWith(80, GetParam().rows);
    const auto index = runtime::buildPageIndex(file.path(), GetParam().rows);
    ASSERT_EQ(index.has_value(), GetParam().pageCount.has_value());
    if (!index)
        return;
    EXPECT_EQ(index->pageCount, *GetParam().pageCount);
    ASSERT_EQ(index->entries.size(), GetParam().pages.size());
    // Out of order, as a user pages back and forth.
    PageBuffer page;
    for (int number = index->pageCount; number >= 1; --number) {
        ASSERT_TRUE(runtime::goToPage(file.path(), *index, number, form, page)) << number;
        EXPECT_EQ(rowsOf(page), GetParam().pages[static_cast<std::size_t>(number - 1)]) << number;
    }
}

// A part of the job (print --pages): the count notes where its first page
// starts, and the reader opened there yields the rest of the job with the
// job's page numbers; a part beyond the last page finds no start.
TEST_P(Paging, PartStartsAtItsFirstPage) {
    const TempDataFile file(GetParam().data);
    const auto form = formWith(80, GetParam().rows);
    const int pageCount = static_cast<int>(GetParam().pages.size());
    for (int first = 1; first <= pageCount + 1; ++first) {
        constexpr runtime::FilePosition kUnset = 999999;
        runtime::FilePosition start = kUnset;
        EXPECT_EQ(runtime::countPages(file.path(), GetParam().rows, first, start), GetParam().pageCount);
        if (first > pageCount) {
            EXPECT_EQ(start, kUnset);
            continue;
        }
        PageReader reader;
        ASSERT_TRUE(reader.open(file.path(), start, first));
        std::vector<std::vector<std::string>> pages;
        PageBuffer page;
        while (reader.nextPage(page, form)) {
            pages.push_back(rowsOf(page));
            EXPECT_EQ(reader.pageNumber(), first - 1 + static_cast<int>(pages.size()));
        }
        const auto& all = GetParam().pages;
        EXPECT_EQ(pages, decltype(pages)(all.begin() + (first - 1), all.end())) << "from page " << first;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Paging, ::testing::ValuesIn(pagingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageIndex, EntriesHoldPageNumbersAndLineOffsets) {
    const TempDataFile file("AB\r\nC\nD\nE\n");
    const auto index = runtime::buildPageIndex(file.path(), 2);
    ASSERT_TRUE(index);
    ASSERT_EQ(index->entries.size(), 2u);
    EXPECT_EQ(index->entries[0].pageNumber, 1);
    EXPECT_EQ(index->entries[0].position, 0u);
    EXPECT_EQ(index->entries[1].pageNumber, 2);
    EXPECT_EQ(index->entries[1].position, 6u);
    EXPECT_EQ(index->find(2), &index->entries[1]);
    EXPECT_EQ(index->find(0), nullptr);
    EXPECT_EQ(index->find(3), nullptr);
}

TEST(PageIndex, TagModePagesReloadWithTheirTags) {
    const TempDataFile file("NAME   |Taro\r\naddr    Tokyo\r\nNAME    Hanako\r\n");
    const auto form = formWith(40, 2, true);
    const auto index = runtime::buildPageIndex(file.path(), form.rows);
    ASSERT_TRUE(index);
    PageBuffer page;
    ASSERT_TRUE(runtime::goToPage(file.path(), *index, 2, form, page));
    ASSERT_EQ(page.count(), 1);
    EXPECT_EQ(page[0].tagView(), "NAME");
    EXPECT_EQ(page[0].columns(1, 7), "Hanako ");
    ASSERT_TRUE(runtime::goToPage(file.path(), *index, 1, form, page));
    EXPECT_EQ(page[1].tagView(), "ADDR");
    EXPECT_EQ(page[1].columns(1, 6), "Tokyo ");
}

TEST(LoadPage, FailureKeepsTheCurrentPage) {
    const TempDataFile file(numberedLines(4));
    const auto form = formWith(80, 2);
    PageBuffer page;
    ASSERT_TRUE(runtime::loadPage(file.path(), 0, form, page));
    const auto before = rowsOf(page);

    runtime::PageIndex index;
    index.entries = {{1, 0}, {2, 1000}};
    index.pageCount = 2;
    EXPECT_FALSE(runtime::goToPage(file.path(), index, 2, form, page)); // past the end
    EXPECT_FALSE(runtime::goToPage(file.path(), index, 3, form, page)); // no such page
    EXPECT_FALSE(runtime::loadPage(file.path() + ".missing", 0, form, page));
    EXPECT_EQ(rowsOf(page), before);
}

TEST(DataPages, MissingFileFails) {
    const std::string missing = "/nonexistent-zrk-dir/data.dat";
    EXPECT_FALSE(runtime::countPages(missing, 3));
    EXPECT_FALSE(runtime::buildPageIndex(missing, 3));
    PageReader reader;
    EXPECT_FALSE(reader.open(missing));
    PageBuffer page;
    EXPECT_FALSE(reader.nextPage(page, formWith(80, 3)));
}

int g_hookCalls = 0;
void countHookCall() {
    ++g_hookCalls;
}

TEST(DataPages, HookRunsBeforeEveryLine) {
    const TempDataFile file(numberedLines(7));
    const auto form = formWith(80, 3);
    g_hookCalls = 0;
    EXPECT_EQ(runtime::countPages(file.path(), 3, countHookCall), 3);
    EXPECT_EQ(g_hookCalls, 7);

    g_hookCalls = 0;
    ASSERT_TRUE(runtime::buildPageIndex(file.path(), 3, countHookCall));
    EXPECT_EQ(g_hookCalls, 7);

    g_hookCalls = 0;
    PageBuffer page;
    ASSERT_TRUE(runtime::loadPage(file.path(), 0, form, page, countHookCall));
    EXPECT_EQ(g_hookCalls, 3);

    g_hookCalls = 0;
    PageReader reader;
    ASSERT_TRUE(reader.open(file.path()));
    while (reader.nextPage(page, form, countHookCall)) {
    }
    EXPECT_EQ(g_hookCalls, 7);
}

// Heap in use, as far as glibc tells (0 under a sanitizer's allocator).
std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::size_t g_heapBase = 0;
std::size_t g_heapPeak = 0;
void sampleHeap() {
    g_heapPeak = std::max(g_heapPeak, heapInUse());
}

// A 24 MB line without a line end, and the same as CR-only noise: memory must
// not follow the line length.
TEST(DataPages, HugeLinesAreStreamed) {
    for (const char filler : {'a', '\r', '\0'}) {
        const std::size_t size = 24u << 20;
        const TempDataFile file(std::string(size, filler));
        const std::size_t parts = (size + 254) / 255;
        const auto form = formWith(255, 200);

        g_heapBase = g_heapPeak = heapInUse();
        EXPECT_EQ(runtime::countPages(file.path(), form.rows, sampleHeap),
                  static_cast<int>((parts + 199) / 200));
        const auto index = runtime::buildPageIndex(file.path(), form.rows, sampleHeap);
        ASSERT_TRUE(index);
        PageBuffer page;
        ASSERT_TRUE(runtime::goToPage(file.path(), *index, index->pageCount, form, page, sampleHeap));
        EXPECT_EQ(page.count(), static_cast<int>(parts % 200));
        // The index (a few hundred entries) and the 64 KiB block are all that may grow.
        EXPECT_LT(g_heapPeak - g_heapBase, 256u * 1024u) << "filler " << int(filler);
    }
}

} // namespace
