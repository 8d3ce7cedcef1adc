#include "editor/sheets/PropertyPageRules.h"
#include "editor/sheets/FormTextCheck.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace editor;
using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormInfo;
using formdesc::FormModel;

namespace {

FormInfo newForm() {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    return model->form;
}

// A form of 80 columns by 40 rows on A4 landscape (297 x 210 mm).
FormInfo gridForm() {
    FormInfo form = newForm();
    form.paperSize = formdesc::kPaperA4;
    form.columns = 80;
    form.rows = 40;
    return form;
}

PositionValues typed(const char* c1, const char* r1, const char* c2, const char* r2) {
    return {c1, r1, c2, r2};
}

struct Cells {
    int c1, r1, c2, r2;
};

template <typename Record> Cells cellsOf(const Record& record) {
    return {record.startCol, record.startRow, record.endCol, record.endRow};
}

} // namespace

// What a page shows stores back to the same bytes, so OK without a change
// leaves the sheet unchanged: also for the values no page shows.
TEST(SheetRules, FilledValuesStoreBackUnchanged) {
    const FormInfo plain = newForm();
    FormInfo form = plain;
    form.speed = 1;
    form.tagMode = 1;
    form.direction = formdesc::kPortrait;
    form.fontSize = 105;
    EXPECT_FALSE(commitRecord(form, storeBase(fillBase(form), form).record));

    FieldInfo field = testsupport::fieldRecord(3, 7, 12, "CODE");
    field.wide = field.minus = 1;
    field.mesh = 1;
    field.meshColor = formdesc::rgb(192, 192, 192);
    formdesc::sjis::storeWhole(field.constText, sizeof field.constText, formdesc::sjis::fromUtf8("合計,円"));
    EXPECT_FALSE(commitRecord(field, storeField(fillField(field), field, plain).record));

    FigureInfo line = testsupport::lineRecord(2, 5, 30, 5, formdesc::kCourseH, formdesc::kLineDash, 2);
    line.loopDir = formdesc::kLoopV;
    line.loopCount = 4;
    line.loopPitch = 3;
    EXPECT_FALSE(commitRecord(line, storeLine(fillFigure(line), plain).record));

    FigureInfo rect = testsupport::rectRecord(2, 2, 9, 9, formdesc::kMeshFrameAndFill);
    EXPECT_FALSE(commitRecord(rect, storeRect(fillFigure(rect), plain).record));

    FigureInfo bitmap = testsupport::bitmapRecord(1, 1, 4, 4, "/tmp/logo.bmp");
    EXPECT_FALSE(commitRecord(bitmap, storeBitmap(fillBitmap(bitmap), plain).record));

    // A loop of no repetitions shows empty edits, and empty edits store 0.
    FigureInfo noLoop = testsupport::rectRecord(1, 1, 2, 2);
    noLoop.loopDir = formdesc::kLoopH;
    noLoop.loopCount = 0;
    noLoop.loopPitch = -3;
    const FigureValues shown = fillFigure(noLoop);
    EXPECT_EQ(shown.loopCount, "");
    EXPECT_EQ(shown.loopPitch, "");
    const FigureInfo stored = storeRect(shown, plain).record;
    EXPECT_EQ(stored.loopCount, 0);
    EXPECT_EQ(stored.loopPitch, 0);
    EXPECT_EQ(stored.loopDir, formdesc::kLoopH);

    // A changed value replaces the record and reports the change.
    FieldValues changed = fillField(field);
    changed.center = true;
    EXPECT_TRUE(commitRecord(field, storeField(changed, field, plain).record));
    EXPECT_EQ(field.center, 1);
}

