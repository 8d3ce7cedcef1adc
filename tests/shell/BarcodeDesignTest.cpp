#include "tests/shell/ShellFixture.h"

#include "editor/canvas/ItemTracker.h"
#include "formdesc/Barcode.h"
#include "tests/support/CanvasDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

template <typename Widget> Widget* named(QWidget& parent, const QString& name) {
    for (Widget* widget : parent.findChildren<Widget*>())
        if (widget->accessibleName() == name)
            return widget;
    return nullptr;
}

void typeInto(QLineEdit* edit, const QString& text) {
    ASSERT_TRUE(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QAbstractButton* dialogButton(QWidget& sheet, QDialogButtonBox::StandardButton which) {
    return sheet.findChild<QDialogButtonBox*>()->button(which);
}

// Dark pixels of the viewport inside a window rectangle: the symbol's bars.
double darkShare(QWidget& viewport, const platform::Rect& r) {
    const QImage image = viewport.grab().toImage();
    int dark = 0;
    int all = 0;
    for (int y = r.top + 3; y < r.bottom - 3; ++y)
        for (int x = r.left + 3; x < r.right - 3; ++x, ++all)
            dark += qGray(image.pixel(x, y)) < 80;
    return all ? double(dark) / all : 0;
}

} // namespace

using BarcodeDesignTest = ShellFixture;

// Drawn with the palette's tool, the barcode is a QR code of a sample that the
// canvas shows as a real symbol; its sheet changes type and content in one
// undo step and refuses an empty content with its reason; a copy pastes
// the same barcode.
TEST_F(BarcodeDesignTest, drawEditUndoCopyAndRefuse) {
    startFrame();
    editor::FormCanvas& canvas = frame().canvas();
    formdesc::FormModel& model = canvas.document().model();
    testsupport::CanvasDriver mouse(canvas);
    QTest::mouseClick(button("バーコード"), Qt::LeftButton);
    EXPECT_EQ(canvas.toolMode(), formdesc::kKindBarcode);
    mouse.drag(mouse.at(3, 3), mouse.at(12, 8));
    ASSERT_EQ(model.figureCount, 1);
    const formdesc::FigureInfo& figure = model.figures[0];
    EXPECT_EQ(figure.kind, formdesc::kKindBarcode);
    EXPECT_EQ(
        formdesc::barcodeOf(figure),
        (formdesc::BarcodeAttributes{formdesc::kBarcodeQr, false, formdesc::kEccDefault, false, "SAMPLE"}));
    const platform::Rect box =
        editor::ItemTracker::windowRect(canvas.view(), canvas.selection().entries()[0]);
    EXPECT_GT(darkShare(*canvas.viewport(), box), 0.2) << "no symbol drawn in the barcode's box";

    // Type and content changed in the sheet, OK: one store.
    QString title;
    QTimer::singleShot(0, [&title] {
        QWidget* sheet = QApplication::activeModalWidget();
        ASSERT_TRUE(sheet);
        title = sheet->windowTitle();
        named<QComboBox>(*sheet, "種類")->setCurrentText("JAN13");
        typeInto(named<QLineEdit>(*sheet, "定数"), "490123456789");
        QTest::mouseClick(dialogButton(*sheet, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    mouse.doubleClick(mouse.at(6, 5));
    EXPECT_EQ(title, QStringLiteral("バーコードの詳細"));
    EXPECT_EQ(formdesc::barcodeOf(model.figures[0]).type, formdesc::kBarcodeJan13);
    EXPECT_EQ(formdesc::barcodeOf(model.figures[0]).text, "490123456789");
    chooseMenuItem("編集(&E)", "元に戻す(&U)");
    EXPECT_EQ(formdesc::barcodeOf(model.figures[0]).type, formdesc::kBarcodeQr);
    EXPECT_EQ(formdesc::barcodeOf(model.figures[0]).text, "SAMPLE");

    // An empty content is refused with its reason and the sheet stays open.
    QString reason;
    bool stayed = false;
    QTimer::singleShot(0, [&] {
        QWidget* sheet = QApplication::activeModalWidget();
        ASSERT_TRUE(sheet);
        typeInto(named<QLineEdit>(*sheet, "定数"), "");
        QTest::mouseClick(dialogButton(*sheet, QDialogButtonBox::Ok), Qt::LeftButton);
        stayed = sheet->isVisible();
        reason = sheet->findChild<QLabel*>("refusal")->text();
        QTest::mouseClick(dialogButton(*sheet, QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    mouse.doubleClick(mouse.at(6, 5));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(reason, QStringLiteral("内容を入力してください"));
    EXPECT_EQ(formdesc::barcodeOf(model.figures[0]).text, "SAMPLE");

    // Copy and paste: a second barcode with the same attributes.
    mouse.click(mouse.at(6, 5));
    chooseMenuItem("編集(&E)", "複写(&C)");
    chooseMenuItem("編集(&E)", "貼り付け(&P)");
    ASSERT_EQ(model.figureCount, 2);
    EXPECT_EQ(model.figures[1].kind, formdesc::kKindBarcode);
    EXPECT_EQ(formdesc::barcodeOf(model.figures[1]), formdesc::barcodeOf(model.figures[0]));
    EXPECT_TRUE(messages.messages.empty());
}
