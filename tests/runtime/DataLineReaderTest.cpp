#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "runtime/data/DataLineReader.h"
#include "tests/runtime/DataFileFixture.h"

using runtime::DataLineReader;
using runtime::FilePosition;
using runtime::testing::TempDataFile;

namespace {

using namespace std::string_literals;

struct Part {
    FilePosition position;
    std::string text;
};

std::vector<Part> readAll(DataLineReader& reader) {
    std::vector<Part> parts;
    for (;;) {
        const FilePosition position = reader.position();
        const auto line = reader.readLine();
        if (!line)
            break;
        parts.push_back({position, std::string(*line)});
    }
    return parts;
}

std::vector<std::string> textsOf(const std::vector<Part>& parts) {
    std::vector<std::string> texts;
    for (const auto& part : parts)
        texts.push_back(part.text);
    return texts;
}

// 257 lines of 255 bytes put the next byte at offset 65535, the last byte of
// the first 64 KiB block.
std::string fullBlockLines() {
    std::string text;
    for (int i = 0; i < 257; ++i)
        text += std::string(254, 'x') + "\n";
    return text;
}

std::vector<std::string> fullBlockParts() {
    return std::vector<std::string>(257, std::string(254, 'x') + "\n");
}

template <typename... Tail> std::vector<std::string> plus(std::vector<std::string> head, Tail... tail) {
    (head.push_back(tail), ...);
    return head;
}

struct SplitCase {
    const char* name;
    std::string input;
    std::vector<std::string> parts;
};

const std::vector<SplitCase>& splitCases() {
    static const std::vector<SplitCase> cases = {
        {"Empty", "", {}},
        {"LfLines", "A\nB\n", {"A\n", "B\n"}},
        {"LastLineWithoutLf", "A\nB", {"A\n", "B"}},
        {"BlankLines", "\n\n", {"\n", "\n"}},
        {"CrLfDropsCr", "A\r\nB\r\n", {"A\n", "B\n"}},
        {"CrOnlyIsOneLine", "A\rB\rC\r", {"A\rB\rC\r"}},
        {"CrBeforeCrLf", "A\r\r\n", {"A\r\n"}},
        {"CrAtEndOfFile", "AB\r", {"AB\r"}},
        {"NulIsAByte", "A\0B\n\0\n"s, {"A\0B\n"s, "\0\n"s}},
        {"LongLineInParts",
         std::string(300, 'a') + "\n",
         {std::string(255, 'a'), std::string(45, 'a') + "\n"}},
        {"LfAfter255BytesIsAPartOfItsOwn", std::string(255, 'a') + "\n", {std::string(255, 'a'), "\n"}},
        {"CrLfAfter254BytesFits", std::string(254, 'a') + "\r\n", {std::string(254, 'a') + "\n"}},
        {"CrLfAfter255Bytes", std::string(255, 'a') + "\r\nB", {std::string(255, 'a'), "\n", "B"}},
        {"LeadByteCutAtPartEnd",
         std::string(254, 'a') + "\x82\xA0\n",
         {std::string(254, 'a') + "\x82", "\xA0\n"}},
        {"LeadByteAtEndOfFile", "AB\x82", {"AB\x82"}},
        {"CrLfAcrossBlockBoundary", fullBlockLines() + "\r\nZ", plus(fullBlockParts(), "\n", "Z")},
        {"CrAtBlockEndThenOtherByte", fullBlockLines() + "\rZ", plus(fullBlockParts(), "\rZ")},
        {"CrAtEndOfFullBlock", fullBlockLines() + "\r", plus(fullBlockParts(), "\r")},
    };
    return cases;
}

class DataLineReaderSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(DataLineReaderSplit, FileGivesTheExpectedParts) {
    const TempDataFile file(GetParam().input);
    DataLineReader reader;
    ASSERT_TRUE(reader.open(file.path()));
    EXPECT_EQ(textsOf(readAll(reader)), GetParam().parts);
}

TEST_P(DataLineReaderSplit, MemoryGivesTheSamePartsAsTheFile) {
    DataLineReader reader;
    reader.openMemory(GetParam().input);
    EXPECT_EQ(textsOf(readAll(reader)), GetParam().parts);
}

// Tiny blocks put CR LF pairs and part ends on every possible block boundary.
TEST_P(DataLineReaderSplit, TinyBlocksGiveTheSameParts) {
    const TempDataFile file(GetParam().input);
    for (const std::size_t blockBytes : {1u, 2u, 3u, 7u, 256u}) {
        DataLineReader reader(blockBytes);
        ASSERT_TRUE(reader.open(file.path()));
        EXPECT_EQ(textsOf(readAll(reader)), GetParam().parts) << "block of " << blockBytes;
    }
}

TEST_P(DataLineReaderSplit, SeekingToAPositionReadsThatPartAgain) {
    const TempDataFile file(GetParam().input);
    DataLineReader reader(3);
    ASSERT_TRUE(reader.open(file.path()));
    const auto parts = readAll(reader);
    // Backwards, so that every seek leaves the current block.
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        reader.seek(it->position);
        const auto line = reader.readLine();
        ASSERT_TRUE(line.has_value()) << "at " << it->position;
        EXPECT_EQ(std::string(*line), it->text) << "at " << it->position;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DataLineReaderSplit, ::testing::ValuesIn(splitCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataLineReader, PositionsAreRawFileOffsets) {
    DataLineReader reader;
    reader.openMemory("AB\r\nC\nDEF");
    std::vector<FilePosition> positions;
    for (const auto& part : readAll(reader))
        positions.push_back(part.position);
    EXPECT_EQ(positions, (std::vector<FilePosition>{0, 4, 6}));
    EXPECT_EQ(reader.position(), 9u);
}

TEST(DataLineReader, SeekPastTheEndReadsNothing) {
    const TempDataFile file("A\n");
    DataLineReader reader;
    ASSERT_TRUE(reader.open(file.path()));
    reader.seek(1000);
    EXPECT_FALSE(reader.readLine().has_value());
    reader.openMemory("A\n");
    reader.seek(1000);
    EXPECT_FALSE(reader.readLine().has_value());
}

TEST(DataLineReader, RefusesWhatIsNotARegularFile) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string fifo = dir + "/zrk-data-fifo-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    DataLineReader reader;
    // A FIFO without a writer must neither block the open nor be accepted.
    EXPECT_FALSE(reader.open(fifo));
    std::remove(fifo.c_str());
    EXPECT_FALSE(reader.open(dir));
    EXPECT_FALSE(reader.open(dir + "/zrk-no-such-file.dat"));
    EXPECT_FALSE(reader.open("/dev/zero"));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.readLine().has_value());
}

