#include "formdesc/MessageSink.h"
#include "tests/support/FormText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace formdesc;

namespace {

const FieldInfo& field(const ReadForm& r, int i) {
    return r.model->fields[static_cast<std::size_t>(i)];
}
const FigureInfo& figure(const ReadForm& r, int i) {
    return r.model->figures[static_cast<std::size_t>(i)];
}

TEST(FormReader, ReadsTheWritersStatements) {
    const ReadForm r = readUtf8Form(
        "BASE TITLE=\"新規帳票\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, LMARGIN=5, TMARGIN=5, "
        "FONT=\"ＭＳ 明朝\"-9, LTYPE=1-3, TCOLOR=#000000, LCOLOR=#000000, MCOLOR=#C0C0C0;\n"
        "FIELD LOCATE=(3, 2)-(20, 2), TAG=\"name\", WIDE=ON;\n"
        "LINE LOCATE=(1, 4)-(80, 4), COURSE=H, LTYPE=2-1;\n");
    ASSERT_FALSE(r.error) << r.error;
    const FormInfo& f = r.model->form;
    EXPECT_EQ(utf8Of(sjis::view(f.title)), "新規帳票");
    EXPECT_EQ(f.paperSize, kPaperA4);
    EXPECT_EQ(f.direction, kPortrait);
    EXPECT_EQ(f.columns, 80);
    EXPECT_EQ(f.rows, 66);
    EXPECT_EQ(f.leftMargin, 50);
    EXPECT_EQ(f.fontSize, 90);
    EXPECT_EQ(f.meshColor, rgb(192, 192, 192));
    ASSERT_EQ(r.model->fieldCount, 1);
    EXPECT_EQ(std::string(field(r, 0).tag), "NAME");
    EXPECT_EQ(field(r, 0).wide, 1);
    EXPECT_EQ(field(r, 0).fontSize, 90);
    ASSERT_EQ(r.model->figureCount, 1);
    EXPECT_EQ(figure(r, 0).kind, kKindLine);
    EXPECT_EQ(figure(r, 0).lineType, 2);
    EXPECT_EQ(figure(r, 0).lineWidth, 1);
}

TEST(FormReader, UpperCasesWholeLinesAndKeepsConstCommas) {
    const ReadForm r = readUtf8Form(std::string(kBaseLine) +
                                    "field locate=(1, 1)-(5, 1), tag=\"ab\", const=\"x,y,ｚ\", mesh=on;\n"
                                    "bitmap locate=(1, 1)-(5, 5), file=\"logo.bmp\";\n");
    ASSERT_FALSE(r.error) << r.error;
    EXPECT_EQ(std::string(field(r, 0).tag), "AB");
    EXPECT_EQ(utf8Of(field(r, 0).constText), "X,Y,Ｚ");
    EXPECT_EQ(field(r, 0).mesh, 1);
    EXPECT_EQ(std::string(figure(r, 0).fileName()), "LOGO.BMP");
}

TEST(FormReader, StatementJoiningAndLosses) {
    // Three lines joined; a second statement on one line is lost; an
    // unfinished statement at the end is dropped; stray lines are ignored.
    const ReadForm r =
        readUtf8Form(std::string(kBaseLine) + "// comment\n\nstray\n"
                                              "LINE LOCATE=(1, 2)-\n  (1, 9),\n LTYPE=1-1;\n"
                                              "RECT LOCATE=(1, 1)-(2, 2); LINE LOCATE=(1, 1)-(9, 1);\n"
                                              "LINE LOCATE=(1, 1)-(9, 9)\n");
    ASSERT_FALSE(r.error) << r.error;
    ASSERT_EQ(r.model->figureCount, 2);
    EXPECT_EQ(figure(r, 0).course, kCourseV);
    EXPECT_EQ(figure(r, 0).endRow, 9);
    // Keywords are tried in a fixed order: the line holding RECT and LINE is a
    // LINE statement with the RECT's position.
    EXPECT_EQ(figure(r, 1).kind, kKindLine);
    EXPECT_EQ(figure(r, 1).endCol, 2);
}

TEST(FormReader, StatementStartsAnywhereInTheLine) {
    // A file name holding "BASE " makes the bitmap statement a BASE statement.
    const ReadForm r =
        readUtf8Form(std::string(kBaseLine) + "BITMAP LOCATE=(1,1)-(2,2), FILE=\"MY BASE X.BMP\";\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, (FormError{kErrorForm, 1, 0}));
    EXPECT_EQ(r.model->figureCount, 0);
}

TEST(FormReader, DerivedCourses) {
    const ReadForm r =
        readUtf8Form(std::string(kBaseLine) +
                     "LINE LOCATE=(1, 2)-(1, 9);\nLINE LOCATE=(1, 2)-(9, 2);\n"
                     "LINE LOCATE=(1, 2)-(9, 9);\nLINE LOCATE=(3, 3)-(3, 3);\n"
                     "LINE LOCATE=(1, 2)-(9, 9), COURSE=RU;\nLINE LOCATE=(1, 2)-(9, 9), COURSE=X;\n");
    ASSERT_FALSE(r.error) << r.error;
    const int expected[] = {kCourseV, kCourseH, kCourseLU, kCourseH, kCourseRU, kCourseLU};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(figure(r, i).course, expected[i]) << i;
}

TEST(FormReader, FieldRowsAndDefaultsByVariant) {
    const std::string text = "FIELD LOCATE=(3, 5)-(10, 7);\n" + std::string(kBaseLine) +
                             "FIELD LOCATE=(3, 5)-(10, 7), FONT=\"ＭＳ ゴシック\"-10.5, TCOLOR=#FF0000;\n";
    const ReadForm designer = readUtf8Form(text);
    ASSERT_FALSE(designer.error);
    EXPECT_EQ(field(designer, 0).fontName[0], '\0'); // read before BASE
    EXPECT_EQ(field(designer, 0).fontSize, 0);
    EXPECT_EQ(field(designer, 1).endRow, 5);
    EXPECT_EQ(field(designer, 1).fontSize, 105);
    EXPECT_EQ(field(designer, 1).textColor, 255);
    const ReadForm print = readUtf8Form(text, ReaderVariant::Print);
    EXPECT_EQ(field(print, 1).endRow, 7);
}

TEST(FormReader, CheckPassErrors) {
    struct Row {
        std::string text;
        FormError error;
    } rows[] = {
        {"BASE SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;", {1, 1, 0}},
        {"BASE TITLE=\"A,B\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;", {1, 1, 0}},
        {"BASE TITLE=\"T\", SIZE=LETTER, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;", {1, 2, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=X, COLUMN=80, ROW=66, FONT=\"M\"-9;", {1, 3, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=256, ROW=66, FONT=\"M\"-9;", {1, 4, 0}},
        {"BASE TITLE=\"ROWS\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;", {1, 5, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, LMARGIN=200.1, FONT=\"M\"-9;",
         {1, 6, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=L, COLUMN=80, ROW=66, TMARGIN=200.1, FONT=\"M\"-9;",
         {1, 7, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-0.9;", {1, 8, 0}},
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9, LTYPE=0-2;", {1, 9, 0}},
        {std::string(kBaseLine) +
             "FIELD LOCATE=(1,1)-(2,1);FIELD LOCATE=(1,1)-(2,1);\nFIELD LOCATE=(1,1)-(2,1);\n"
             "FIELD LOCATE=(0, 1)-(2, 1);",
         {2, 2, 3}},
        {std::string(kBaseLine) + "FIELD TAG=\"A\";", {2, 1, 1}},
        {std::string(kBaseLine) + "FIELD LOCATE=(1, 1)-(81, 1);", {2, 2, 1}},
        {std::string(kBaseLine) + "RECT LOCATE=(1, 1)-(2, 67);", {3, 2, 1}},
        {std::string(kBaseLine) + "LINE TAG=1;", {3, 1, 1}},
        {std::string(kBaseLine) + "LINE LOCATE=(1, 1)-(2, 1), LTYPE=7-1;", {3, 3, 1}},
        // Figures take the form's line attributes as read; the repair of a
        // form without LTYPE comes later and does not reach them.
        {"BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;\nLINE LOCATE=(1,1)-(2,1);",
         {3, 3, 1}},
    };
    for (const Row& row : rows) {
        const ReadForm r = readUtf8Form(row.text);
        ASSERT_TRUE(r.error) << row.text;
        EXPECT_EQ(*r.error, row.error) << row.text;
    }
}

TEST(FormReader, MarginsAndLineDefaults) {
    const ReadForm r = readUtf8Form("BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, "
                                    "LMARGIN=5.25, TMARGIN=5.5, FONT=\"M\"-9;");
    ASSERT_FALSE(r.error) << r.error;
    EXPECT_EQ(r.model->form.leftMargin, 525);
    EXPECT_EQ(r.model->form.topMargin, 55);
    EXPECT_EQ(r.model->form.lineType, 1);
    EXPECT_EQ(r.model->form.lineWidth, 3);
    EXPECT_EQ(r.model->form.meshColor, 0); // no MCOLOR: black, not the new-form grey
}

TEST(FormReader, RuntimeVariantsConvertWidthsAndNeedTags) {
    const std::string text =
        "BASE TITLE=\"T\", SIZE=B4, DIRECTION=L, COLUMN=80, ROW=66, FONT=\"M\"-9, LTYPE=1-5;\n"
        "LINE LOCATE=(1,1)-(2,1), LTYPE=1-1;\nRECT LOCATE=(1,1)-(2,2), LTYPE=1-4;\n"
        "BITMAP LOCATE=(1,1)-(2,2), FILE=\"A.BMP\";\n";
    struct Row {
        ReaderVariant variant;
        int form, line, rect;
    } rows[] = {{ReaderVariant::Designer, 5, 1, 4},
                {ReaderVariant::Print, 4, 0, 3},
                {ReaderVariant::Preview, 3, 1, 2}};
    for (const Row& row : rows) {
        const ReadForm r = readUtf8Form(text, row.variant);
        ASSERT_FALSE(r.error) << r.error;
        EXPECT_EQ(r.model->form.lineWidth, row.form);
        EXPECT_EQ(figure(r, 0).lineWidth, row.line);
        EXPECT_EQ(figure(r, 1).lineWidth, row.rect);
        EXPECT_EQ(std::string(figure(r, 2).fileName()), "A.BMP");
    }
    const ReadForm print = readUtf8Form(text, ReaderVariant::Print);
    EXPECT_EQ(print.page.width, 3640);
    EXPECT_EQ(print.page.height, 2570);

    const std::string tagged =
        "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=2, TAGMODE=ON, FONT=\"M\"-9;\n"
        "FIELD LOCATE=(1, 40)-(2, 40), TAG=\"A\";\nFIELD LOCATE=(1, 1)-(2, 1);\n";
    EXPECT_EQ(*readUtf8Form(tagged, ReaderVariant::Print).error, (FormError{2, 3, 2}));
    EXPECT_EQ(*readUtf8Form(tagged).error, (FormError{2, 2, 1}));
    const ReadForm preview = readUtf8Form(tagged.substr(0, tagged.rfind("FIELD")), ReaderVariant::Preview);
    ASSERT_FALSE(preview.error);
    EXPECT_EQ(field(preview, 0).startRow, 1);
}

TEST(FormReader, ItemLimitsAndLongTexts) {
    std::string text = kBaseLine;
    for (int i = 0; i < 1025; ++i)
        text += "FIELD LOCATE=(1, 1)-(2, 1), TAG=\"ABCDEFGHIJ\";\n";
    text += "LINE LOCATE=(1, 1)-(2, 1);\n";
    text += "BASE TITLE=\"" + std::string(62, 'X') + "あいう" +
            "\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"" + std::string(60, 'F') + "\"-9;\n";
    const ReadForm r = readUtf8Form(text);
    ASSERT_FALSE(r.error) << r.error;
    EXPECT_EQ(r.model->fieldCount, 1024);
    EXPECT_EQ(r.model->figureCount, 1);
    EXPECT_EQ(std::string(field(r, 0).tag), "ABCDEFGH");
    EXPECT_EQ(std::strlen(r.model->form.title), 62u); // the cut does not split a character
    EXPECT_EQ(std::strlen(r.model->form.fontName), 35u);
}

TEST(FormReader, BinaryAndOddLineEndsDoNotCrash) {
    std::string noise;
    for (int i = 0; i < 5000; ++i)
        noise.push_back(static_cast<char>((i * 7919) & 0xFF));
    const std::string crOnly = "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, FONT=\"M\"-9;\r"
                               "FIELD LOCATE=(1,1)-(2,1);\r";
    const std::string withNul = std::string(kBaseLine) + "LINE LOCATE=(1,1)-(2,1);\n" + std::string(1, '\0') +
                                "LINE LOCATE=(1,1)-(3,1);\nLINE LOCA\0TE=(1,1)-(4,1);\n";
    const std::string noFinalNewline = std::string(kBaseLine) + "LINE LOCATE=(1,1)-(2,1);";
    const std::string longLine =
        std::string(kBaseLine) + "LINE LOCATE=(1,1)-(2,1)" + std::string(20000, ' ') + ";\n";
    for (const std::string& text : {noise, crOnly, withNul, noFinalNewline, longLine}) {
        FormModel model;
        readFormStatements(text, model, ReaderVariant::Print);
        (void)checkForm(model, ReaderVariant::Print);
    }
    FormModel model;
    readFormStatements(crOnly, model, ReaderVariant::Designer);
    EXPECT_EQ(model.fieldCount, 0); // one line: the second statement is lost
    EXPECT_EQ(model.form.rows, 66);
    FormModel last;
    readFormStatements(noFinalNewline, last, ReaderVariant::Designer);
    EXPECT_EQ(last.figureCount, 1);
}

TEST(FormReader, FileErrorsAreReportedOnceAndLeaveTheModel) {
    RecordingMessageSink sink;
    ScopedMessageSink scope(sink);
    FormModel model;
    model.setNewFormDefaults();
    EXPECT_FALSE(readFormFile("/nonexistent/form.zrk", model, ReaderVariant::Designer));
    EXPECT_FALSE(readFormFile("/tmp", model, ReaderVariant::Print));
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0].caption, "エラー");
    EXPECT_EQ(sink.messages[0].text, "その他 - 帳票パラメータが開けません");
    EXPECT_EQ(sink.messages[1].text, "その他 - 帳票パラメータがオープンできません");
    EXPECT_EQ(model.form.columns, 180);
}

TEST(FormMessages, ComposedTexts) {
    EXPECT_EQ(formErrorText({2, 2, 3}, MessageOrigin::Designer),
              "ﾌｨｰﾙﾄﾞ情報（3行） - LOCATEの指定に誤りがあります");
    EXPECT_EQ(formErrorText({3, 3, 12}, MessageOrigin::Library),
              "図形情報（12行） - LTYPEの指定に誤りがあります");
    EXPECT_EQ(formErrorText({1, 9, 0}, MessageOrigin::Designer), "帳票情報 - LTYPEの指定に誤りがあります");
    EXPECT_EQ(formErrorText({4, 7, 0}, MessageOrigin::Library), "その他 - プリンタが使用できません");
    EXPECT_EQ(formErrorText({4, 7, 0}, MessageOrigin::Designer), "その他 - ");
    EXPECT_EQ(formErrorText({1, 42, 0}, MessageOrigin::Designer), "帳票情報 - ");
}

} // namespace
