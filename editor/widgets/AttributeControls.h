#pragma once

#include "formdesc/FormModel.h"

#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string_view>

class QLineEdit;
class QPainter;
class QPixmap;
class QRect;
class QWidget;

// The drawing of colour and picture buttons, the refusal of bad input and the
// colour and font choosers that the property pages and the edit palette share.
namespace editor {

// Fills the rectangle with the colour inside a one-pixel 3-D frame, white on
// the top and left, white on the right and bottom. A disabled button shows
// grey whatever colour its owner holds, with a darker top-left edge.
void paintColorSwatch(QPainter& painter, const QRect& rect, formdesc::ColorRef color, bool enabled);

// Draws the picture at the rectangle's top-left corner at its own size.
void paintBitmapButton(QPainter& painter, const QRect& rect, const QPixmap& picture);

// Refuses what was typed: a beep, the whole text selected and in view, and
// the focus on the edit, so that the user types over it.
void rejectInput(QLineEdit& edit);

// What the font chooser starts at.
struct FontRequest {
    QString family;     // the installed face that stands in for the form's face
    int tenths = 0;     // size in tenths of a point
    int cellHeight = 0; // pixels on this screen, fontCellHeight()
};

// The dialogs behind chooseColor and chooseFont; each answers nothing when
// the user cancels. Tests put their own in place so that nothing blocks.
struct AttributeDialogs {
    std::function<std::optional<formdesc::ColorRef>(formdesc::ColorRef initial, QWidget* parent)> color;
    std::function<std::optional<QFont>(const FontRequest& request, QWidget* parent)> font;

    // Qt's colour and font dialogs.
    static AttributeDialogs standard();
};

// Opens the colour dialog on the owner's colour. A confirmed colour replaces
// it and the button is repainted; a cancel changes nothing. True when the
// owner's colour was replaced.
bool chooseColor(formdesc::ColorRef& ownerColor, QWidget& button, const AttributeDialogs& dialogs);

// The pixel height of a font of the given size (tenths of a point) as a cell
// height: dpi × tenths / 720, in integers.
constexpr int fontCellHeight(int dpiY, int tenths) {
    return dpiY * tenths / 720;
}

struct FontChoice {
    std::array<char, 36> faceName{}; // Shift-JIS, NUL-terminated, at most 35 bytes
    int tenths = 0;
};

// The face name to store for a family chosen in the font dialog. The
// installed faces stand in for the Windows faces that forms name, so a
// stand-in goes back to the Windows name: the one the user started from when
// it maps to this family, else the first Windows name that does. Any other
// family is stored as it is, cut on whole characters.
std::array<char, 36> faceNameForFamily(const QString& family, std::string_view startFace);

// Opens the font dialog at the face (Shift-JIS) and size (tenths of a point);
// the choice, or nothing when the user cancelled.
std::optional<FontChoice> chooseFont(std::string_view sjisFace, int tenths, QWidget* parent,
                                     const AttributeDialogs& dialogs);

} // namespace editor
