#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <string_view>

class QComboBox;

// The fixed lists that the property pages and the edit palette show for the
// enumerations of the form model. A list is filled in table order, and the
// position of the chosen entry stands for the model's code as the table says.
namespace editor {

enum class AttributeList {
    TagMode,         // 0 off, 1 on
    LineCourse,      // LineCourse 1..4
    MeshKind,        // MeshKind 0..2
    LineType,        // LineType 1..6
    LineWidth,       // LineWidth 1..5
    LoopDirection,   // LoopDirection 0..2
    LoopUnit,        // the unit of a loop pitch, indexed by LoopDirection (a label)
    Zoom,            // percents; the last entry fits the whole page (-1)
    SelectionFilter, // 0 every kind, 1 fields, 2 lines, 3 rectangles, 4 bitmaps
};

// One entry: its text (UTF-8) and the code it stands for.
struct AttributeEntry {
    std::string_view text;
    int code;
};

struct AttributeTable {
    std::span<const AttributeEntry> entries;
    // Bytes of a fixed Shift-JIS entry, the terminating NUL included: every
    // text fits in one byte less.
    int entryBytes;
};

const AttributeTable& attributeTable(AttributeList list);

// The texts in table order.
QStringList attributeTexts(AttributeList list);
// The code at a position; nothing for a position outside the list (for
// example -1, a combo box with no entry chosen).
std::optional<int> codeAt(AttributeList list, int position);
// The position that stands for a code, or -1 when no entry does.
int positionOf(AttributeList list, int code);

// Empties the combo box and fills it with the list's texts.
void fillCombo(QComboBox& combo, AttributeList list);
// Fills the combo box and chooses the entry of the code (none when no entry
// stands for it).
void fillCombo(QComboBox& combo, AttributeList list, int code);

} // namespace editor