// Random bytes rich in CR, LF, NUL and lead bytes: the parts put together are
// the input with every CR LF turned into LF, no part exceeds 255 bytes, only a
// part's last byte can be LF, and a part shorter than 255 bytes ends a line.
TEST(DataLineReader, NoiseKeepsEveryByteInBoundedParts) {
    std::mt19937 random(20240611);
    const char alphabet[] = {'\r', '\n', '\0', 'a', ' ', '\x82', '\xA0', '|', '\x1A'};
    for (int round = 0; round < 20; ++round) {
        std::string input(static_cast<std::size_t>(random() % 200000), '\0');
        const auto longRun = random() % 4;
        for (auto& byte : input)
            byte = random() % 8 < longRun ? 'a' : alphabet[random() % sizeof(alphabet)];
        std::string expected;
        for (std::size_t i = 0; i < input.size(); ++i)
            if (!(input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n'))
                expected += input[i];

        const TempDataFile file(input);
        DataLineReader reader;
        ASSERT_TRUE(reader.open(file.path()));
        const auto parts = readAll(reader);
        std::string joined;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            const std::string& text = parts[k].text;
            ASSERT_FALSE(text.empty());
            ASSERT_LE(text.size(), DataLineReader::kMaxPartBytes);
            ASSERT_EQ(text.find('\n'), text.back() == '\n' ? text.size() - 1 : std::string::npos);
            if (k + 1 < parts.size() && text.size() < DataLineReader::kMaxPartBytes) {
                ASSERT_EQ(text.back(), '\n');
            }
            joined += text;
        }
        ASSERT_EQ(joined, expected) << "round " << round;
    }
}

} // namespace
