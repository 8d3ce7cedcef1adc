#include "runtime/data/CodePageCache.h"
#include "runtime/data/Utf8DataConverter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using runtime::CodePageCache;
using runtime::Utf8DataConverter;

namespace {

std::string utf8(std::uint32_t codePoint) {
    std::string bytes;
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | codePoint >> 6);
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | codePoint >> 12);
        bytes += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | codePoint >> 18);
        bytes += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return bytes;
}

} // namespace

// Every character of the basic plane, between ASCII and met twice (the
// second time from the table): the cache gives exactly iconv's bytes, and
// refuses exactly the characters iconv would replace.
TEST(CodePageCacheTest, agreesWithIconvOnTheWholeBasicPlane) {
    CodePageCache cache;
    for (std::uint32_t codePoint = 0x80; codePoint < 0x10000; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
            continue;
        const std::string value = "a" + utf8(codePoint) + "b" + utf8(codePoint);
        Utf8DataConverter converter;
        std::string expected;
        converter.convert(value, true, expected);
        std::string out = "kept";
        const bool converted = cache.convert(value, out);
        ASSERT_EQ(converted, converter.replacements() == 0) << std::hex << codePoint;
        ASSERT_EQ(out, converted ? "kept" + expected : "kept") << std::hex << codePoint;
    }
}

// What is no character of the basic plane goes to the full converter.
TEST(CodePageCacheTest, refusesWhatIsNoBasicPlaneUtf8) {
    CodePageCache cache;
    for (const std::string& value : {std::string("x\x80y"), std::string("\xE3\x81"), std::string("\xC0\xAF"),
                                     std::string("\xE0\x80\xAF"), std::string("\xED\xA0\x80"), utf8(0x1F600),
                                     std::string("\xF4\x90\x80\x80")}) {
        std::string out;
        EXPECT_FALSE(cache.convert(value, out)) << value;
        EXPECT_TRUE(out.empty());
    }
}
