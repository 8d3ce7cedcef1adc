#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "runtime/data/ControlOptions.h"

using runtime::ControlOptions;
using runtime::DataEncoding;
using runtime::PrintRequest;

namespace {

struct ControlCase {
    const char* name;
    const char* control; // may be null
    ControlOptions expected;
};

ControlOptions with(auto&& change) {
    ControlOptions options;
    change(options);
    return options;
}

const std::vector<ControlCase>& controlCases() {
    static const std::vector<ControlCase> cases = {
        {"Null", nullptr, {}},
        {"Empty", "", {}},
        {"DesignerPrint", "CONTROL CANCEL=ON;", with([](auto& o) { o.cancel = true; })},
        {"LowerCase", "control cancel=on", with([](auto& o) { o.cancel = true; })},
        {"BlanksAroundEverything", "  \tcontrol  cancel = on ,scale= 200 ", with([](auto& o) {
             o.cancel = true;
             o.scale = 200;
         })},
        {"WithoutControlWord", "CANCEL=ON", {}},
        {"ControlAfterOptions", "CANCEL=ON, CONTROL", with([](auto& o) { o.cancel = true; })},
        // A value runs up to the next comma, not to the next blank.
        {"ValueRunsToTheComma", "CONTROL CANCEL=ON SCALE=200", with([](auto& o) { o.scale = 200; })},
        {"CommentHidesRest", "CONTROL // CANCEL=ON", {}},
        {"SemicolonHidesRest", "CONTROL; CANCEL=ON", {}},
        {"ControlWordInComment", "CANCEL=ON // CONTROL", {}},
        {"CommentAfterOption", "CONTROL CANCEL=ON // PRINTER=DEFAULT",
         with([](auto& o) { o.cancel = true; })},
        {"CancelOtherValue", "CONTROL CANCEL=YES", {}},
        {"PrinterDefaultAnyCase", "CONTROL PRINTER=Default", with([](auto& o) { o.printer = "DEFAULT"; })},
        {"PrinterNotQuiteDefault", "CONTROL PRINTER=DefaultPrinter",
         with([](auto& o) { o.printer = "DEFAULTPRINTER"; })},
        {"PrinterNamed", "CONTROL CANCEL=ON, PRINTER=Office Laser", with([](auto& o) {
             o.cancel = true;
             o.printer = "OFFICE LASER";
         })},
        {"PrinterFullWidthUpperCased", "CONTROL PRINTER=\x82\x90\x82\x92",
         with([](auto& o) { o.printer = "\x82\x6F\x82\x71"; })},
        {"PrinterTrailByteUntouched", "CONTROL PRINTER=\x83\x61",
         with([](auto& o) { o.printer = "\x83\x61"; })},
        {"LastRow", "CONTROL LASTROW=10", with([](auto& o) { o.lastRow = 10; })},
        {"LastRowNegative", "CONTROL LASTROW=-3", with([](auto& o) { o.lastRow = -3; })},
        {"LastRowStopsAtLetters", "CONTROL LASTROW=12ab", with([](auto& o) { o.lastRow = 12; })},
        {"LastRowNoDigits", "CONTROL LASTROW=ab", {}},
        {"LastRowSaturates", "CONTROL LASTROW=99999999999999", with([](auto& o) { o.lastRow = INT_MAX; })},
        {"PrintOn", "CONTROL PRINT=ON", with([](auto& o) { o.print = PrintRequest::PrintAndKeep; })},
        {"PrintOnly", "CONTROL PRINT=only", with([](auto& o) { o.print = PrintRequest::PrintAndClose; })},
        {"PrintOther", "CONTROL PRINT=YES", {}},
        // PRINT is found inside PRINTER first: its value there is not ON.
        {"PrintHiddenByPrinter", "CONTROL PRINTER=X, PRINT=ON", with([](auto& o) { o.printer = "X"; })},
        {"ScaleBelowRange", "CONTROL SCALE=30", with([](auto& o) { o.scale = 50; })},
        {"ScaleAboveRange", "CONTROL SCALE=900", with([](auto& o) { o.scale = 500; })},
        {"ScaleZero", "CONTROL SCALE=0", with([](auto& o) { o.scale = 100; })},
        {"ScaleNegative", "CONTROL SCALE=-20", with([](auto& o) { o.scale = 50; })},
        {"ScaleInRange", "CONTROL SCALE=150", with([](auto& o) { o.scale = 150; })},
        {"ScaleAuto", "control scale=auto", with([](auto& o) { o.scaleAuto = true; })},
        {"FirstOccurrenceWins", "CONTROL SCALE=200, SCALE=300", with([](auto& o) { o.scale = 200; })},
        {"EncodingUtf8", "control encoding=utf-8", with([](auto& o) { o.encoding = DataEncoding::Utf8; })},
        {"EncodingAuto", "CONTROL ENCODING = Auto ,CANCEL=ON", with([](auto& o) {
             o.encoding = DataEncoding::Auto;
             o.cancel = true;
         })},
        {"EncodingShiftJis", "CONTROL ENCODING=SJIS", {}},
        {"EncodingUnknown", "CONTROL ENCODING=EUC-JP", with([](auto& o) { o.refusedKey = "ENCODING"; })},
        {"EncodingEmpty", "CONTROL ENCODING=, CANCEL=ON", with([](auto& o) {
             o.refusedKey = "ENCODING";
             o.cancel = true;
         })},
        {"EncodingWithoutControlWord", "ENCODING=UTF-8", {}},
        {"Offsets", "CONTROL XOFFSET=15, YOFFSET=-500", with([](auto& o) {
             o.xOffset = 15;
             o.yOffset = -500;
         })},
        {"OffsetPlusSign", "CONTROL YOFFSET=+500", with([](auto& o) { o.yOffset = 500; })},
        {"OffsetBeyondRange", "CONTROL XOFFSET=501", with([](auto& o) { o.refusedKey = "XOFFSET"; })},
        {"OffsetNotWhole", "CONTROL YOFFSET=1.5", with([](auto& o) { o.refusedKey = "YOFFSET"; })},
        {"OffsetTrailingLetters", "CONTROL XOFFSET=12MM", with([](auto& o) { o.refusedKey = "XOFFSET"; })},
        {"OffsetSignOnly", "CONTROL XOFFSET=-", with([](auto& o) { o.refusedKey = "XOFFSET"; })},
        // The strict keys given twice are refused, whatever the values; the
        // older keys keep their first value (FirstOccurrenceWins).
        {"OffsetGivenTwice", "CONTROL XOFFSET=10, XOFFSET=999", with([](auto& o) {
             o.xOffset = 10;
             o.refusedKey = "XOFFSET";
         })},
        {"OffsetGivenTwiceSameValue", "control yoffset=5 ,\tYOFFSET = 5", with([](auto& o) {
             o.yOffset = 5;
             o.refusedKey = "YOFFSET";
         })},
        {"EncodingGivenTwice", "CONTROL ENCODING=UTF-8, CANCEL=ON, ENCODING=SJIS", with([](auto& o) {
             o.encoding = DataEncoding::Utf8;
             o.cancel = true;
             o.refusedKey = "ENCODING";
         })},
        {"OffsetKeyWordAfterControl", "CONTROL XOFFSET=1, YOFFSET=2, CONTROL XOFFSET=3", with([](auto& o) {
             o.xOffset = 1;
             o.yOffset = 2;
             o.refusedKey = "XOFFSET";
         })},
        // Names that only contain a key are other keys.
        {"OffsetInsideOtherNames", "CONTROL XOFFSET=1, XXOFFSET=2, XOFFSETS=3, PRINTER=XOFFSET",
         with([](auto& o) {
             o.xOffset = 1;
             o.printer = "XOFFSET";
         })},
        {"EncodingNamedBeforeOffsets", "CONTROL YOFFSET=X, XOFFSET=Y, ENCODING=Z",
         with([](auto& o) { o.refusedKey = "ENCODING"; })},
    };
    return cases;
}

class ParseControlOptions : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ParseControlOptions, GivesTheOptions) {
    const ControlOptions actual = runtime::parseControlOptions(GetParam().control);
    const ControlOptions& expected = GetParam().expected;
    EXPECT_EQ(actual.cancel, expected.cancel);
    EXPECT_EQ(actual.printer, expected.printer);
    EXPECT_EQ(actual.lastRow, expected.lastRow);
    EXPECT_EQ(actual.print, expected.print);
    EXPECT_EQ(actual.scaleAuto, expected.scaleAuto);
    EXPECT_EQ(actual.scale, expected.scale);
    EXPECT_EQ(actual.printsOnDefault(), expected.printer == "DEFAULT");
    EXPECT_EQ(actual.encoding, expected.encoding);
    EXPECT_EQ(actual.xOffset, expected.xOffset);
    EXPECT_EQ(actual.yOffset, expected.yOffset);
    EXPECT_EQ(actual.refusedKey, expected.refusedKey);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseControlOptions, ::testing::ValuesIn(controlCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The command line's own default encoding gives way to the statement's, and
// both to an encoding the caller names.
TEST(ApplyCallerOptions, TheDefaultEncodingYieldsToTheStatementAndTheCaller) {
    using runtime::DataEncoding;
    const struct {
        const char* control;
        std::optional<DataEncoding> named;
        DataEncoding expected;
    } rows[] = {
        {nullptr, std::nullopt, DataEncoding::Auto},
        {"CONTROL PRINT=ON;", std::nullopt, DataEncoding::Auto},
        {"CONTROL ENCODING=SJIS;", std::nullopt, DataEncoding::ShiftJis},
        {"CONTROL ENCODING=SJIS;", DataEncoding::Utf8, DataEncoding::Utf8},
        {nullptr, DataEncoding::ShiftJis, DataEncoding::ShiftJis},
    };
    for (const auto& row : rows) {
        ControlOptions options = runtime::parseControlOptions(row.control);
        runtime::CallerOptions caller;
        caller.encoding = row.named;
        caller.defaultEncoding = DataEncoding::Auto;
        runtime::applyCallerOptions(options, caller);
        EXPECT_EQ(options.encoding, row.expected) << (row.control ? row.control : "no statement");
    }
    // Without a caller's default the library keeps Shift-JIS.
    ControlOptions library = runtime::parseControlOptions(nullptr);
    runtime::applyCallerOptions(library, {});
    EXPECT_EQ(library.encoding, DataEncoding::ShiftJis);
}

} // namespace
