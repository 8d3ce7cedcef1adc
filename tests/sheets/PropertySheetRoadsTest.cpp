#include "editor/sheets/BitmapPage.h"
#include "editor/sheets/PropertySheets.h"
#include "formdesc/Barcode.h"
#include "tests/support/FormRecords.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace editor;
using formdesc::FormModel;

namespace {

// Two fields, two lines and a bitmap on an 80-column form; the step question
// and the bitmap chooser answer from the test.
class PropertySheetRoadsTest : public testing::Test {
  protected:
    PropertySheetRoadsTest() {
        model->setNewFormDefaults();
        model->appendField(testsupport::fieldRecord(3, 5, 12, "CODE"));
        model->appendField(testsupport::fieldRecord(3, 7, 12, "NAME"));
        model->appendFigure(testsupport::lineRecord(1, 1, 20, 1, formdesc::kCourseH));
        model->appendFigure(testsupport::lineRecord(1, 3, 20, 3, formdesc::kCourseH));
        model->appendFigure(testsupport::bitmapRecord(1, 10, 4, 14, "/tmp/logo.bmp"));
        model->form.columns = 80;
        context.chooseBitmap = [this](QWidget*) { return std::optional(chosenBitmap); };
        context.askBeforeStep = [this](QWidget*) {
            ++asked;
            return answer;
        };
    }

    void open(int kind, int index) {
        context.index = index;
        sheet = makePropertySheet(context, kind, nullptr);
        ASSERT_TRUE(sheet);
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    }

    template <typename Widget> Widget* named(const char* name) const {
        for (Widget* widget : sheet->findChildren<Widget*>())
            if (widget->accessibleName() == QString::fromUtf8(name))
                return widget;
        ADD_FAILURE() << "no control named " << name;
        return nullptr;
    }

    // Selects everything in the edit and types over it, key by key.
    void retype(const char* name, const char* text) const {
        QLineEdit* edit = named<QLineEdit>(name);
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void click(const char* name) const { QTest::mouseClick(named<QAbstractButton>(name), Qt::LeftButton); }

    std::unique_ptr<FormModel> model = std::make_unique<FormModel>();
    PropertySheetContext context{*model};
    std::unique_ptr<PropertySheet> sheet;
    StepAnswer answer = StepAnswer::Drop;
    int asked = 0;
    QString chosenBitmap;
};

} // namespace

// Without UpdateMove a step over typed input asks first: はい stores and
// steps, いいえ steps and drops it, キャンセル stays with the input shown; a
// store that is refused stays on the item with the input selected.
TEST_F(PropertySheetRoadsTest, StepOverTypedInputAsksWhatToDoWithIt) {
    const struct {
        const char* name;
        StepAnswer answer;
        const char* edit;
        const char* typed;
        int index;          // after 次 ＞ from the first field
        const char* stored; // the first field's tag afterwards
        const char* shown;  // the edit afterwards
    } rows[] = {
        {"はい", StepAnswer::Store, "TAG名", "NEW", 1, "NEW", "NAME"},
        {"いいえ", StepAnswer::Drop, "TAG名", "NEW", 1, "CODE", "NAME"},
        {"キャンセル", StepAnswer::Stay, "TAG名", "NEW", 0, "CODE", "NEW"},
        {"はい, refused", StepAnswer::Store, "開始列", "0", 0, "CODE", "0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        formdesc::sjis::storeBytes(model->fields[0].tag, sizeof model->fields[0].tag, 8, "CODE");
        asked = 0;
        answer = row.answer;
        open(formdesc::kKindField, 0);
        retype(row.edit, row.typed);
        click("次 ＞");
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(context.index, row.index);
        EXPECT_STREQ(model->fields[0].tag, row.stored);
        EXPECT_EQ(named<QLineEdit>(row.edit)->text(), QString::fromUtf8(row.shown));
        sheet->reject();
    }
    // The refused store told why, with its edit selected.
    open(formdesc::kKindField, 0);
    answer = StepAnswer::Store;
    retype("開始列", "0");
    click("次 ＞");
    EXPECT_TRUE(sheet->refusal().isVisible());
    EXPECT_EQ(sheet->focusWidget(), named<QLineEdit>("開始列"));
    EXPECT_EQ(named<QLineEdit>("開始列")->selectedText(), "0");
}

// Nothing typed, or UpdateMove on: no question.
TEST_F(PropertySheetRoadsTest, StepsWithoutAskingWhenNothingWouldBeLost) {
    open(formdesc::kKindLine, 0);
    click("次 ＞");
    click("＜ 前");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(context.index, 0);

    context.updateMove = true;
    retype("開始列", "4");
    click("＜ 前");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(context.index, 1);
    EXPECT_EQ(model->figures[0].startCol, 4);

    // A chosen list entry differs from the record as much as typed text.
    context.updateMove = false;
    answer = StepAnswer::Stay;
    auto* width = named<QComboBox>("線幅");
    ASSERT_TRUE(width);
    width->setCurrentIndex(width->currentIndex() == 0 ? 1 : 0);
    click("次 ＞");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(context.index, 1);
}

// The question the designer asks: "確認", はい / いいえ / キャンセル.
TEST(PropertySheetStepQuestion, AsksWithTheThreeAnswers) {
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
        StepAnswer answer;
    } rows[] = {{QMessageBox::Yes, "はい", StepAnswer::Store},
                {QMessageBox::No, "いいえ", StepAnswer::Drop},
                {QMessageBox::Cancel, "キャンセル", StepAnswer::Stay}};
    QWidget owner;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        QTimer::singleShot(0, [&row] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("確認"));
            EXPECT_EQ(box->text(), QStringLiteral("変更を適用しますか？"));
            QAbstractButton* button = box->button(row.button);
            ASSERT_TRUE(button);
            EXPECT_EQ(button->accessibleName(), QString::fromUtf8(row.text));
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(askStoreBeforeStep(&owner), row.answer);
    }
}

