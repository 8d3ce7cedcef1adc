#include "editor/document/FormDocument.h"
#include "editor/sheets/PropertySheets.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingDocumentUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace editor;
using formdesc::FormModel;

namespace {

// Types the text key by key, each character with its text (QTest's own
// typing takes Latin-1 only).
void typeText(QWidget* widget, const QString& text) {
    for (char32_t code : text.toUcs4())
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&code, 1),
                            Qt::NoModifier);
}

constexpr formdesc::ColorRef kChosenColor = formdesc::rgb(10, 20, 30);

// A new form with a field and, as figures, LINE, RECT, LINE, RECT, LINE,
// BITMAP; the dialogs answer from the test.
class PropertySheetTest : public testing::Test {
  protected:
    PropertySheetTest() {
        model->setNewFormDefaults();
        model->appendField(testsupport::fieldRecord(3, 5, 12, "CODE"));
        for (int n = 0; n < 5; ++n) {
            const int row = n + 1;
            model->appendFigure(n % 2 == 0
                                    ? testsupport::lineRecord(1, row, 20, row, formdesc::kCourseH,
                                                              formdesc::kLineSolid, formdesc::kWidthStandard)
                                    : testsupport::rectRecord(2, row, 9, row + 4));
        }
        model->appendFigure(testsupport::bitmapRecord(1, 10, 4, 14, "/tmp/logo.bmp"));
        context.dialogs.color = [](formdesc::ColorRef, QWidget*) { return std::optional(kChosenColor); };
        context.dialogs.font = [](const FontRequest&, QWidget*) {
            QFont font(QStringLiteral("Test Face"));
            font.setPointSize(12);
            return std::optional(font);
        };
        context.chooseBitmap = [](QWidget*) { return std::optional(QStringLiteral("/srv/forms/seal.bmp")); };
    }

    PropertySheet& open(int kind, int index) {
        context.index = index;
        sheet = makePropertySheet(context, kind, nullptr);
        EXPECT_TRUE(sheet);
        sheet->show();
        sheet->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        return *sheet;
    }

    template <typename Widget = QWidget> Widget* named(const QString& name) const {
        for (Widget* widget : sheet->findChildren<Widget*>())
            if (widget->accessibleName() == name)
                return widget;
        ADD_FAILURE() << "no control named " << name.toStdString();
        return nullptr;
    }
    QLineEdit* edit(const QString& name) const { return named<QLineEdit>(name); }

    // Replaces the edit's text as a user does: everything selected, then typed over.
    static void retype(QLineEdit* edit, const QString& text) {
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeText(edit, text);
    }

    void click(const QString& name) const {
        QAbstractButton* button = named<QAbstractButton>(name);
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void press(QDialogButtonBox::StandardButton which) const {
        QTest::mouseClick(sheet->buttons().button(which), Qt::LeftButton);
    }

    std::unique_ptr<FormModel> copyOfModel() const { return std::make_unique<FormModel>(*model); }
    bool modelIs(const FormModel& other) const { return std::memcmp(model.get(), &other, sizeof other) == 0; }

    std::unique_ptr<FormModel> model = std::make_unique<FormModel>();
    PropertySheetContext context{*model};
    std::unique_ptr<PropertySheet> sheet;
};

} // namespace

TEST_F(PropertySheetTest, OkWithoutChangeClosesUnchanged) {
    const struct {
        int kind;
        int index;
        const char* caption;
    } rows[] = {{0, 0, "帳票情報の詳細"},
                {formdesc::kKindField, 0, "フィールドの詳細"},
                {formdesc::kKindLine, 2, "直線の詳細"},
                {formdesc::kKindRect, 3, "四角形の詳細"},
                {formdesc::kKindBitmap, 5, "ビットマップの詳細"}};
    const auto before = copyOfModel();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        context.changed = false;
        PropertySheet& shown = open(row.kind, row.index);
        EXPECT_EQ(shown.windowTitle(), QString::fromUtf8(row.caption));
        press(QDialogButtonBox::Ok);
        EXPECT_FALSE(shown.isVisible());
        EXPECT_EQ(shown.result(), QDialog::Accepted);
        EXPECT_FALSE(context.changed);
        EXPECT_TRUE(modelIs(*before));
    }
}

