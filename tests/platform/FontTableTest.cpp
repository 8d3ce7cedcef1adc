#include "platform/FontTable.h"
#include "tests/platform/TestApplication.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

using platform::FontTable;
using platformtest::sjis;

struct FaceCase {
    const char* faceName; // UTF-8; the tests hand it over as Shift-JIS
    const char* family;
};

void PrintTo(const FaceCase& c, std::ostream* os) {
    *os << c.faceName;
}

class FaceResolution : public ::testing::TestWithParam<FaceCase> {
  protected:
    void SetUp() override { platformtest::ensureApplication(); }
};

// What fontconfig really gives for the name of a form.
TEST_P(FaceResolution, FormFaceNameLandsOnInstalledFamily) {
    const QFont font = FontTable::fontFor(sjis(GetParam().faceName));
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(GetParam().family));
}

// A QFont made from the name itself (font dialogs, property sheets) goes the
// same way through the substitutions.
TEST_P(FaceResolution, PlainQFontOfTheNameIsSubstituted) {
    const QString name = QString::fromUtf8(GetParam().faceName);
    if (name.isEmpty())
        GTEST_SKIP() << "an empty family is Qt's default font";
    EXPECT_EQ(QFontInfo(QFont(name)).family(), QString::fromUtf8(GetParam().family));
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceResolution,
    ::testing::Values(FaceCase{"ＭＳ 明朝", "IPAMincho"}, FaceCase{"ＭＳ明朝", "IPAMincho"},
                      FaceCase{"MS Mincho", "IPAMincho"}, FaceCase{"MS MINCHO", "IPAMincho"},
                      FaceCase{"ＭＳ ゴシック", "IPAGothic"}, FaceCase{"MS Gothic", "IPAGothic"},
                      FaceCase{"ＭＳ Ｐ明朝", "IPAPMincho"}, FaceCase{"MS PMincho", "IPAPMincho"},
                      FaceCase{"ＭＳ Ｐゴシック", "IPAPGothic"}, FaceCase{"MS PGothic", "IPAPGothic"},
                      FaceCase{"IPAMincho", "IPAMincho"}, FaceCase{"IPAPGothic", "IPAPGothic"}));

TEST(FontTable, UpperCasedFullWidthNameIsFound) {
    platformtest::ensureApplication();
    // The form reader upper-cases full-width letters too: ｍｓ → ＭＳ.
    EXPECT_EQ(FontTable::familyFor(sjis("ｍｓ　明朝")), "IPAMincho");
}

TEST(FontTable, EmptyNameGivesFixedPitchGothic) {
    platformtest::ensureApplication();
    EXPECT_EQ(QFontInfo(FontTable::fontFor("")).family(), "IPAGothic");
}

TEST(FontTable, UnknownNameGoesToFontconfigUnchanged) {
    platformtest::ensureApplication();
    EXPECT_EQ(QFontInfo(FontTable::fontFor("DejaVu Serif")).family(), "DejaVu Serif");
}

} // namespace
