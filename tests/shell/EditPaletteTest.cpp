#include "tests/shell/ShellFixture.h"

#include "editor/shell/ShellCommands.h"

#include "editor/shell/EditPalette.h"
#include "editor/shell/EditPaletteRules.h"
#include "editor/widgets/AttributeLists.h"
#include "formdesc/ShiftJis.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using editor::EditPalette;

namespace {

// Pixels as a user sees them, in one format for comparing.
QImage shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage pictureImage(EditPalette::Picture which) {
    return EditPalette::picture(which).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// A frame with its edit palette; the palette's controls are found by the
// names assistive technology reads, and the colour and font dialogs answer
// as the test says.
class EditPaletteTest : public ShellFixture {
  protected:
    void SetUp() override {
        startFrame();
        QApplication::setActiveWindow(&frame());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        palette = frame().editPalette();
        ASSERT_TRUE(palette);
        editor::AttributeDialogs dialogs;
        dialogs.color = [this](formdesc::ColorRef initial, QWidget*) {
            colorsAsked.push_back(initial);
            return colorAnswer;
        };
        dialogs.font = [this](const editor::FontRequest& request, QWidget*) {
            fontsAsked.push_back(request);
            // The button as the user sees it while the dialog is open.
            fontButtonWhileOpen = shot(*control<QAbstractButton>(editor::palette::kFontTip));
            return fontAnswer;
        };
        palette->setDialogs(dialogs);
    }

    template <typename Widget> Widget* control(const QString& name) {
        for (Widget* widget : palette->findChildren<Widget*>())
            if (widget->accessibleName() == name)
                return widget;
        ADD_FAILURE() << "no control named " << name.toStdString();
        return nullptr;
    }
    QComboBox* kindList() {
        for (QComboBox* combo : palette->findChildren<QComboBox*>())
            if (combo->accessibleName() != editor::palette::kZoomTip &&
                combo->accessibleName() != editor::palette::kLineTypeTip &&
                combo->accessibleName() != editor::palette::kLineWidthTip)
                return combo;
        return nullptr;
    }
    static QStringList textsOf(const QComboBox& combo) {
        QStringList texts;
        for (int i = 0; i < combo.count(); ++i)
            texts << combo.itemText(i);
        return texts;
    }

    // Opens the list with the mouse and clicks the entry.
    static void chooseWithMouse(QComboBox& combo, const QString& text) {
        const int index = combo.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo.showPopup();
        QAbstractItemView* view = combo.view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
        const QPoint at = view->visualRect(view->model()->index(index, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        ASSERT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }));
    }
    void clickTool(const QString& tooltip) { QTest::mouseClick(button(tooltip), Qt::LeftButton); }
    editor::FormCanvas& canvas() { return frame().canvas(); }
    // The widget that has the frame's keyboard focus. (The offscreen platform
    // has no window manager to give the frame its activation back after a
    // list's popup closes, so the application's focus may stay empty.)
    QWidget* frameFocus() { return frame().focusWidget(); }
    editor::CurrentAttributes& attributes() { return canvas().attributes(); }

    EditPalette* palette = nullptr;
    std::optional<formdesc::ColorRef> colorAnswer;
    std::vector<formdesc::ColorRef> colorsAsked;
    std::optional<QFont> fontAnswer;
    std::vector<editor::FontRequest> fontsAsked;
    QImage fontButtonWhileOpen;
};

TEST_F(EditPaletteTest, DockedOnItsOwnRowUnderTheToolbarAndShownFromTheViewMenu) {
    EXPECT_EQ(palette->objectName(), QStringLiteral("editPalette"));
    EXPECT_EQ(palette->windowTitle(), QStringLiteral("編集パレット"));
    EXPECT_EQ(frame().toolBarArea(palette), Qt::TopToolBarArea);
    EXPECT_GE(palette->y(), frame().toolbar()->y() + frame().toolbar()->height());
    QAction* command = frame().action(editor::Command::ViewEditPalette);
    EXPECT_TRUE(command->isChecked());
    chooseMenuItem("表示(&V)", "編集パレット(&E)");
    EXPECT_TRUE(palette->isHidden());
    EXPECT_FALSE(command->isChecked());
    chooseMenuItem("表示(&V)", "編集パレット(&E)");
    EXPECT_FALSE(palette->isHidden());
    EXPECT_TRUE(command->isChecked());
}

// What a new canvas's attributes look like on the palette, and that every
// control has the name that assistive technology reads (its tooltip).
TEST_F(EditPaletteTest, StartsWithTheCanvasAttributesAndNamesEveryControl) {
    using namespace editor::palette;
    EXPECT_EQ(control<QComboBox>(kZoomTip)->currentText(), QStringLiteral("100%"));
    EXPECT_EQ(control<QLabel>("フォント名")->text(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(control<QLabel>("文字サイズ")->text(), QStringLiteral("9"));
    EXPECT_EQ(control<QComboBox>(kLineTypeTip)->currentText(), QStringLiteral("実線"));
    EXPECT_EQ(control<QComboBox>(kLineWidthTip)->currentText(), QStringLiteral("標準"));
    QComboBox* kinds = control<QComboBox>("部品の選択");
    ASSERT_TRUE(kinds);
    EXPECT_EQ(textsOf(*kinds), editor::attributeTexts(editor::AttributeList::SelectionFilter));
    EXPECT_EQ(kinds->currentText(), QStringLiteral("全て選択"));

    const QStringList tipped{kLineTypeTip,  kLineWidthTip, kMagnifierTip, kFontTip,    kTextColorTip,
                             kLineColorTip, kMeshColorTip, kZoomTip,      "部品の選択"};
    for (const QString& name : tipped) {
        QWidget* widget = control<QWidget>(name);
        ASSERT_TRUE(widget) << name.toStdString();
        EXPECT_EQ(widget->toolTip(), name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_TRUE(accessible);
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            EXPECT_EQ(accessible->role(), QAccessible::ComboBox);
            EXPECT_EQ(accessible->text(QAccessible::Value), combo->currentText());
        }
    }
    for (const char* name : {"開始行", "開始列", "終了行", "終了列", "フォント名", "文字サイズ"})
        EXPECT_TRUE(control<QLabel>(QString::fromUtf8(name)));
    // No control is left without a name.
    for (QWidget* widget : palette->findChild<QWidget*>("editPaletteBody")->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget)) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }
}

TEST_F(EditPaletteTest, CellDisplaysShowThreeColumnNumbers) {
    emit canvas().startCellChanged(7, 123);
    emit canvas().endCellChanged(45, 6);
    EXPECT_EQ(control<QLabel>("開始行")->text(), QStringLiteral("  7"));
    EXPECT_EQ(control<QLabel>("開始列")->text(), QStringLiteral("123"));
    EXPECT_EQ(control<QLabel>("終了行")->text(), QStringLiteral(" 45"));
    EXPECT_EQ(control<QLabel>("終了列")->text(), QStringLiteral("  6"));
    emit canvas().endCellBlanked();
    EXPECT_EQ(control<QLabel>("終了行")->text(), QString());
    EXPECT_EQ(control<QLabel>("終了列")->text(), QString());
    EXPECT_EQ(control<QLabel>("開始行")->text(), QStringLiteral("  7"));
}

// The kind list across tool changes: refilled with the mode's list and the
// current value chosen, disabled without a tooltip or name in the field and
// bitmap modes, and a choice changes the attribute of the mode.
TEST_F(EditPaletteTest, KindListFollowsTheTools) {
    QComboBox* kinds = kindList();
    ASSERT_TRUE(kinds);
    chooseWithMouse(*kinds, "ﾋﾞｯﾄﾏｯﾌﾟ");
    EXPECT_EQ(attributes().selectionFilter, 4);
    EXPECT_EQ(frameFocus(), &canvas());

    clickTool("直線");
    EXPECT_TRUE(kinds->isEnabled());
    EXPECT_EQ(textsOf(*kinds), editor::attributeTexts(editor::AttributeList::LineCourse));
    EXPECT_EQ(kinds->currentText(), QStringLiteral("横線"));
    EXPECT_EQ(kinds->toolTip(), QStringLiteral("直線の向き"));
    EXPECT_EQ(kinds->accessibleName(), QStringLiteral("直線の向き"));
    chooseWithMouse(*kinds, "斜線(左上り)");
    EXPECT_EQ(attributes().lineCourse, 3);

    struct Step {
        const char* tool;
        bool enabled;
        const char* tooltip;
        const char* current;
    };
    const Step steps[] = {
        {"フィールド", false, "", nullptr},           {"直線", true, "直線の向き", "斜線(左上り)"},
        {"ビットマップ", false, "", nullptr},         {"四角形", true, "中塗りの有無", "枠のみ"},
        {"範囲選択", true, "部品の選択", "ﾋﾞｯﾄﾏｯﾌﾟ"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.tool);
        clickTool(QString::fromUtf8(step.tool));
        EXPECT_EQ(kinds->isEnabled(), step.enabled);
        EXPECT_EQ(kinds->toolTip(), QString::fromUtf8(step.tooltip));
        EXPECT_EQ(kinds->accessibleName(), QString::fromUtf8(step.tooltip));
        if (step.current) {
            EXPECT_EQ(kinds->currentText(), QString::fromUtf8(step.current));
        }
    }
    clickTool("四角形");
    chooseWithMouse(*kinds, "枠と中塗り");
    EXPECT_EQ(attributes().meshKind, 2);
    EXPECT_EQ(attributes().selectionFilter, 4);
    EXPECT_EQ(attributes().lineCourse, 3);
}

// The line type and width lists answer the keyboard, and the focus goes back
// to the canvas after each choice.
TEST_F(EditPaletteTest, LineListsTakeKeys) {
    struct Row {
        const QString& list;
        Qt::Key key;
        int lineType, lineWidth;
    };
    using namespace editor::palette;
    const Row rows[] = {
        {kLineTypeTip, Qt::Key_Down, 2, 3}, {kLineTypeTip, Qt::Key_Down, 3, 3},
        {kLineWidthTip, Qt::Key_Up, 3, 2},  {kLineWidthTip, Qt::Key_End, 3, 5},
        {kLineTypeTip, Qt::Key_Home, 1, 5},
    };
    for (const Row& row : rows) {
        QComboBox* combo = control<QComboBox>(row.list);
        combo->setFocus();
        QTest::keyClick(combo, row.key);
        EXPECT_EQ(attributes().lineType, row.lineType);
        EXPECT_EQ(attributes().lineWidth, row.lineWidth);
        EXPECT_EQ(frameFocus(), &canvas());
    }
}

// A zoom that differs is posted to the canvas, which takes it (and the
// focus) afterwards; the current zoom posts nothing and the focus stays.
TEST_F(EditPaletteTest, ZoomChoicesArePostedToTheCanvas) {
    QComboBox* zoom = control<QComboBox>(editor::palette::kZoomTip);
    ASSERT_EQ(canvas().zoom(), 100);

    chooseWithMouse(*zoom, "150%");
    EXPECT_EQ(canvas().zoom(), 100) << "taken only once the posted request arrives";
    ASSERT_TRUE(QTest::qWaitFor([this] { return canvas().zoom() == 150; }));
    EXPECT_EQ(zoom->currentText(), QStringLiteral("150%"));
    EXPECT_EQ(frameFocus(), &canvas());

    zoom->setFocus();
    chooseWithMouse(*zoom, "150%");
    QTest::qWait(20);
    EXPECT_TRUE(frameFocus() == zoom || zoom->isAncestorOf(frameFocus()));

    // The whole page: the canvas shows the zoom that fits.
    chooseWithMouse(*zoom, "全体");
    ASSERT_TRUE(QTest::qWaitFor([this] { return canvas().zoom() != 150; }));
    EXPECT_EQ(zoom->currentText(), editor::palette::zoomText(canvas().zoom()));
    // Again: always posted. (The fit may move once as the scroll bars of the
    // larger zoom go away.) Once it fits already, nothing changes and the
    // list keeps its text.
    int fit = 0;
    for (int round = 0; round < 3 && fit != canvas().zoom(); ++round) {
        fit = canvas().zoom();
        zoom->setFocus();
        chooseWithMouse(*zoom, "全体");
        ASSERT_TRUE(QTest::qWaitFor([this] { return frameFocus() == &canvas(); }));
    }
    EXPECT_EQ(canvas().zoom(), fit);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("全体"));

