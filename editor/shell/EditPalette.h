#pragma once

#include "editor/widgets/AttributeControls.h"

#include <QPixmap>
#include <QToolBar>

class QComboBox;
class QGridLayout;
class QLabel;

// The edit palette: a bar of two rows under the toolbar that shows and
// changes the canvas's current attributes (font, colours, line type and
// width, the kind list of the tool mode), asks the canvas for a zoom and
// toggles its magnifier, and shows the cell under the pointer and the end
// cell of a drag. After an action the keyboard goes back to the canvas.
namespace editor {

class BitmapButton;
class ColorButton;
class FormCanvas;

class EditPalette : public QToolBar {
    Q_OBJECT

  public:
    explicit EditPalette(FormCanvas& canvas, QWidget* parent = nullptr);
    ~EditPalette() override;

    // The colour and font dialogs (Qt's own unless replaced).
    void setDialogs(AttributeDialogs dialogs) { m_dialogs = std::move(dialogs); }

    // Shows the canvas's current attributes again, after something other than
    // the palette changed them.
    void showAttributes();

    // True while the font dialog is open (the font button shows pressed).
    bool fontDialogOpen() const { return m_fontDialogOpen; }

    // The button pictures: the font button raised and pressed, the magnifier
    // off and on.
    enum class Picture { FontNormal, FontPressed, MagnifierOff, MagnifierOn };
    static QPixmap picture(Picture which);

  private:
    void buildControls(QWidget& body);
    QLabel* addCellDisplay(QGridLayout& grid, int row, int column, const QString& name);
    ColorButton* addColorButton(QLayout& layout, const QString& caption, const QString& tooltip,
                                formdesc::ColorRef& color);
    QComboBox* addList(QLayout& layout, const QString& tooltip);
    void connectCanvas();

    void showToolMode(int mode);
    void showFont();
    void requestZoom(int position);
    void chooseFontFromDialog();
    void chooseColorOf(formdesc::ColorRef& color, ColorButton& button);
    void returnFocus();

    FormCanvas& m_canvas;
    AttributeDialogs m_dialogs;
    // The tool mode the kind list was last set up for.
    int m_shownMode = 0;
    bool m_fontDialogOpen = false;

    QLabel* m_startRow = nullptr;
    QLabel* m_startColumn = nullptr;
    QLabel* m_endRow = nullptr;
    QLabel* m_endColumn = nullptr;
    QLabel* m_fontName = nullptr;
    QLabel* m_fontSize = nullptr;
    BitmapButton* m_fontButton = nullptr;
    BitmapButton* m_magnifierButton = nullptr;
    ColorButton* m_textColor = nullptr;
    ColorButton* m_lineColor = nullptr;
    ColorButton* m_meshColor = nullptr;
    QComboBox* m_zoom = nullptr;
    QComboBox* m_lineType = nullptr;
    QComboBox* m_lineWidth = nullptr;
    QComboBox* m_kind = nullptr;
};

} // namespace editor