TEST_F(PropertySheetTest, RefusedStoreKeepsTheSheetOpenOnTheOffendingEdit) {
    const struct {
        int kind;
        int index;
        const char* edit;
        const char* typed;
        const char* focused; // the edit refused
    } rows[] = {
        {formdesc::kKindLine, 0, "終了列", "999", "終了列"},
        {formdesc::kKindRect, 1, "開始列", "0", "開始列"},
        {formdesc::kKindField, 0, "開始行", "99", "開始行"}, // the end row follows it and is off
        {0, 0, "名称", "請求,控", "名称"},
        {0, 0, "行数", "0", "行数"},
        {0, 0, "左ﾏｰｼﾞﾝ", "999", "左ﾏｰｼﾞﾝ"},
        {formdesc::kKindField, 0, "ｺﾝｽﾀﾝﾄ", "A\"B", "ｺﾝｽﾀﾝﾄ"},
        {formdesc::kKindBitmap, 5, "ﾌｧｲﾙ名", "/tmp/a,b.bmp", "ﾌｧｲﾙ名"},
    };
    const auto before = copyOfModel();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.edit);
        open(row.kind, row.index);
        retype(edit(QString::fromUtf8(row.edit)), QString::fromUtf8(row.typed));
        press(QDialogButtonBox::Ok);
        EXPECT_TRUE(sheet->isVisible());
        QLineEdit* refused = edit(QString::fromUtf8(row.focused));
        ASSERT_TRUE(refused);
        EXPECT_EQ(sheet->focusWidget(), refused);
        EXPECT_EQ(refused->selectedText(), refused->text());
        EXPECT_FALSE(refused->text().isEmpty());
        EXPECT_FALSE(context.changed);
        EXPECT_TRUE(modelIs(*before));
        sheet->reject();
    }
}

// The form page refuses what would leave the saved form unreadable, on the
// edit and with the reason beside the buttons: a grid that an item no longer
// fits in (naming the first such item, as the reader finds it) and an empty
// title. A value that fits is then taken and the reason goes away.
TEST_F(PropertySheetTest, FormPageRefusesAGridOrTitleTheReaderWouldRefuse) {
    const struct {
        const char* edit;
        const char* typed;
        const char* reason;
    } rows[] = {
        {"行数", "12", "6番目の図形（ビットマップ）（10〜14行 1〜4列）が行数 12 の外に出ます"},
        {"桁数", "19", "1番目の図形（直線）（1行 1〜20列）が桁数 19 の外に出ます"},
        {"桁数", "11", "1番目のフィールド（5行 3〜12列）が桁数 11 の外に出ます"},
        {"名称", "", "名称を入れてください（名称のない帳票は読み込めません）"},
    };
    const auto before = copyOfModel();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        open(0, 0);
        EXPECT_FALSE(sheet->refusal().isVisible());
        retype(edit(QString::fromUtf8(row.edit)), QString::fromUtf8(row.typed));
        press(QDialogButtonBox::Ok);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(sheet->focusWidget(), edit(QString::fromUtf8(row.edit)));
        EXPECT_TRUE(sheet->refusal().isVisible());
        EXPECT_EQ(sheet->refusal().text(), QString::fromUtf8(row.reason));
        EXPECT_FALSE(context.changed);
        EXPECT_TRUE(modelIs(*before));
        sheet->reject();
    }

    // Mended so that every item still fits: taken, and nothing left to tell.
    open(0, 0);
    retype(edit("行数"), "12");
    press(QDialogButtonBox::Apply);
    EXPECT_TRUE(sheet->refusal().isVisible());
    retype(edit("行数"), "14");
    retype(edit("桁数"), "20");
    press(QDialogButtonBox::Apply);
    EXPECT_FALSE(sheet->refusal().isVisible());
    EXPECT_EQ(model->form.rows, 14);
    EXPECT_EQ(model->form.columns, 20);
}

TEST_F(PropertySheetTest, ApplyStoresAndCancelKeepsWhatWasApplied) {
    open(formdesc::kKindRect, 1);
    retype(edit("開始列"), "5");
    press(QDialogButtonBox::Apply);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(context.changed);
    EXPECT_EQ(model->figures[1].startCol, 5);
    retype(edit("開始列"), "7");
    press(QDialogButtonBox::Cancel);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(model->figures[1].startCol, 5);
}

