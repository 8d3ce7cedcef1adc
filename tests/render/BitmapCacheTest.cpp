#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formdesc/MessageSink.h"
#include "render/BitmapCache.h"
#include "render/FigureRenderer.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"
#include "tests/support/TempFolder.h"

using render::BitmapCache;
using testsupport::bitmapRecord;
using testsupport::RecordingBackend;
using Call = RecordingBackend::Call;

namespace fs = std::filesystem;

namespace {

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::uint64_t bmpFileSize(std::uint32_t width, std::uint32_t height) {
    return 54 + (std::uint64_t(width) * 3 + 3) / 4 * 4 * height;
}

// The 54-byte header of an uncompressed 24-bit BMP.
std::string bmpHeader(std::uint32_t width, std::uint32_t height) {
    std::string bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, std::uint32_t(bmpFileSize(width, height)));
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, width);
    put32(bytes, 22, height);
    bytes[26] = 1;
    bytes[28] = 24;
    return bytes;
}

// A black BMP whose pixels are a hole in the file, so a large one costs no disk.
void writeBmp(const TempFolder& folder, const std::string& name, std::uint32_t width, std::uint32_t height) {
    folder.writeBytes(name, bmpHeader(width, height));
    fs::resize_file(folder.path() / name, bmpFileSize(width, height));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr std::uint64_t kMegabyte = 1024 * 1024;

std::uint64_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    return pages * std::uint64_t(::sysconf(_SC_PAGESIZE));
}

formdesc::FormInfo form80x60() {
    formdesc::FormInfo form{};
    form.columns = 80;
    form.rows = 60;
    form.lineType = formdesc::kLineSolid;
    return form;
}

// Pages of a print job at 96 dpi, one unit a pixel, with the job's bitmaps.
struct PrintedPages {
    RecordingBackend backend{96, 96};
    platform::DeviceContext dc{backend};
    formdesc::FormInfo form = form80x60();
    render::RenderContext context{dc, {10, 20, 0, 0, 800, 1200}, render::RenderPolicy::print(form), 96};
    BitmapCache bitmaps;

    explicit PrintedPages(const fs::path& formFolder) : bitmaps(formFolder) {}

    // A page with the bitmaps and a line after them.
    void printPage(const std::vector<std::string>& fileNames) {
        render::FigureRenderer renderer(context, form);
        for (const std::string& name : fileNames)
            renderer.drawBitmap(bitmapRecord(2, 2, 4, 3, name.c_str()), bitmaps);
        const formdesc::FigureInfo line = testsupport::lineRecord(1, 5, 9, 5, formdesc::kCourseH);
        renderer.selectFigurePen(line);
        renderer.drawLine(line);
        renderer.restorePen();
    }
};

struct MemoryCase {
    const char* name;
    bool keepFirst;
    std::uint64_t room; // address space left once the limit is set
    bool decoded;
};

// Runs in a child process, whose address space it limits; 0 when the big
// bitmap came out as the case expects.
int loadWithLimitedMemory(const fs::path& folder, const MemoryCase& c) {
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    BitmapCache bitmaps(folder);
    if (c.keepFirst && bitmaps.image(bitmapRecord(1, 1, 2, 2, "KEPT.BMP")).isNull())
        return 3;
    const rlimit limit{addressSpaceInUse() + c.room, RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    const bool decoded = !bitmaps.image(bitmapRecord(1, 1, 2, 2, "BIG.BMP")).isNull();
    const bool reported =
        sink.messages.size() == 1 && sink.messages[0].text == "メモリが足りません（BIG.BMP）";
    return decoded == c.decoded && reported == !c.decoded ? 0 : 1;
}

} // namespace

