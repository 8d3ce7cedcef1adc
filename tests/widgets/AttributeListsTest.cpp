#include "editor/widgets/AttributeLists.h"
#include "editor/widgets/AttributeControls.h"
#include "formdesc/ShiftJis.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using editor::AttributeList;

namespace {

struct ListRow {
    AttributeList list;
    const char* texts; // joined with "|"
    std::vector<int> codes;
};

const ListRow kListRows[] = {
    {AttributeList::TagMode, "使用しない|使用する", {0, 1}},
    {AttributeList::LineCourse, "横線|縦線|斜線(左上り)|斜線(右上り)", {1, 2, 3, 4}},
    {AttributeList::MeshKind, "枠のみ|中塗りのみ|枠と中塗り", {0, 1, 2}},
    {AttributeList::LineType, "実線|点線(密)|鎖線|点線(粗)|一点鎖線|二点鎖線", {1, 2, 3, 4, 5, 6}},
    {AttributeList::LineWidth, "極細|細い|標準|太い|極太", {1, 2, 3, 4, 5}},
    {AttributeList::LoopDirection, "なし|横方向|縦方向", {0, 1, 2}},
    {AttributeList::LoopUnit, "|桁|行", {0, 1, 2}},
    {AttributeList::Zoom, "200%|150%|125%|100%|75%|50%|全体", {200, 150, 125, 100, 75, 50, -1}},
    {AttributeList::SelectionFilter, "全て選択|ﾌｨｰﾙﾄﾞ|直線|四角形|ﾋﾞｯﾄﾏｯﾌﾟ", {0, 1, 2, 3, 4}},
};

std::string sjis(const char* utf8) {
    return formdesc::sjis::fromUtf8(utf8);
}

} // namespace

// Every list: its texts in order, the code of every position and back, and
// nothing outside the list.
TEST(AttributeLists, TextsAndCodesInTableOrder) {
    for (const ListRow& row : kListRows) {
        SCOPED_TRACE(row.texts);
        EXPECT_EQ(editor::attributeTexts(row.list).join("|"), QString::fromUtf8(row.texts));
        const int count = int(row.codes.size());
        for (int position = 0; position < count; ++position) {
            EXPECT_EQ(editor::codeAt(row.list, position), row.codes[std::size_t(position)]);
            EXPECT_EQ(editor::positionOf(row.list, row.codes[std::size_t(position)]), position);
        }
        EXPECT_FALSE(editor::codeAt(row.list, -1));
        EXPECT_FALSE(editor::codeAt(row.list, count));
        EXPECT_EQ(editor::positionOf(row.list, 99), -1);
    }
}

// The texts are stored in fixed Shift-JIS entries elsewhere: each must have
// a Shift-JIS form (the half-width katakana included) that fits its entry.
TEST(AttributeLists, TextsFitTheirShiftJisEntries) {
    for (const ListRow& row : kListRows) {
        const editor::AttributeTable& table = editor::attributeTable(row.list);
        for (const editor::AttributeEntry& entry : table.entries) {
            const std::string bytes = formdesc::sjis::fromUtf8(entry.text);
            SCOPED_TRACE(std::string(entry.text));
            EXPECT_LT(int(bytes.size()), table.entryBytes);
            EXPECT_EQ(formdesc::sjis::toUtf8(bytes), entry.text);
        }
    }
    // Half-width katakana: one byte a character.
    EXPECT_EQ(formdesc::sjis::fromUtf8("ﾋﾞｯﾄﾏｯﾌﾟ").size(), 8u);
}

