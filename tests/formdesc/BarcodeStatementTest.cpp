#include "formdesc/Barcode.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormWriter.h"
#include "tests/support/FormRecords.h"
#include "tests/support/FormText.h"

#include <gtest/gtest.h>

using namespace formdesc;

namespace {

const FigureInfo& firstFigure(const ReadForm& r) {
    return r.model->figures[0];
}

TEST(BarcodeStatement, ReadsEachKeyAsTheOtherStatementsDo) {
    struct Row {
        const char* statement;
        BarcodeAttributes barcode;
        ColorRef color = 0;
    };
    const Row rows[] = {
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=QR, FIELD=\"amount\", HRI=ON, LCOLOR=#FF0000, ECC=M;",
         {kBarcodeQr, true, kEccM, true, "AMOUNT"},
         rgb(255, 0, 0)},
        {"barcode locate=(1,2)-(20,8), type=jan13, const=\"4901234567894\";",
         {kBarcodeJan13, false, kEccDefault, false, "4901234567894"}},
        // CONST keeps its commas and is upper-cased with the line.
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=CODE128, CONST=\"a,b c\", HRI=OFF;",
         {kBarcodeCode128, false, kEccDefault, false, "A,B C"}},
        // The first occurrence of a key counts.
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=NW7, TYPE=QR, FIELD=\"A\", ECC=H;",
         {kBarcodeNw7, false, kEccH, true, "A"}},
        // The content on a line of its own, as the writer puts it.
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=DATAMATRIX, \n\t  CONST=\"X\";",
         {kBarcodeDataMatrix, false, kEccDefault, false, "X"}},
        // A line that starts with BARCODE is one whatever its values name.
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=ITF, FIELD =\"LINE 1\";",
         {kBarcodeItf, false, kEccDefault, true, "LINE 1"}},
        // A field's tag is cut as the field's own is.
        {"BARCODE LOCATE=(1, 2)-(20, 8), TYPE=PDF417, FIELD=\"ABCDEFGHIJ\";",
         {kBarcodePdf417, false, kEccDefault, true, "ABCDEFGH"}},
    };
    for (const Row& row : rows) {
        const ReadForm r = readUtf8Form(std::string(kBaseLine) + row.statement + "\n");
        ASSERT_FALSE(r.error) << row.statement << ": " << r.error;
        ASSERT_EQ(r.model->figureCount, 1) << row.statement;
        const FigureInfo& figure = firstFigure(r);
        EXPECT_EQ(figure.kind, kKindBarcode);
        EXPECT_EQ(figure.startCol, 1);
        EXPECT_EQ(figure.startRow, 2);
        EXPECT_EQ(figure.endCol, 20);
        EXPECT_EQ(figure.endRow, 8);
        EXPECT_EQ(barcodeOf(figure), row.barcode) << row.statement;
        EXPECT_EQ(figure.lineColor, row.color) << row.statement;
    }
}

TEST(BarcodeStatement, TheCheckNamesTheBadValue) {
    struct Row {
        const char* statement;
        int code;
        const char* message;
    };
    const Row rows[] = {
        {"BARCODE TYPE=QR, CONST=\"X\";", 1, "LOCATEの指定がありません"},
        {"BARCODE LOCATE=(1, 1)-(81, 2), TYPE=QR, CONST=\"X\";", 2, "LOCATEの指定に誤りがあります"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), CONST=\"X\";", kFigureCodeTypeMissing, "TYPEの指定がありません"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=EAN13, CONST=\"X\";", kFigureCodeTypeBad,
         "TYPEの指定に誤りがあります"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR;", kFigureCodeContentMissing,
         "CONSTかFIELDの指定がありません"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=\"X\", FIELD=\"A\";", kFigureCodeContentBoth,
         "CONSTとFIELDは同時に指定できません"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=X;", kFigureCodeConstBad,
         "CONSTの指定に誤りがあります"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, FIELD=A;", kFigureCodeFieldBad,
         "FIELDの指定に誤りがあります"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=\"X\", HRI=YES;", kFigureCodeHriBad,
         "HRIの指定に誤りがあります"},
        {"BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=\"X\", ECC=Z;", kFigureCodeEccBad,
         "ECCの指定に誤りがあります"},
    };
    for (const Row& row : rows) {
        // The barcode is the second figure: the message names its line.
        const ReadForm r =
            readUtf8Form(std::string(kBaseLine) + "RECT LOCATE=(1, 1)-(2, 2);\n" + row.statement + "\n",
                         ReaderVariant::Print);
        const FormError expected{kErrorFigure, row.code, 2};
        EXPECT_EQ(r.error, std::optional<FormError>(expected)) << row.statement << ": " << r.error;
        EXPECT_EQ(formErrorText(expected, MessageOrigin::Library),
                  std::string("図形情報（2行） - ") + row.message);
    }
}