    // Typing an entry of the list chooses it; a zoom the list lacks is ignored.
    zoom->lineEdit()->selectAll();
    QTest::keyClicks(zoom->lineEdit(), "77%");
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_EQ(canvas().zoom(), fit);
    zoom->lineEdit()->selectAll();
    QTest::keyClicks(zoom->lineEdit(), "50%");
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return canvas().zoom() == 50; }));
    EXPECT_EQ(zoom->count(), 7);
}

TEST_F(EditPaletteTest, MagnifierButtonTogglesTheCanvasMode) {
    auto* magnifier = control<QAbstractButton>(editor::palette::kMagnifierTip);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(magnifier);
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_EQ(shot(*magnifier), pictureImage(EditPalette::Picture::MagnifierOff));

    QTest::mouseClick(magnifier, Qt::LeftButton);
    EXPECT_TRUE(canvas().magnifierMode());
    EXPECT_TRUE(accessible->state().checked);
    EXPECT_EQ(shot(*magnifier), pictureImage(EditPalette::Picture::MagnifierOn));
    EXPECT_EQ(frameFocus(), &canvas());

    QTest::mouseClick(magnifier, Qt::LeftButton);
    EXPECT_FALSE(canvas().magnifierMode());
    // The canvas changing its mode itself shows on the button.
    canvas().setMagnifierMode(true);
    EXPECT_TRUE(magnifier->isChecked());
    EXPECT_EQ(shot(*magnifier), pictureImage(EditPalette::Picture::MagnifierOn));
}