// A file that cannot be used is reported once, under the first spelling that
// reached it, however often and however spelt the pages name it; the rest of
// every page is drawn.
TEST(BitmapCache, UnusableFileIsReportedOnceAndThePagesGoOn) {
    struct Case {
        const char* name;
        void (*make)(const TempFolder& folder); // makes X.BMP
        bool needsUser;                         // root reads any file
        const char* message;
    };
    const std::string openFailed = "イメージのオープンに失敗しました（X.BMP）";
    const Case cases[] = {
        {"missing", [](const TempFolder&) {}, false, nullptr},
        {"no permission",
         [](const TempFolder& f) {
             f.writeBytes("x.bmp", testsupport::tinyBmp());
             fs::permissions(f.path() / "x.bmp", fs::perms::none);
         },
         true, nullptr},
        {"a folder", [](const TempFolder& f) { fs::create_directory(f.path() / "x.bmp"); }, false, nullptr},
        {"a FIFO without a writer", [](const TempFolder& f) { ::mkfifo((f.path() / "x.bmp").c_str(), 0644); },
         false, nullptr},
        {"damaged header",
         [](const TempFolder& f) {
             std::string bytes = testsupport::tinyBmp();
             put32(bytes, 14, 39);
             f.writeBytes("x.bmp", bytes);
         },
         false, nullptr},
        {"claims 20000 x 20000 pixels",
         [](const TempFolder& f) { f.writeBytes("x.bmp", bmpHeader(20000, 20000) + std::string(16, '\0')); },
         false, nullptr},
        {"claims a width beyond any limit",
         [](const TempFolder& f) { f.writeBytes("x.bmp", bmpHeader(0x7FFFFFFF, 2) + std::string(16, '\0')); },
         false, nullptr},
        {"empty", [](const TempFolder& f) { f.writeBytes("x.bmp", ""); }, false, "空のファイルです（X.BMP）"},
        {"larger than memory allows",
         [](const TempFolder& f) {
             f.writeBytes("x.bmp", testsupport::tinyBmp());
             fs::resize_file(f.path() / "x.bmp", render::kMaxBitmapFileBytes + 1);
         },
         false, "メモリが足りません（X.BMP）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsUser && ::geteuid() == 0)
            continue;
        TempFolder folder;
        c.make(folder);
        formdesc::RecordingMessageSink sink;
        formdesc::ScopedMessageSink scoped(sink);
        PrintedPages pages(folder.path());
        // A missing file has no identity to join its spellings by.
        const bool exists = fs::exists(fs::symlink_status(folder.path() / "x.bmp"));
        const std::vector<std::string> names =
            exists ? std::vector<std::string>{"X.BMP", ".\\X.BMP", "./SUB/../x.bmp"}
                   : std::vector<std::string>{"X.BMP"};
        fs::create_directory(folder.path() / "sub");
        pages.printPage(names);
        pages.printPage(names);

        EXPECT_TRUE(pages.backend.of(Call::Image).empty());
        EXPECT_EQ(pages.backend.of(Call::Line).size(), 2u);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].text, c.message ? c.message : openFailed);
        EXPECT_EQ(sink.messages[0].caption, "エラー");
    }
}

// Spellings, links and the absolute path of one file give one decoded image.
TEST(BitmapCache, OneFileUnderManyNamesIsDecodedOnce) {
    TempFolder folder;
    writeBmp(folder, "Logo.bmp", 30, 20);
    fs::create_directory(folder.path() / "sub");
    fs::create_hard_link(folder.path() / "Logo.bmp", folder.path() / "link.bmp");
    fs::create_symlink("Logo.bmp", folder.path() / "alias.bmp");
    std::string absolute = (folder.path() / "LOGO.BMP").string();
    for (char& ch : absolute)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));

    BitmapCache bitmaps(folder.path());
    const QImage first = bitmaps.image(bitmapRecord(1, 1, 2, 2, "LOGO.BMP"));
    ASSERT_EQ(first.size(), QSize(30, 20));
    for (const std::string name :
         {".\\LOGO.BMP", "./././logo.bmp", "SUB\\..\\LOGO.BMP", "LINK.BMP", "ALIAS.BMP", absolute.c_str()}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(bitmaps.image(bitmapRecord(1, 1, 2, 2, name.c_str())).cacheKey(), first.cacheKey());
    }
    EXPECT_EQ(bitmaps.bytesKept(), std::size_t(first.sizeInBytes()));
}

// Beyond the budget the least recently used image is dropped; a page that
// needs it again gets it decoded again, without a message.
TEST(BitmapCache, DropsTheLeastRecentlyUsedBeyondItsBudget) {
    TempFolder folder;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        writeBmp(folder, name, 100, 100); // 40000 bytes decoded
    struct Case {
        std::size_t budget;
        // Each step names a file, then '+' for a fresh decode or '=' for the kept image.
        const char* steps;
    };
    const Case cases[] = {
        {80000, "A+ B+ A= C+ A= B+ C+ A+ A="},
        {1, "A+ A= B+ A+"}, // over budget alone: kept until the next one comes
        {render::kBitmapMemoryBudget, "A+ B+ C+ A= B= C="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        formdesc::RecordingMessageSink sink;
        formdesc::ScopedMessageSink scoped(sink);
        BitmapCache bitmaps(folder.path(), BitmapCache::Failures::Report, c.budget);
        std::map<char, qint64> keys;
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            const QImage image =
                bitmaps.image(bitmapRecord(1, 1, 2, 2, (step.substr(0, 1) + ".BMP").c_str()));
            ASSERT_FALSE(image.isNull()) << step;
            EXPECT_EQ(keys[step[0]] != image.cacheKey(), step[1] == '+') << step;
            keys[step[0]] = image.cacheKey();
            EXPECT_LE(bitmaps.bytesKept(), std::max<std::size_t>(c.budget, 40000));
        }
        EXPECT_TRUE(sink.messages.empty());
    }
}

// Memory that runs out while a bitmap is read or decoded gives the memory
// message for it, never an abort; kept images are given up first to make room.
TEST(BitmapCache, RunningOutOfMemoryIsReported) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
    TempFolder folder;
    writeBmp(folder, "big.bmp", 8000, 8000);  // 192 MB to read, 256 MB decoded
    writeBmp(folder, "kept.bmp", 4096, 4096); // 64 MB decoded
    const MemoryCase cases[] = {
        {"no room for the image", false, 300 * kMegabyte, false},
        {"room once the kept image is dropped", true, 416 * kMegabyte, true},
    };
    for (const MemoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(std::_Exit(loadWithLimitedMemory(folder.path(), c)), testing::ExitedWithCode(0), "");
    }
}
