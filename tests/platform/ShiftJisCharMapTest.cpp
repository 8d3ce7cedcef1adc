#include "platform/ShiftJisCharMap.h"

#include <gtest/gtest.h>

namespace {

using platform::ShiftJisCharMap;

// Codes that are no character must not spoil the ones decoded after them:
// text on later pages went missing when they did.
TEST(ShiftJisCharMap, CodesAfterOnesThatAreNoCharacterStillDecode) {
    ShiftJisCharMap map;
    const struct {
        std::uint16_t code;
        char16_t expected;
    } cases[] = {
        {0x82A0, u'あ'}, {0x8540, 0},     {0x9688, u'毎'}, {0x81, 0},   {0x41, u'A'},
        {0xFCFC, 0},     {0x8ABF, u'漢'}, {0xB1, u'ｱ'},    {0x8540, 0}, {0x90BF, u'請'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(map.unicodeFor(c.code), c.expected) << std::hex << c.code;
}

} // namespace
