#pragma once

#include "editor/widgets/AttributeLists.h"

#include <QString>

#include <optional>

// The value rules of the edit palette, apart from its window: which zoom a
// position of the zoom list asks for, the magnifier's steps, what the kind
// list holds in each tool mode and what choosing in it changes.
namespace editor {

struct CurrentAttributes;

namespace palette {

// The tool modes of the canvas.
constexpr int kRangeSelect = 1;
constexpr int kFieldTool = 11;
constexpr int kLineTool = 21;
constexpr int kRectangleTool = 22;
constexpr int kBitmapTool = 24;
constexpr int kBarcodeTool = 25;

// The zoom that a position of the zoom list asks for: a percent, or -1 to fit
// the whole page (the last entry, and no entry chosen at all).
int zoomRequestFor(int position);
// The combo box's text for a zoom: "87%".
QString zoomText(int percent);

// The magnifier's steps: up to the next ten above, down to the ten below.
// The canvas clamps the result to its zoom range.
constexpr int magnifiedIn(int zoom) {
    return (zoom + 10) / 10 * 10;
}
constexpr int magnifiedOut(int zoom) {
    return (zoom - 1) / 10 * 10;
}

// The list the kind list shows in a tool mode; nothing in the field and
// bitmap modes, where the list is disabled.
std::optional<AttributeList> kindListFor(int toolMode);
// The kind list's tooltip in a tool mode; empty where it has none.
QString kindListTooltip(int toolMode);
// The kind list's position for the current attributes in a tool mode (-1
// where the mode has no kind list).
int kindListPosition(int toolMode, const CurrentAttributes& attributes);
// Stores a choice of the kind list in the attribute the mode stands for.
void applyKindChoice(int toolMode, int position, CurrentAttributes& attributes);

// The tooltips of the palette's controls; each is also the control's
// accessible name.
inline const QString kLineTypeTip = QStringLiteral("線種を指定");
inline const QString kLineWidthTip = QStringLiteral("線幅を指定");
inline const QString kMagnifierTip = QStringLiteral("倍率モード");
inline const QString kFontTip = QStringLiteral("フォント指定");
inline const QString kTextColorTip = QStringLiteral("文字色");
inline const QString kLineColorTip = QStringLiteral("線色");
inline const QString kMeshColorTip = QStringLiteral("中塗り色");
inline const QString kZoomTip = QStringLiteral("編集倍率");

} // namespace palette
} // namespace editor