TEST(AttributeLists, FillComboChoosesTheCodesEntry) {
    QComboBox combo;
    combo.addItem("stale");
    editor::fillCombo(combo, AttributeList::LineType, 4);
    EXPECT_EQ(combo.count(), 6);
    EXPECT_EQ(combo.currentText(), QStringLiteral("点線(粗)"));
    editor::fillCombo(combo, AttributeList::LineCourse, 1);
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.currentText(), QStringLiteral("横線"));
    // A code no entry stands for leaves nothing chosen.
    editor::fillCombo(combo, AttributeList::LineWidth, 0);
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(AttributeControls, FontCellHeight) {
    EXPECT_EQ(editor::fontCellHeight(96, 90), 12);
    EXPECT_EQ(editor::fontCellHeight(96, 105), 14);
    EXPECT_EQ(editor::fontCellHeight(144, 90), 18);
}

// A chosen family goes back to the Windows name that forms carry, keeping the
// name the user started from when it maps to the same face; other names are
// stored cut on whole characters to 35 bytes.
TEST(AttributeControls, FaceNameForChosenFamily) {
    struct Row {
        const char* family;
        const char* start;
        const char* stored;
    };
    const Row rows[] = {
        {"IPAMincho", "ＭＳ 明朝", "ＭＳ 明朝"},
        {"IPAGothic", "ＭＳ 明朝", "ＭＳ ゴシック"},
        {"IPAPGothic", "ＭＳ ＵＩ ゴシック", "ＭＳ ＵＩ ゴシック"},
        {"IPAPGothic", "ＭＳ 明朝", "ＭＳ Ｐゴシック"},
        {"DejaVu Sans", "ＭＳ 明朝", "DejaVu Sans"},
        {"あいうえおかきくけこさしすせそたちつてと", "", "あいうえおかきくけこさしすせそたち"},
        {"aあいうえおかきくけこさしすせそたちつてと", "", "aあいうえおかきくけこさしすせそたち"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.family);
        const auto name = editor::faceNameForFamily(QString::fromUtf8(row.family), sjis(row.start));
        EXPECT_EQ(std::string(name.data()), sjis(row.stored));
        EXPECT_EQ(name.back(), '\0');
    }
}

// The font dialog starts at the stand-in face and the size; its answer comes
// back as a face name and tenths, a font in pixels through the pixel rule.
TEST(AttributeControls, ChooseFontThroughTheDialog) {
    editor::FontRequest seen;
    std::optional<QFont> answer;
    editor::AttributeDialogs dialogs;
    dialogs.font = [&](const editor::FontRequest& request, QWidget*) {
        seen = request;
        return answer;
    };
    QWidget screen96;
    const int dpi = screen96.logicalDpiY();

    EXPECT_FALSE(editor::chooseFont(sjis("ＭＳ 明朝"), 105, &screen96, dialogs));
    EXPECT_EQ(seen.family, QStringLiteral("IPAMincho"));
    EXPECT_EQ(seen.tenths, 105);
    EXPECT_EQ(seen.cellHeight, dpi * 105 / 720);

    QFont points(QStringLiteral("IPAGothic"));
    points.setPointSizeF(10.5);
    answer = points;
    auto choice = editor::chooseFont(sjis("ＭＳ 明朝"), 90, &screen96, dialogs);
    ASSERT_TRUE(choice);
    EXPECT_EQ(std::string(choice->faceName.data()), sjis("ＭＳ ゴシック"));
    EXPECT_EQ(choice->tenths, 105);

    QFont pixels(QStringLiteral("IPAMincho"));
    pixels.setPixelSize(dpi * 14 / 96);
    answer = pixels;
    choice = editor::chooseFont(sjis("ＭＳ 明朝"), 90, &screen96, dialogs);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->tenths, pixels.pixelSize() * 720 / dpi);
}

TEST(AttributeControls, RejectInputSelectsTheWholeTextAndTakesTheFocus) {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* edit = new QLineEdit(QStringLiteral("12.345"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(other);
    layout->addWidget(edit);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    editor::rejectInput(*edit);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), QStringLiteral("12.345"));
    // Typing replaces the refused text.
    QTest::keyClicks(edit, "9");
    EXPECT_EQ(edit->text(), QStringLiteral("9"));
}