// The three colour buttons: each opens the dialog on its own attribute; a
// cancel changes nothing, a confirmed colour changes the attribute and shows.
TEST_F(EditPaletteTest, ColorButtonsChooseTheirAttribute) {
    struct Row {
        const QString& button;
        formdesc::ColorRef editor::CurrentAttributes::*color;
        formdesc::ColorRef initial;
    };
    using namespace editor::palette;
    const Row rows[] = {
        {kTextColorTip, &editor::CurrentAttributes::textColor, 0},
        {kLineColorTip, &editor::CurrentAttributes::lineColor, 0},
        {kMeshColorTip, &editor::CurrentAttributes::meshColor, formdesc::rgb(192, 192, 192)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button.toStdString());
        auto* button = control<QAbstractButton>(row.button);
        const QImage before = shot(*button);
        colorsAsked.clear();
        colorAnswer.reset();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(colorsAsked.size(), 1u);
        EXPECT_EQ(colorsAsked.front(), row.initial);
        EXPECT_EQ(attributes().*row.color, row.initial);
        EXPECT_EQ(shot(*button), before);

        colorAnswer = formdesc::rgb(10, 200, 30);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(attributes().*row.color, formdesc::rgb(10, 200, 30));
        const QImage after = shot(*button);
        EXPECT_EQ(after.pixelColor(after.rect().center()), QColor(10, 200, 30));
        EXPECT_EQ(frameFocus(), &canvas());
    }
}

