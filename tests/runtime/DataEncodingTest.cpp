#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/data/DataEncoding.h"
#include "runtime/data/DataSpool.h"
#include "runtime/data/Utf8DataConverter.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

using runtime::DataEncoding;
using runtime::DataSpool;
using runtime::Utf8DataConverter;

namespace {

struct ConversionCase {
    const char* name;
    std::string utf8;
    std::string cp932;
    std::uint64_t replacements;
    std::uint64_t firstLine;
};

const std::vector<ConversionCase>& conversionCases() {
    static const std::vector<ConversionCase> cases = {
        {"Ascii", "AB 12\r\n", "AB 12\r\n", 0, 0},
        {"Kanji", "\xE5\xB8\xB3\xE7\xA5\xA8\n", "\x92\xA0\x95\x5B\n", 0, 0},
        // The Windows table: wave dash and minus as Windows writes them.
        {"WindowsRows", "\xEF\xBD\x9E\xEF\xBC\x8D\xE2\x88\xA5", "\x81\x60\x81\x7C\x81\x61", 0, 0},
        {"NecRow", "\xE2\x91\xA0\xE3\x88\xB1", "\x87\x40\x87\x8A", 0, 0},
        {"HalfWidthKana", "\xEF\xBD\xB1\xEF\xBE\x9E", "\xB1\xDE", 0, 0},
        {"NulAndLoneCr", std::string("a\0b\rc", 5), std::string("a\0b\rc", 5), 0, 0},
        // Not in code page 932: one full-width question mark each.
        {"Emoji", "a\xF0\x9F\x98\x80z", "a\x81\x48z", 1, 1},
        {"Hangul", "\xEA\xB0\x80\n", "\x81\x48\n", 1, 1},
        // No UTF-8: a stray byte, an overlong form, a surrogate, a cut
        // character before an ASCII byte and at the very end.
        {"StrayByte", "1\n2\n\xFF\n", "1\n2\n\x81\x48\n", 1, 3},
        {"Overlong", "\xC0\xAF", "\x81\x48\x81\x48", 2, 1},
        {"Surrogate", "\xED\xA0\x80", "\x81\x48\x81\x48\x81\x48", 3, 1},
        {"CutBeforeAscii", "\xE5\xB8Z", "\x81\x48Z", 1, 1},
        {"CutAtEnd", "x\n\xF0\x9F\x98", "x\n\x81\x48", 1, 2},
        {"FirstLineKept", "\n\n\xF0\x9F\x98\x80\n\xFF\n", "\n\n\x81\x48\n\x81\x48\n", 2, 3},
    };
    return cases;
}

std::string convertInPieces(const std::string& input, std::size_t pieceBytes, Utf8DataConverter& converter) {
    std::string out;
    std::string pending;
    for (std::size_t at = 0; at < input.size(); at += pieceBytes) {
        pending += input.substr(at, pieceBytes);
        const bool last = at + pieceBytes >= input.size();
        pending.erase(0, converter.convert(pending, last, out));
    }
    return out;
}

class ConvertUtf8 : public ::testing::TestWithParam<ConversionCase> {};

// Whole, and fed a byte at a time or in pairs: a character that a piece cuts
// comes out once, whole.
TEST_P(ConvertUtf8, GivesCodePage932AndCountsReplacements) {
    const ConversionCase& c = GetParam();
    for (const std::size_t pieceBytes : {c.utf8.size() + 1, std::size_t{1}, std::size_t{2}}) {
        Utf8DataConverter converter;
        ASSERT_TRUE(converter.isValid());
        EXPECT_EQ(convertInPieces(c.utf8, pieceBytes, converter), c.cp932) << "pieces of " << pieceBytes;
        EXPECT_EQ(converter.replacements(), c.replacements) << "pieces of " << pieceBytes;
        EXPECT_EQ(converter.firstReplacedLine(), c.firstLine) << "pieces of " << pieceBytes;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertUtf8, ::testing::ValuesIn(conversionCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct DetectCase {
    const char* name;
    std::string sample;
    bool goesOn;
    bool utf8;
};

TEST(DetectEncoding, ReadsUtf8FromMarkOrWellFormedText) {
    const std::vector<DetectCase> cases = {
        {"Empty", "", false, true},
        {"Ascii", "ABC 123\r\n", false, true},
        {"Utf8Kanji", "\xE5\xB8\xB3\xE7\xA5\xA8\n", false, true},
        {"Bom", "\xEF\xBB\xBF\x92\xA0", false, true},
        {"ShiftJisKanji", "\x92\xA0\x95\x5B\n", false, false},
        {"ShiftJisHalfWidthKana", "\xB1\xB2\xB3", false, false},
        {"CutBySampleEnd", "abc\xE5\xB8", true, true},
        {"CutAtFileEnd", "abc\xE5\xB8", false, false},
        {"BrokenBeforeSampleEnd", "\xE5Z\xB8", true, false},
    };
    for (const DetectCase& c : cases)
        EXPECT_EQ(runtime::looksLikeUtf8(c.sample, c.goesOn), c.utf8) << c.name;
}

// Data read as Shift-JIS that was written otherwise: the "utf8" column here
// says "warn".
TEST(DetectEncoding, TellsDataThatIsNoShiftJis) {
    const std::vector<DetectCase> cases = {
        {"Ascii", "ABC 123\r\n", false, false},
        {"ShiftJisKanjiAndKana", "\x92\xA0\x95\x5B \xB1\xB2\n", false, false},
        {"ShiftJisLeadCutBySampleEnd", "\x92\xA0\x95", true, false},
        {"Bom",
         "\xEF\xBB\xBF"
         "ABC",
         false, true},
        {"Utf8KanjiValidAsShiftJis", "\xE3\x81\x82\xE3\x81\x84\n", false, true},
        {"StrayByte",
         "A\x80"
         "B",
         false, true},
        {"BadTrail", "\x92\x0A", false, true},
        {"LeadAtFileEnd", "AB\x92", false, true},
    };
    for (const DetectCase& c : cases)
        EXPECT_EQ(runtime::looksMisreadAsShiftJis(c.sample, c.goesOn), c.utf8) << c.name;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// UTF-8 data goes through a private copy in code page 932 (the mark dropped);
// Shift-JIS data, named or found by AUTO, is read where it is.
TEST(DataSpool, CopiesOnlyWhatNeedsConverting) {
    const TempFolder folder;
    const TempFolder runtimeDir;
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
    const std::string utf8 = folder.writeBytes("u.dat", "\xEF\xBB\xBF\xE5\xB8\xB3\r\n\xF0\x9F\x98\x80\n");
    const std::string sjis = folder.writeBytes("s.dat", "\x92\xA0\x95\x5B\r\n");
    struct Row {
        const char* name;
        std::string path;
        DataEncoding encoding;
        bool spooled;
        std::string bytes;
    } rows[] = {
        {"Utf8", utf8, DataEncoding::Utf8, true, "\x92\xA0\r\n\x81\x48\n"},
        {"AutoUtf8", utf8, DataEncoding::Auto, true, "\x92\xA0\r\n\x81\x48\n"},
        {"ShiftJis", sjis, DataEncoding::ShiftJis, false, "\x92\xA0\x95\x5B\r\n"},
        {"AutoShiftJis", sjis, DataEncoding::Auto, false, "\x92\xA0\x95\x5B\r\n"},
    };
    for (const Row& row : rows) {
        std::string spoolFolder;
        {
            DataSpool spool;
            ASSERT_TRUE(spool.prepare(row.path, false, row.encoding)) << row.name;
            EXPECT_EQ(spool.isSpooled(), row.spooled) << row.name;
            EXPECT_EQ(readAll(spool.path()), row.bytes) << row.name;
            if (!row.spooled) {
                EXPECT_EQ(spool.path(), row.path) << row.name;
                continue;
            }
            spoolFolder = std::filesystem::path(spool.path()).parent_path().string();
            EXPECT_EQ(std::filesystem::path(spoolFolder).parent_path(), runtimeDir.path()) << row.name;
            EXPECT_EQ(modeOf(spoolFolder), 0700u) << row.name;
            EXPECT_EQ(modeOf(spool.path()), 0600u) << row.name;
            EXPECT_EQ(spool.replacements(), 1u) << row.name;
            EXPECT_EQ(spool.firstReplacedLine(), 2u) << row.name;
        }
        EXPECT_FALSE(std::filesystem::exists(spoolFolder)) << row.name << ": the copy outlived the spool";
    }
}

TEST(DataSpool, RefusesWhatIsNoDataFile) {
    const TempFolder folder;
    const TempFolder runtimeDir;
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
    for (const std::string& path : {(folder.path() / "missing.dat").string(), folder.path().string()}) {
        DataSpool spool;
        EXPECT_FALSE(spool.prepare(path, false, DataEncoding::Utf8)) << path;
    }
    EXPECT_TRUE(std::filesystem::is_empty(runtimeDir.path()));
}

} // namespace