// Positions are normalised to a top-left start; a line's course then keeps
// it straight.
TEST(SheetRules, PositionsAreNormalisedAndLinesKeepTheirCourse) {
    struct Row {
        int kind;
        int listPosition; // course or mesh kind
        PositionValues position;
        Cells expected;
    } rows[] = {
        {formdesc::kKindRect, 0, typed("5", "3", "2", "1"), {2, 1, 5, 3}},
        {formdesc::kKindLine, 1, typed("4", "2", "9", "7"), {4, 2, 4, 7}}, // 縦線
        {formdesc::kKindLine, 0, typed("4", "2", "9", "7"), {4, 2, 9, 2}}, // 横線
        {formdesc::kKindLine, 1, typed("9", "7", "4", "2"), {4, 2, 4, 7}}, // reversed, then vertical
        {formdesc::kKindLine, 3, typed("9", "2", "4", "7"), {4, 2, 9, 7}}, // diagonal: normalised only
        {formdesc::kKindBitmap, 0, typed("10", "10", "1", "1"), {1, 1, 10, 10}},
    };
    const FormInfo form = gridForm();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind * 10 + row.listPosition);
        StoreResult<FigureInfo> result;
        if (row.kind == formdesc::kKindBitmap) {
            result = storeBitmap({row.position, "/tmp/a.bmp"}, form);
        } else {
            FigureValues values;
            values.position = row.position;
            values.kind = row.listPosition;
            result = row.kind == formdesc::kKindLine ? storeLine(values, form) : storeRect(values, form);
        }
        ASSERT_TRUE(result.accepted());
        EXPECT_EQ(result.record.kind, row.kind);
        const Cells got = cellsOf(result.record);
        EXPECT_EQ(got.c1, row.expected.c1);
        EXPECT_EQ(got.r1, row.expected.r1);
        EXPECT_EQ(got.c2, row.expected.c2);
        EXPECT_EQ(got.r2, row.expected.r2);
    }
}

// The position checks run in a fixed order and name the first edit that
// fails; the grid's last cell is inside.
TEST(SheetRules, PositionChecksNameTheFirstFailingEdit) {
    struct Row {
        PositionValues position;
        PageControl expected;
    } rows[] = {
        {typed("0", "0", "81", "41"), PageControl::StartCol},
        {typed("", "1", "5", "1"), PageControl::StartCol},
        {typed("1", "0", "81", "41"), PageControl::StartRow},
        {typed("1", "1", "81", "41"), PageControl::EndCol},
        {typed("1", "1", "80", "41"), PageControl::EndRow},
        {typed("1", "1", "80", "40"), PageControl::None},
    };
    const FormInfo form = gridForm();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position.startCol.toStdString() + "," + row.position.endCol.toStdString() + "," +
                     row.position.endRow.toStdString());
        FigureValues figure;
        figure.position = row.position;
        figure.kind = 3;
        EXPECT_EQ(storeLine(figure, form).failing, row.expected);
        EXPECT_EQ(storeRect(figure, form).failing, row.expected);
        EXPECT_EQ(storeBitmap({row.position, ""}, form).failing, row.expected);
    }
}

// A field is one row high: the start row gives both rows, and the end-row
// edit is never read.
TEST(SheetRules, FieldTakesItsRowFromTheStartRow) {
    const FormInfo form = gridForm();
    const FieldInfo stored = testsupport::fieldRecord(3, 5, 12);
    FieldValues values = fillField(stored);
    values.position.startRow = "8";
    const StoreResult<FieldInfo> moved = storeField(values, stored, form);
    ASSERT_TRUE(moved.accepted());
    EXPECT_EQ(moved.record.startRow, 8);
    EXPECT_EQ(moved.record.endRow, 8);
    EXPECT_EQ(moved.record.endCol, 12);

    values.position.startRow = "41";
    EXPECT_EQ(storeField(values, stored, form).failing, PageControl::EndRow);
}

TEST(SheetRules, StepsWrapAndSkipOtherKinds) {
    auto model = std::make_unique<FormModel>();
    for (int kind : {formdesc::kKindLine, formdesc::kKindRect, formdesc::kKindLine, formdesc::kKindRect,
                     formdesc::kKindLine, formdesc::kKindBitmap})
        model->appendFigure(testsupport::figureRecord(kind, 1, 1, 2, 2));
    model->appendField(testsupport::fieldRecord(1, 1, 5));
    struct Row {
        int kind;
        int from;
        int direction;
        int expected;
    } rows[] = {
        {formdesc::kKindLine, 2, 1, 4},   {formdesc::kKindLine, 4, 1, 0},    {formdesc::kKindLine, 0, -1, 4},
        {formdesc::kKindRect, 1, 1, 3},   {formdesc::kKindRect, 3, 1, 1},    {formdesc::kKindRect, 1, -1, 3},
        {formdesc::kKindBitmap, 5, 1, 5}, {formdesc::kKindBitmap, 5, -1, 5}, // the only one of its kind
        {formdesc::kKindField, 0, 1, 0},  {formdesc::kKindField, 0, -1, 0},  // a single field
        {formdesc::kKindLine, 9, 1, 9},                                      // not an item: stays
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.kind) + " from " + std::to_string(row.from));
        EXPECT_EQ(neighbourItem(*model, row.kind, row.from, row.direction), row.expected);
    }
    model->appendField(testsupport::fieldRecord(1, 2, 5));
    model->appendField(testsupport::fieldRecord(1, 3, 5));
    EXPECT_EQ(neighbourItem(*model, formdesc::kKindField, 0, -1), 2);
    EXPECT_EQ(neighbourItem(*model, formdesc::kKindField, 2, 1), 0);
}