TEST_F(PropertySheetTest, StepsStoreFirstOnlyWithUpdateMove) {
    open(formdesc::kKindLine, 0);
    retype(edit("開始列"), "3");
    click("次 ＞");
    EXPECT_EQ(context.index, 2);
    EXPECT_EQ(model->figures[0].startCol, 1); // not stored without the option
    EXPECT_EQ(edit("開始行")->text(), "3");   // the third figure is shown

    context.updateMove = true;
    retype(edit("開始列"), "3");
    click("次 ＞");
    EXPECT_EQ(context.index, 4);
    EXPECT_EQ(model->figures[2].startCol, 3);
    EXPECT_TRUE(context.changed);

    // A refused store does not hold the step back; its input is dropped.
    retype(edit("開始列"), "0");
    click("次 ＞");
    EXPECT_EQ(context.index, 0);
    EXPECT_EQ(model->figures[4].startCol, 1);
    EXPECT_EQ(edit("開始列")->text(), "1");
    click("＜ 前");
    EXPECT_EQ(context.index, 4);

    // A single field steps nowhere.
    open(formdesc::kKindField, 0);
    click("次 ＞");
    click("＜ 前");
    EXPECT_EQ(context.index, 0);
}

TEST_F(PropertySheetTest, ListsEnableTheControlsTheyGovern) {
    open(formdesc::kKindRect, 1);
    auto* kind = named<QComboBox>("種類");
    auto* direction = named<QComboBox>("方向");
    ASSERT_TRUE(kind && direction);
    kind->setCurrentIndex(formdesc::kMeshFillOnly);
    for (const char* pen : {"線種", "線幅", "線色"})
        EXPECT_FALSE(named(QString::fromUtf8(pen))->isEnabled()) << pen;
    EXPECT_TRUE(named("中塗り色")->isEnabled());
    kind->setCurrentIndex(formdesc::kMeshFrameOnly);
    EXPECT_TRUE(named("線種")->isEnabled());
    EXPECT_FALSE(named("中塗り色")->isEnabled());

    const struct {
        int direction;
        bool enabled;
        const char* unit;
    } rows[] = {{0, false, ""}, {1, true, "桁"}, {2, true, "行"}};
    for (const auto& row : rows) {
        direction->setCurrentIndex(row.direction);
        EXPECT_EQ(edit("回数")->isEnabled(), row.enabled);
        EXPECT_EQ(edit("間隔")->isEnabled(), row.enabled);
        auto* unit = sheet->findChild<QLabel*>(QStringLiteral("loopUnit"));
        ASSERT_TRUE(unit);
        EXPECT_EQ(unit->text(), QString::fromUtf8(row.unit));
    }
}

TEST_F(PropertySheetTest, EditsTakeAtMostTheirShiftJisBytes) {
    open(formdesc::kKindField, 0);
    const struct {
        const char* edit;
        const char* typed;
        const char* kept;
    } rows[] = {
        {"TAG名", "ABCDEFGHIJ", "ABCDEFGH"},
        {"TAG名", "あいうえお", "あいうえ"}, // two bytes each
        {"開始列", "12a45", "124"},
        {"ｺﾝｽﾀﾝﾄ",
         "A\xF0\x9F\x98\x80"
         "B",
         "AB"},                       // no Shift-JIS form
        {"ｺﾝｽﾀﾝﾄ", "1〜2?", "1〜2?"}, // the JIS wave dash has a Shift-JIS form
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        QLineEdit* target = edit(QString::fromUtf8(row.edit));
        retype(target, QString::fromUtf8(row.typed));
        EXPECT_EQ(target->text(), QString::fromUtf8(row.kept));
    }
}

TEST_F(PropertySheetTest, ChoosersChangeTheRecordAtTheNextStore) {
    open(formdesc::kKindField, 0);
    click("選択...");
    click("文字色");
    EXPECT_EQ(edit("ﾌｫﾝﾄ名")->text(), "Test Face");
    EXPECT_EQ(edit("文字ｻｲｽﾞ")->text(), "12");
    EXPECT_NE(model->fields[0].textColor, kChosenColor);
    press(QDialogButtonBox::Ok);
    EXPECT_TRUE(context.changed);
    EXPECT_STREQ(model->fields[0].fontName, "Test Face");
    EXPECT_EQ(model->fields[0].fontSize, 120);
    EXPECT_EQ(model->fields[0].textColor, kChosenColor);

    open(formdesc::kKindBitmap, 5);
    click("参照...");
    EXPECT_EQ(edit("ﾌｧｲﾙ名")->text(), "/srv/forms/seal.bmp");
    press(QDialogButtonBox::Ok);
    EXPECT_STREQ(model->figures[5].fileName(), "/srv/forms/seal.bmp");
}