// The swatch: the held colour inside a white frame; grey with a darker
// top-left edge while disabled, and the held colour again once enabled.
TEST_F(EditPaletteTest, ColorSwatchPixels) {
    auto* button = control<QAbstractButton>(editor::palette::kLineColorTip);
    attributes().lineColor = formdesc::rgb(0, 0, 255);
    struct Row {
        bool enabled;
        QColor fill, topLeft;
    };
    const QColor white(255, 255, 255);
    for (const Row& row :
         {Row{true, QColor(0, 0, 255), white}, Row{false, QColor(192, 192, 192), QColor(128, 128, 128)},
          Row{true, QColor(0, 0, 255), white}}) {
        SCOPED_TRACE(row.enabled);
        button->setEnabled(row.enabled);
        const QImage image = shot(*button);
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        EXPECT_EQ(image.pixelColor(image.rect().center()), row.fill);
        EXPECT_EQ(image.pixelColor(1, 1), row.fill);
        EXPECT_EQ(image.pixelColor(0, 0), row.topLeft);
        EXPECT_EQ(image.pixelColor(0, bottom / 2), row.topLeft);
        EXPECT_EQ(image.pixelColor(right / 2, 0), row.topLeft);
        // The far ends of the top and left edges belong to the white edges.
        EXPECT_EQ(image.pixelColor(right, 0), white);
        EXPECT_EQ(image.pixelColor(0, bottom), white);
        EXPECT_EQ(image.pixelColor(right, bottom / 2), white);
        EXPECT_EQ(image.pixelColor(right / 2, bottom), white);
    }
}

// The font button: pressed while the dialog is open; a cancel leaves the font
// and its displays; a choice shows the Windows face name and the size.
TEST_F(EditPaletteTest, FontButtonChoosesTheFont) {
    auto* fontButton = control<QAbstractButton>(editor::palette::kFontTip);
    const auto startFont = attributes().fontName;
    EXPECT_EQ(shot(*fontButton), pictureImage(EditPalette::Picture::FontNormal));

    QTest::mouseClick(fontButton, Qt::LeftButton);
    ASSERT_EQ(fontsAsked.size(), 1u);
    EXPECT_EQ(fontsAsked.front().family, QStringLiteral("IPAMincho"));
    EXPECT_EQ(fontsAsked.front().tenths, 90);
    EXPECT_EQ(fontButtonWhileOpen, pictureImage(EditPalette::Picture::FontPressed));
    EXPECT_EQ(attributes().fontName, startFont);
    EXPECT_EQ(attributes().fontSize, 90);
    EXPECT_EQ(control<QLabel>("フォント名")->text(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(control<QLabel>("文字サイズ")->text(), QStringLiteral("9"));
    EXPECT_EQ(shot(*fontButton), pictureImage(EditPalette::Picture::FontNormal));
    EXPECT_FALSE(palette->fontDialogOpen());
    EXPECT_EQ(frameFocus(), &canvas());

    QFont chosen(QStringLiteral("IPAPGothic"));
    chosen.setPointSizeF(10.5);
    fontAnswer = chosen;
    QTest::mouseClick(fontButton, Qt::LeftButton);
    EXPECT_EQ(std::string(attributes().fontName.data()), formdesc::sjis::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(attributes().fontSize, 105);
    EXPECT_EQ(control<QLabel>("フォント名")->text(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(control<QLabel>("文字サイズ")->text(), QStringLiteral("10.5"));
    EXPECT_EQ(shot(*fontButton), pictureImage(EditPalette::Picture::FontNormal));
}