// Texts the form file would give back differently are refused on their edit;
// texts that read back (upper-cased) pass.
TEST(SheetRules, TextsThatWouldNotReadBackAreRefused) {
    const FormInfo form = gridForm();
    struct Row {
        const char* what;
        int page; // 0 form title, 1 form font, 2 tag, 3 constant, 4 file name
        const char* text;
        PageControl expected;
    } rows[] = {
        {"comma in a title", 0, "見積,請求", PageControl::Title},
        {"quote in a title", 0, "A\"B", PageControl::Title},
        {"comment in a title", 0, "A//B", PageControl::Title},
        {"semicolon ends the statement", 0, "A;B", PageControl::Title},
        {"a title holding a key name", 0, "ARROW", PageControl::Title},
        {"no Shift-JIS form", 0, "A\xF0\x9F\x98\x80", PageControl::Title},
        {"too long for the title", 0, "0123456789012345678901234567890123456789012345678901234567890123",
         PageControl::Title},
        {"plain title, lower case", 0, "請求書 invoice", PageControl::None},
        {"comma in a face name", 1, "IPA,Gothic", PageControl::FontName},
        {"hyphen in a face name", 1, "IPA-Gothic", PageControl::FontName},
        {"comma in a tag", 2, "A,B", PageControl::Tag},
        {"quote in a tag", 2, "\"", PageControl::Tag},
        {"nine bytes of tag", 2, "ABCDEFGHI", PageControl::Tag},
        {"plain tag", 2, "Code_1", PageControl::None},
        {"comma in a constant", 3, "1,000円", PageControl::None},
        {"quote in a constant", 3, "A\"B", PageControl::ConstText},
        {"comment in a constant", 3, "http://x", PageControl::ConstText},
        {"semicolon in a constant", 3, "A;B", PageControl::ConstText},
        {"a constant that sets a flag", 3, "WIDE=ON, X", PageControl::ConstText},
        {"comma in a file name", 4, "/tmp/a,b.bmp", PageControl::FileName},
        {"keyword in a file name", 4, "/tmp/line 1.bmp", PageControl::FileName},
        {"comment in a file name", 4, "//server/a.bmp", PageControl::FileName},
        {"plain file name", 4, "/tmp/Logo 1.bmp", PageControl::None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QString text = QString::fromUtf8(row.text);
        PageControl failing = PageControl::None;
        QString reason;
        const auto take = [&](const auto& result) {
            failing = result.failing;
            reason = result.reason;
        };
        if (row.page <= 1) {
            BaseValues values = fillBase(form);
            (row.page == 0 ? values.title : values.fontName) = text;
            take(storeBase(values, form));
        } else if (row.page <= 3) {
            const FieldInfo field = testsupport::fieldRecord(1, 1, 10, "T");
            FieldValues values = fillField(field);
            (row.page == 2 ? values.tag : values.constText) = text;
            take(storeField(values, field, form));
        } else {
            take(storeBitmap({typed("1", "1", "5", "5"), text}, form));
        }
        EXPECT_EQ(failing, row.expected);
        // A refusal says which control and why; an accepted store says nothing.
        EXPECT_EQ(reason.isEmpty(), row.expected == PageControl::None) << reason.toStdString();
    }
}

// Beyond the texts: a record is taken only when the writer's text of it reads
// back to the same record. A colour the file cannot hold (bits above the
// red, green and blue bytes) would come back as another colour.
TEST(SheetRules, RecordsThatWouldNotReadBackAreRefusedWithAReason) {
    const FormInfo form = gridForm();
    constexpr formdesc::ColorRef kTooWide = 0x7F000000;
    const FieldInfo field = testsupport::fieldRecord(1, 1, 10, "T");
    const FigureInfo line = testsupport::lineRecord(1, 2, 9, 2, formdesc::kCourseH, formdesc::kLineSolid, 1);
    const FigureInfo rect = testsupport::rectRecord(1, 3, 9, 5, formdesc::kMeshFrameAndFill);
    struct Row {
        const char* what;
        std::function<StoreResult<int>()> store;
    };
    const auto outcome = [](const auto& result) {
        return StoreResult<int>{0, result.failing, result.reason};
    };
    const Row rows[] = {
        {"form text colour",
         [&] {
             BaseValues values = fillBase(form);
             values.textColor = kTooWide;
             return outcome(storeBase(values, form));
         }},
        {"field text colour",
         [&] {
             FieldValues values = fillField(field);
             values.textColor = kTooWide;
             return outcome(storeField(values, field, form));
         }},
        {"line colour",
         [&] {
             FigureValues values = fillFigure(line);
             values.lineColor = kTooWide;
             return outcome(storeLine(values, form));
         }},
        {"rectangle fill colour",
         [&] {
             FigureValues values = fillFigure(rect);
             values.meshColor = kTooWide;
             return outcome(storeRect(values, form));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const StoreResult<int> result = row.store();
        EXPECT_EQ(result.failing, PageControl::Page);
        EXPECT_EQ(result.reason, QString::fromUtf8("保存すると内容が変わる値があります"));
    }
}

// A tag that hides another item's key breaks only together with it: the tag
// is blamed, not the constant that came back wrong.
TEST(SheetRules, TextHidingAnotherTextsKeyIsBlamed) {
    const FormInfo form = gridForm();
    const FieldInfo field = testsupport::fieldRecord(1, 1, 10);
    FieldValues values = fillField(field);
    values.tag = "CONST";
    EXPECT_EQ(storeField(values, field, form).failing, PageControl::None);
    values.constText = "abc";
    EXPECT_EQ(storeField(values, field, form).failing, PageControl::Tag);
}

// The form page keeps the grid within 1-255 and the margins on the paper,
// by the reader's own rule.
TEST(SheetRules, FormGridAndMarginsStayReadable) {
    struct Row {
        const char* rows;
        const char* columns;
        const char* top;
        const char* left;
        bool landscape;
        PageControl expected;
    } rows[] = {
        {"255", "255", "5", "5", true, PageControl::None},
        {"0", "80", "5", "5", true, PageControl::Rows},
        {"", "80", "5", "5", true, PageControl::Rows},
        {"256", "80", "5", "5", true, PageControl::Rows},
        {"40", "0", "5", "5", true, PageControl::Columns},
        {"0", "256", "5", "5", true, PageControl::Columns}, // columns are checked first
        {"40", "80", "200", "287", true, PageControl::None},
        {"40", "80", "5", "287.1", true, PageControl::LeftMargin},
        {"40", "80", "200.1", "5", true, PageControl::TopMargin},
        {"40", "80", "287", "200", false, PageControl::None},
        {"40", "80", "5", "200.1", false, PageControl::LeftMargin},
        {"40", "80", "5", "-1", true, PageControl::LeftMargin},
    };
    const FormInfo form = gridForm();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.rows) + "x" + row.columns + " " + row.top + "/" + row.left);
        BaseValues values = fillBase(form);
        values.rows = row.rows;
        values.columns = row.columns;
        values.topMargin = row.top;
        values.leftMargin = row.left;
        values.landscape = row.landscape;
        EXPECT_EQ(storeBase(values, form).failing, row.expected);
    }
}