TEST_F(PropertySheetTest, ControlsCarryTheirNames) {
    const struct {
        int kind;
        int index;
        const char* names[15];
    } rows[] = {
        {0,
         0,
         {"名称", "TAG", "行数", "桁数", "上ﾏｰｼﾞﾝ", "左ﾏｰｼﾞﾝ", "ﾌｫﾝﾄ名", "文字ｻｲｽﾞ", "選択...", "文字色",
          "線種", "線幅", "線色", "中塗り色"}},
        {formdesc::kKindField,
         0,
         {"開始列", "開始行", "終了列", "終了行", "TAG名", "ｺﾝｽﾀﾝﾄ", "ﾌｫﾝﾄ名", "選択...", "文字色", "＜ 前",
          "次 ＞"}},
        {formdesc::kKindLine,
         0,
         {"開始列", "終了行", "種類", "線種", "線幅", "線色", "方向", "回数", "間隔"}},
        {formdesc::kKindRect, 1, {"種類", "中塗り色", "方向", "回数", "間隔"}},
        {formdesc::kKindBitmap, 5, {"開始列", "開始行", "終了列", "終了行", "ﾌｧｲﾙ名", "参照..."}},
    };
    for (const auto& row : rows) {
        open(row.kind, row.index);
        for (const char* name : row.names) {
            if (!name)
                continue;
            EXPECT_TRUE(named(QString::fromUtf8(name)));
        }
    }
}

// The frame's and the canvas's road: the sheet runs modally on the open
// form's item, answers whether OK changed something and leaves the index on
// the stepped-to item.
TEST(PropertySheetRun, RunsOnTheOpenFormsItem) {
    RecordingDocumentUi ui;
    FormDocument document(ui);
    QWidget owner;
    FormModel& model = document.model();
    model.setNewFormDefaults();
    model.appendFigure(testsupport::lineRecord(1, 1, 20, 1, formdesc::kCourseH));
    model.appendFigure(testsupport::rectRecord(2, 2, 9, 9));
    model.appendFigure(testsupport::lineRecord(1, 3, 20, 3, formdesc::kCourseH));
    int index = 0;

    auto drive = [](std::function<void(PropertySheet&)> act) {
        QTimer::singleShot(0, [act] {
            auto* sheet = qobject_cast<PropertySheet*>(QApplication::activeModalWidget());
            ASSERT_TRUE(sheet);
            act(*sheet);
        });
    };
    auto lineEdit = [](PropertySheet& sheet, const char* name) {
        for (QLineEdit* edit : sheet.findChildren<QLineEdit*>())
            if (edit->accessibleName() == QString::fromUtf8(name))
                return edit;
        return static_cast<QLineEdit*>(nullptr);
    };
    auto button = [](PropertySheet& sheet, const char* name) {
        for (QAbstractButton* b : sheet.findChildren<QAbstractButton*>())
            if (b->accessibleName() == QString::fromUtf8(name))
                return b;
        return static_cast<QAbstractButton*>(nullptr);
    };

    drive([&](PropertySheet& sheet) {
        QTest::mouseClick(button(sheet, "次 ＞"), Qt::LeftButton);
        QLineEdit* end = lineEdit(sheet, "終了列");
        end->selectAll();
        QTest::keyClicks(end, "30");
        QTest::mouseClick(sheet.buttons().button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    EXPECT_TRUE(runPropertySheet(document, formdesc::kKindLine, index, false, &owner));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(model.figures[2].endCol, 30);

    drive([&](PropertySheet& sheet) {
        QLineEdit* end = lineEdit(sheet, "終了列");
        end->selectAll();
        QTest::keyClicks(end, "25");
        QTest::mouseClick(sheet.buttons().button(QDialogButtonBox::Apply), Qt::LeftButton);
        QTest::mouseClick(sheet.buttons().button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_FALSE(runPropertySheet(document, formdesc::kKindLine, index, false, &owner));
    EXPECT_EQ(model.figures[2].endCol, 25);

    // No sheet for an index that is not an item of the kind.
    EXPECT_FALSE(runPropertySheet(document, formdesc::kKindBitmap, index, false, &owner));
}