// A refused value says why beside the sheet's buttons, keeping the beep's
// selection and focus on the edit.
TEST_F(PropertySheetRoadsTest, RefusalShowsItsReasonOnTheEdit) {
    open(formdesc::kKindLine, 0);
    retype("終了列", "95");
    QTest::mouseClick(sheet->buttons().button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(sheet->refusal().isVisible());
    EXPECT_EQ(sheet->refusal().text(), QStringLiteral("終了列は1〜80の範囲で指定してください"));
    EXPECT_EQ(sheet->refusal().accessibleDescription(), sheet->refusal().text());
    EXPECT_EQ(sheet->focusWidget(), named<QLineEdit>("終了列"));
    EXPECT_EQ(named<QLineEdit>("終了列")->selectedText(), "95");
    EXPECT_EQ(model->figures[0].endCol, 20);
}

// A bitmap in the form's folder or below is stored relative to the form;
// elsewhere, or for a form without a folder, with its full path.
TEST(BitmapNames, RelativeOnlyInTheFormsFolder) {
    const struct {
        const char* chosen;
        const char* folder;
        const char* stored;
    } rows[] = {
        {"/srv/forms/seal.bmp", "/srv/forms", "seal.bmp"},
        {"/srv/forms/images/seal.bmp", "/srv/forms/", "images/seal.bmp"},
        {"/srv/forms/../logo.bmp", "/srv/forms", "/srv/forms/../logo.bmp"},
        {"/srv/formsold/seal.bmp", "/srv/forms", "/srv/formsold/seal.bmp"},
        {"/home/a/seal.bmp", "/srv/forms", "/home/a/seal.bmp"},
        {"/srv/forms/seal.bmp", "", "/srv/forms/seal.bmp"},
        {"/x.bmp", "/", "x.bmp"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        EXPECT_EQ(bitmapNameForForm(QString::fromUtf8(row.chosen), QString::fromUtf8(row.folder)),
                  QString::fromUtf8(row.stored));
    }
}

TEST_F(PropertySheetRoadsTest, BrowsedBitmapIsStoredRelativeToTheForm) {
    const struct {
        const char* folder;
        const char* chosen;
        const char* stored;
    } rows[] = {{"/srv/forms", "/srv/forms/images/seal.bmp", "images/seal.bmp"},
                {"/srv/forms", "/srv/other/seal.bmp", "/srv/other/seal.bmp"},
                {"", "/srv/forms/images/seal.bmp", "/srv/forms/images/seal.bmp"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        context.formFolder = QString::fromUtf8(row.folder);
        chosenBitmap = QString::fromUtf8(row.chosen);
        open(formdesc::kKindBitmap, 2);
        click("参照...");
        QTest::mouseClick(sheet->buttons().button(QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(fillBitmap(model->figures[2]).fileName, QString::fromUtf8(row.stored));
    }
}

// The barcode page steps between barcodes without asking while its controls
// show the records (a QR code from a field with its level, a JAN code with
// its text), asks once its constant is retyped, and はい stores it.
TEST_F(PropertySheetRoadsTest, BarcodeStepsAskOnlyOverChangedContent) {
    model->appendFigure(testsupport::barcodeRecord(30, 2, 40, 12, formdesc::kBarcodeQr, "CODE", true, false,
                                                   formdesc::kEccH));
    model->appendFigure(
        testsupport::barcodeRecord(30, 14, 60, 20, formdesc::kBarcodeJan13, "4901234567894", false, true));
    open(formdesc::kKindBarcode, 3);
    click("次 ＞");
    EXPECT_EQ(context.index, 4);
    click("次 ＞");
    EXPECT_EQ(context.index, 3);
    EXPECT_EQ(asked, 0);

    click("＜ 前");
    retype("定数", "490123456789");
    answer = StepAnswer::Store;
    click("次 ＞");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(context.index, 3);
    EXPECT_EQ(formdesc::barcodeOf(model->figures[4]).text, "490123456789");
    EXPECT_TRUE(formdesc::barcodeOf(model->figures[4]).hri);
}