// Every refusal says why in words the page shows: a position or grid edit
// the range it takes, a text what the form file cannot hold.
TEST(SheetRules, EveryRefusalTellsItsReason) {
    const FormInfo form = gridForm(); // 80 columns, 40 rows
    const FieldInfo field = testsupport::fieldRecord(3, 5, 12, "CODE");
    const FigureInfo line = testsupport::lineRecord(2, 5, 30, 5, formdesc::kCourseH);
    const FigureInfo rect = testsupport::rectRecord(2, 2, 9, 9);
    const FigureInfo bitmap = testsupport::bitmapRecord(1, 1, 4, 4, "/tmp/logo.bmp");
    struct Row {
        const char* what;
        std::function<std::pair<PageControl, QString>()> store;
        PageControl control;
        const char* reason; // nullptr: any text that names the control's caption
    };
    auto refusal = [](const auto& result) { return std::pair{result.failing, result.reason}; };
    const Row rows[] = {
        {"end column 95 of a line",
         [&] {
             FigureValues v = fillFigure(line);
             v.position.endCol = "95";
             return refusal(storeLine(v, form));
         },
         PageControl::EndCol, "終了列は1〜80の範囲で指定してください"},
        {"start column 0 of a rectangle",
         [&] {
             FigureValues v = fillFigure(rect);
             v.position.startCol = "0";
             return refusal(storeRect(v, form));
         },
         PageControl::StartCol, "開始列は1〜80の範囲で指定してください"},
        {"empty start row of a field",
         [&] {
             FieldValues v = fillField(field);
             v.position.startRow = "";
             return refusal(storeField(v, field, form));
         },
         PageControl::StartRow, "開始行は1〜40の範囲で指定してください"},
        {"field that would fall off the grid's last column",
         [&] {
             FieldValues v = fillField(field);
             v.position.endCol = "81";
             return refusal(storeField(v, field, form));
         },
         PageControl::EndCol, "終了列は1〜80の範囲で指定してください"},
        {"end row 50 of a bitmap",
         [&] {
             BitmapValues v = fillBitmap(bitmap);
             v.position.endRow = "50";
             return refusal(storeBitmap(v, form));
         },
         PageControl::EndRow, "終了行は1〜40の範囲で指定してください"},
        {"256 columns",
         [&] {
             BaseValues v = fillBase(form);
             v.columns = "256";
             return refusal(storeBase(v, form));
         },
         PageControl::Columns, "桁数は1〜255の範囲で指定してください"},
        {"no rows",
         [&] {
             BaseValues v = fillBase(form);
             v.rows = "0";
             return refusal(storeBase(v, form));
         },
         PageControl::Rows, "行数は1〜255の範囲で指定してください"},
        {"left margin past the paper",
         [&] {
             BaseValues v = fillBase(form);
             v.leftMargin = "290";
             return refusal(storeBase(v, form));
         },
         PageControl::LeftMargin, nullptr},
        {"quote in a constant",
         [&] {
             FieldValues v = fillField(field);
             v.constText = "A\"B";
             return refusal(storeField(v, field, form));
         },
         PageControl::ConstText, "ｺﾝｽﾀﾝﾄの「\"」は帳票ファイルに保存できません"},
        {"tag of nine bytes",
         [&] {
             FieldValues v = fillField(field);
             v.tag = "ABCDEFGHI";
             return refusal(storeField(v, field, form));
         },
         PageControl::Tag, nullptr},
        {"comma in a file name",
         [&] {
             BitmapValues v = fillBitmap(bitmap);
             v.fileName = "/tmp/a,b.bmp";
             return refusal(storeBitmap(v, form));
         },
         PageControl::FileName, "ﾌｧｲﾙ名の「,」は帳票ファイルに保存できません"},
        {"keyword in a file name",
         [&] {
             BitmapValues v = fillBitmap(bitmap);
             v.fileName = "/tmp/line 1.bmp";
             return refusal(storeBitmap(v, form));
         },
         PageControl::FileName, nullptr},
        {"comment in a constant with a comma before it",
         [&] {
             FieldValues v = fillField(field);
             v.constText = "1,000 http://x";
             return refusal(storeField(v, field, form));
         },
         PageControl::ConstText, "ｺﾝｽﾀﾝﾄの「//」は帳票ファイルに保存できません"},
        {"semicolon in a title",
         [&] {
             BaseValues v = fillBase(form);
             v.title = "A;B";
             return refusal(storeBase(v, form));
         },
         PageControl::Title, "名称の「;」は帳票ファイルに保存できません"},
        {"hyphen in a face name",
         [&] {
             BaseValues v = fillBase(form);
             v.fontName = "IPA-Gothic";
             return refusal(storeBase(v, form));
         },
         PageControl::FontName, "ﾌｫﾝﾄ名の「-」は帳票ファイルに保存できません"},
    };
    const std::pair<PageControl, const char*> captions[] = {{PageControl::LeftMargin, "左ﾏｰｼﾞﾝ"},
                                                            {PageControl::ConstText, "ｺﾝｽﾀﾝﾄ"},
                                                            {PageControl::Tag, "TAG名"},
                                                            {PageControl::FileName, "ﾌｧｲﾙ名"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto [control, reason] = row.store();
        EXPECT_EQ(control, row.control);
        if (row.reason) {
            EXPECT_EQ(reason, QString::fromUtf8(row.reason));
            continue;
        }
        for (const auto& [which, caption] : captions) {
            if (which == row.control) {
                EXPECT_TRUE(reason.startsWith(QString::fromUtf8(caption))) << reason.toStdString();
            }
        }
    }
}
