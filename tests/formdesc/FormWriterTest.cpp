#include "formdesc/FormWriter.h"
#include "formdesc/AtomicFile.h"
#include "formdesc/MessageSink.h"
#include "tests/support/FormText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace formdesc;

namespace {

std::string crlf(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

FieldInfo nameField(const FormInfo& form) {
    FieldInfo f{};
    f.startCol = 3;
    f.startRow = 2;
    f.endCol = 20;
    f.endRow = 2;
    std::strcpy(f.tag, "NAME");
    std::memcpy(f.fontName, form.fontName, sizeof f.fontName - 1);
    f.fontSize = form.fontSize;
    f.wide = 1;
    return f;
}

FigureInfo figure(int kind, int c1, int r1, int c2, int r2, const FormInfo& form) {
    FigureInfo g{};
    g.kind = kind;
    g.startCol = c1;
    g.startRow = r1;
    g.endCol = c2;
    g.endRow = r2;
    g.lineType = form.lineType;
    g.lineWidth = form.lineWidth;
    g.lineColor = form.lineColor;
    if (kind == kKindRect)
        g.meshColor = form.meshColor;
    return g;
}

TEST(FormWriter, WritesTheReferenceFileByteForByte) {
    FormModel model;
    model.setNewFormDefaults();
    model.appendField(nameField(model.form));
    FigureInfo line = figure(kKindLine, 1, 5, 40, 5, model.form);
    line.course = kCourseH;
    model.appendFigure(line);

    const std::string expected = sjis::fromUtf8(
        crlf("//\n//\tTabrikor Ver0.2 (VELDOR Version) by Qen\n//\t作成： 2000年 4月 1日\n//\n\n"
             "//\n//\t帳票情報\n//\n"
             "BASE TITLE=\"新規帳票\", SIZE=B4, DIRECTION=L, COLUMN=180, ROW=60, LMARGIN=5, TMARGIN=5, "
             "FONT=\"ＭＳ 明朝\"-9, LTYPE=1-3, TCOLOR=#000000, LCOLOR=#000000, MCOLOR=#C0C0C0;\n"
             "//\n//\tフィールド情報\n//\n"
             "FIELD LOCATE=(3, 2)-(20, 2), TAG=\"NAME\", WIDE=ON;\n"
             "//\n//\t図形\n//\n"
             "LINE LOCATE=(1, 5)-(40, 5), COURSE=H;\n"
             "\n//\tEnd of file. Good By...\n"));
    EXPECT_EQ(formatFormFile(model, {2000, 4, 1}), expected);
}

TEST(FormWriter, NewFormHasNoItemSections) {
    FormModel model;
    model.setNewFormDefaults();
    const std::string text = sjis::toUtf8(formatFormFile(model, {2024, 12, 7}));
    EXPECT_EQ(text.find("フィールド情報"), std::string::npos);
    EXPECT_EQ(text.find("図形"), std::string::npos);
    EXPECT_NE(text.find("作成： 2024年 12月 7日\r\n"), std::string::npos);
}

TEST(FormWriter, StatementItems) {
    FormInfo form{};
    FormModel model;
    model.setNewFormDefaults();
    form = model.form;
    form.leftMargin = 0;
    form.topMargin = 0;
    form.fontSize = 105;
    EXPECT_EQ(formatBaseStatement(form).find("MARGIN"), std::string::npos);
    EXPECT_NE(formatBaseStatement(form).find("\"-10.5, "), std::string::npos);

    FieldInfo f = nameField(form);
    f.fontSize = 105;
    f.wide = 0;
    f.minus = 1;
    f.center = 1;
    std::strcpy(f.constText, "ABC");
    EXPECT_EQ(formatFieldStatement(f, form),
              "FIELD LOCATE=(3, 2)-(20, 2), TAG=\"NAME\", CENTER=ON, MINUS=ON, "
              "\n\t  CONST=\"ABC\";\n");
    f.fontSize = 0;
    EXPECT_NE(formatFieldStatement(f, form).find("\"-, "), std::string::npos);
    FormInfo tagged = form;
    tagged.tagMode = 1;
    FieldInfo untagged = nameField(tagged);
    untagged.tag[0] = '\0';
    untagged.fontSize = tagged.fontSize;
    untagged.wide = 0;
    EXPECT_EQ(formatFieldStatement(untagged, tagged), "FIELD TAG=\"\", LOCATE=(3, 2)-(20, 2);\n");

    FigureInfo rect = figure(kKindRect, 1, 1, 10, 3, form);
    rect.meshKind() = kMeshFrameAndFill;
    rect.loopDir = kLoopV;
    rect.loopCount = 3;
    rect.loopPitch = 2;
    EXPECT_EQ(formatFigureStatement(rect, form), "RECT LOCATE=(1, 1)-(10, 3), MESH=BOTH, LOOP=V-3-2;\n");
    rect.lineColor = rgb(255, 0, 0);
    rect.meshColor = rgb(0, 0, 255);
    rect.lineWidth = 5;
    rect.loopCount = 0;
    EXPECT_EQ(formatFigureStatement(rect, form),
              "RECT LOCATE=(1, 1)-(10, 3), LTYPE=1-5, LCOLOR=#FF0000, MESH=BOTH, MCOLOR=#0000FF;\n");
    FigureInfo bitmap{};
    bitmap.kind = kKindBitmap;
    bitmap.startCol = bitmap.startRow = 1;
    bitmap.endCol = bitmap.endRow = 4;
    EXPECT_EQ(formatFigureStatement(bitmap, form), "BITMAP LOCATE=(1, 1)-(4, 4), FILE=\"\";\n");
}

TEST(FormWriter, TenthsAsText) {
    struct Row {
        int value;
        const char* text;
    } rows[] = {{0, ""}, {50, "5"}, {55, "5.5"}, {105, "10.5"}, {100, "10"}, {5, "0.5"}};
    for (const Row& row : rows)
        EXPECT_EQ(formatTenths(row.value), row.text);
}

// Every record written and read back with the designer's reader is the same,
// but for the documented exceptions (upper case texts, speed, field colours).
TEST(FormWriter, RoundTripKeepsTheModel) {
    FormModel model;
    model.setNewFormDefaults();
    model.form.tagMode = 1;
    model.form.leftMargin = 125;
    model.form.textColor = rgb(1, 2, 3);
    FieldInfo f = nameField(model.form);
    f.meshColor = model.form.meshColor;
    f.onLine = f.space = f.mesh = 1;
    std::strcpy(f.constText, "A,B");
    f.textColor = rgb(255, 0, 0);
    model.appendField(f);
    for (int course = 1; course <= 4; ++course) {
        FigureInfo line = figure(kKindLine, 1, 9, 30, 2, model.form);
        line.course = course;
        line.lineType = course + 2;
        line.loopDir = kLoopH;
        line.loopCount = course;
        line.loopPitch = 3;
        model.appendFigure(line);
    }
    FigureInfo rect = figure(kKindRect, 2, 2, 9, 9, model.form);
    rect.meshKind() = kMeshFillOnly;
    model.appendFigure(rect);
    FigureInfo bitmap{};
    bitmap.kind = kKindBitmap;
    bitmap.startCol = bitmap.startRow = 1;
    bitmap.endCol = bitmap.endRow = 4;
    std::strcpy(bitmap.fileName(), "IMG/LOGO.BMP");
    model.appendFigure(bitmap);

    FormModel back;
    readFormStatements(formatFormFile(model, {2000, 1, 1}), back, ReaderVariant::Designer);
    ASSERT_FALSE(checkForm(back, ReaderVariant::Designer));
    EXPECT_TRUE(sameBytes(back.form, model.form));
    ASSERT_EQ(back.fieldCount, 1);
    EXPECT_TRUE(sameBytes(back.fields[0], model.fields[0]));
    ASSERT_EQ(back.figureCount, model.figureCount);
    for (int i = 0; i < model.figureCount; ++i)
        EXPECT_TRUE(sameBytes(back.figures[i], model.figures[i])) << i;
}

class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/zrk-test-XXXXXX";
        m_path = mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::string file(const char* name) const { return m_path + "/" + name; }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

TEST(FormWriter, SavingReplacesWholeOrLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("form.zrk");
    FormModel model;
    model.setNewFormDefaults();
    RecordingMessageSink sink;
    ScopedMessageSink scope(sink);
    ASSERT_TRUE(writeFormFile(path, model));
    const std::string first = fileBytes(path);
    EXPECT_NE(first.find("BASE TITLE="), std::string::npos);

    // A folder that cannot be written: the save fails with the message and
    // the old file stays as it was.
    if (geteuid() != 0) {
        chmod(dir.path().c_str(), 0555);
        model.form.columns = 99;
        EXPECT_FALSE(writeFormFile(path, model));
        chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(fileBytes(path), first);
    }
    EXPECT_FALSE(writeFormFile(dir.path(), model)); // a folder is no form file
    EXPECT_FALSE(writeFormFile(dir.file("missing/form.zrk"), model));
    ASSERT_FALSE(sink.messages.empty());
    EXPECT_EQ(sink.messages.back().text, "その他 - 帳票パラメータを保存できません");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "form.zrk"); // no temporary files left
}

TEST(FormWriter, ReproducibleDateFromSourceDateEpoch) {
    setenv("SOURCE_DATE_EPOCH", "954547200", 1); // 2000-04-01 00:00 UTC
    const CalendarDate date = creationDate();
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(date.year, 2000);
    EXPECT_EQ(date.month, 4);
    EXPECT_EQ(date.day, 1);
}

} // namespace