TEST(BarcodeStatement, OtherStatementsReadAsBeforeAndBarcodesCountWithTheFigures) {
    // A keyword of another statement on the line wins, as it always has.
    const ReadForm r =
        readUtf8Form(std::string(kBaseLine) + "FIELD LOCATE=(1, 1)-(5, 1), CONST=\"BARCODE X\";\n"
                                              "RECT LOCATE=(1, 1)-(5, 5); // BARCODE TYPE=QR\n");
    ASSERT_FALSE(r.error) << r.error;
    EXPECT_EQ(r.model->fieldCount, 1);
    ASSERT_EQ(r.model->figureCount, 1);
    EXPECT_EQ(firstFigure(r).kind, kKindRect);

    std::string text = kBaseLine;
    for (int n = 0; n < kMaxItems; ++n)
        text +=
            n % 2 ? "RECT LOCATE=(1, 1)-(2, 2);\n" : "BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=\"X\";\n";
    text += "BARCODE LOCATE=(1, 1)-(9, 9), TYPE=QR, CONST=\"ONE TOO MANY\";\n";
    auto model = std::make_unique<FormModel>();
    EXPECT_EQ(readFormStatements(text, *model, ReaderVariant::Print),
              std::optional<FormError>(FormError{kErrorFigure, kItemCodeLimit, kMaxItems + 1}));
    EXPECT_EQ(model->figureCount, kMaxItems);
}

TEST(BarcodeStatement, EveryTypeWritesReadsAndWritesTheSameBytes) {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    model->appendField(testsupport::fieldRecord(1, 1, 20, "AMOUNT"));
    for (int type = 1; type <= kBarcodeTypeCount; ++type) {
        const bool fromField = type % 2 == 0;
        FigureInfo figure = testsupport::barcodeRecord(
            2 + type * 3, 3, 4 + type * 3, 40, type, fromField ? "AMOUNT" : "A,B 12", fromField,
            type % 3 == 0, type == kBarcodeQr ? kEccQ : kEccDefault);
        figure.lineColor = type == kBarcodeJan8 ? rgb(1, 2, 3) : 0;
        if (type == kBarcodeCode39) {
            figure.loopDir = kLoopV;
            figure.loopCount = 2;
            figure.loopPitch = 5;
        }
        ASSERT_TRUE(figureSurvives(figure, model->form)) << barcodeTypeName(type);
        model->appendFigure(figure);
    }
    const std::string written = formatFormFile(*model, {2026, 12, 8});
    EXPECT_NE(written.find("BARCODE LOCATE=(11, 3)-(13, 40), TYPE=CODE39, HRI=ON, LOOP=V-2-5, \r\n\t  "
                           "CONST=\"A,B 12\";\r\n"),
              std::string::npos);
    EXPECT_NE(written.find("TYPE=QR, HRI=ON, ECC=Q, \r\n\t  CONST="), std::string::npos);
    EXPECT_FALSE(firstChangedItem(*model, written));
    auto back = std::make_unique<FormModel>();
    readFormStatements(written, *back, ReaderVariant::Designer);
    EXPECT_FALSE(checkForm(*back, ReaderVariant::Designer));
    EXPECT_EQ(formatFormFile(*back, {2026, 12, 8}), written);
}

TEST(BarcodeStatement, RecordsTheFileWouldChangeDoNotSurvive) {
    const auto base = [] {
        FormModel model;
        model.setNewFormDefaults();
        return model.form;
    }();
    const auto with = [](auto change) {
        FigureInfo f = testsupport::barcodeRecord(1, 1, 9, 9, kBarcodeQr, "X");
        change(f);
        return f;
    };
    const auto text = [&](const char* content, bool fromField = false) {
        return with([=](FigureInfo& f) {
            storeBarcode(f, {kBarcodeCode128, false, kEccDefault, fromField, content});
        });
    };
    const auto byte = [&](std::size_t at, int value) {
        return with([=](FigureInfo& f) { f.reserved[at] = static_cast<char>(value); });
    };
    const std::pair<const char*, FigureInfo> rows[] = {
        {"a quote in the constant", text("A\"B")},
        {"a comment mark in the constant", text("HTTP://X")},
        {"a semicolon in the constant", text("A;B")},
        {"a key of the statement in the constant", text("ECC=H")},
        {"a field's tag longer than a tag", text("ABCDEFGHI", true)},
        {"no type", byte(BarcodeLayout::kType, 0)},
        {"type 12", byte(BarcodeLayout::kType, 12)},
        {"HRI 2", byte(BarcodeLayout::kHri, 2)},
        {"ECC 5", byte(BarcodeLayout::kEcc, 5)},
        {"content key 2", byte(BarcodeLayout::kFromField, 2)},
        {"a colour past 24 bits", with([](FigureInfo& f) { f.lineColor = 0x1000000; })},
    };
    ASSERT_TRUE(figureSurvives(with([](FigureInfo&) {}), base));
    ASSERT_TRUE(figureSurvives(text("lower case, and commas"), base));
    for (const auto& [what, figure] : rows)
        EXPECT_FALSE(figureSurvives(figure, base)) << what;
}

} // namespace
