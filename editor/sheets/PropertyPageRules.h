#pragma once

#include "formdesc/FormModel.h"

#include <QString>

// What the property pages do with their controls, without the windows: each
// page's values (what its controls hold), filling them from a record, storing
// them into a fresh record with the checks, and stepping to the neighbouring
// item. The pages only move these values in and out of their controls.
namespace editor {

// The controls a store can refuse; the page puts the focus on it. Page is a
// refusal of the page as a whole, with no edit to point at.
enum class PageControl {
    None,
    Page,
    Title,
    Rows,
    Columns,
    TopMargin,
    LeftMargin,
    FontName,
    StartCol,
    StartRow,
    EndCol,
    EndRow,
    Tag,
    ConstText,
    FileName,
    BarcodeText,
    BarcodeField,
};

// The four position edits of the item pages, as typed.
struct PositionValues {
    QString startCol;
    QString startRow;
    QString endCol;
    QString endRow;
    bool operator==(const PositionValues&) const = default;
};

struct BaseValues {
    QString title;
    int tagMode = 0;   // list position
    int paperSize = 0; // code of the chosen radio button, 0 for none
    bool landscape = true;
    QString rows;
    QString columns;
    QString topMargin;
    QString leftMargin;
    QString fontName;
    QString fontSize;
    int lineType = 0; // list positions
    int lineWidth = 0;
    formdesc::ColorRef textColor = 0;
    formdesc::ColorRef lineColor = 0;
    formdesc::ColorRef meshColor = 0;
};

struct FieldValues {
    PositionValues position;
    QString tag;
    QString fontName;
    QString fontSize;
    formdesc::ColorRef textColor = 0;
    bool wide = false;
    bool center = false;
    bool space = false;
    bool onLine = false;
    bool minus = false;
    QString constText;
    bool operator==(const FieldValues&) const = default;
};

// A line or a rectangle. kind is the list position of the course (line) or
// of the mesh kind (rectangle).
struct FigureValues {
    PositionValues position;
    int kind = 0;
    int lineType = 0;
    int lineWidth = 0;
    formdesc::ColorRef lineColor = 0;
    formdesc::ColorRef meshColor = 0;
    int loopDir = 0;
    QString loopCount;
    QString loopPitch;
    bool operator==(const FigureValues&) const = default;
};

struct BitmapValues {
    PositionValues position;
    QString fileName;
    bool operator==(const BitmapValues&) const = default;
};

// The four edits read as a rectangle, normalised so that the start is the
// top-left corner.
struct PositionCells {
    int startCol;
    int startRow;
    int endCol;
    int endRow;
};

PositionValues fillPosition(int startCol, int startRow, int endCol, int endRow);
PositionCells readPosition(const PositionValues& values);
// The first edit whose value lies outside the form's grid, or None.
PageControl checkPosition(const PositionCells& cells, const formdesc::FormInfo& form);

// A fresh record built from a page's values, or the control that refused it
// and why, in words the page shows beside its buttons.
template <typename Record> struct StoreResult {
    Record record{};
    PageControl failing = PageControl::None;
    QString reason;
    bool accepted() const { return failing == PageControl::None; }
};

// Text limits of the edits, in Shift-JIS bytes.
inline constexpr int kTitleBytes = 63;
inline constexpr int kTagBytes = 8;
inline constexpr int kConstBytes = 128;
inline constexpr int kFileNameBytes = 259;
inline constexpr int kFontNameBytes = 33;

BaseValues fillBase(const formdesc::FormInfo& form);
FieldValues fillField(const formdesc::FieldInfo& field);
FigureValues fillFigure(const formdesc::FigureInfo& figure);
BitmapValues fillBitmap(const formdesc::FigureInfo& figure);

// The stores start from a record of zero bytes. The values no page shows
// (the form's speed flag, a field's shading flag and colour) are carried over
// from the stored record, so that OK without a change changes nothing. The
// form's store refuses an empty title, a grid outside 1-255, margins past the
// paper or below zero and texts that would not read back from the form file;
// the item stores normalise and check the position against the form's grid,
// then check their texts. Every store takes a record only when the writer's
// text of it reads back to the same record.
StoreResult<formdesc::FormInfo> storeBase(const BaseValues& values, const formdesc::FormInfo& stored);
// The same with the form's items (model.form is the stored record): the whole
// form with the new information must also pass the reader's check, so a grid
// that leaves an item outside is refused, naming the first such item.
StoreResult<formdesc::FormInfo> storeBase(const BaseValues& values, const formdesc::FormModel& model);
StoreResult<formdesc::FieldInfo> storeField(const FieldValues& values, const formdesc::FieldInfo& stored,
                                            const formdesc::FormInfo& form);
StoreResult<formdesc::FigureInfo> storeLine(const FigureValues& values, const formdesc::FormInfo& form);
StoreResult<formdesc::FigureInfo> storeRect(const FigureValues& values, const formdesc::FormInfo& form);
StoreResult<formdesc::FigureInfo> storeBitmap(const BitmapValues& values, const formdesc::FormInfo& form);

// Puts the fresh record in place of the stored one when their bytes differ;
// true when it did (the sheet is then changed).
template <typename Record> bool commitRecord(Record& stored, const Record& fresh) {
    if (formdesc::sameBytes(stored, fresh))
        return false;
    stored = fresh;
    return true;
}

// The item a step leads to from index (direction -1 or +1), wrapping at both
// ends: any field for kind 11, else the next figure of the same kind, which
// at worst is the one at index. An index outside the list stays as it is.
int neighbourItem(const formdesc::FormModel& model, int kind, int index, int direction);

// The loop count and pitch as the edits show them: empty for 0 or less.
QString loopText(int value);

} // namespace editor
