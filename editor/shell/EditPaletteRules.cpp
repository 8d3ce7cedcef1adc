#include "editor/shell/EditPaletteRules.h"

#include "editor/canvas/CurrentAttributes.h"

namespace editor::palette {

int zoomRequestFor(int position) {
    return codeAt(AttributeList::Zoom, position).value_or(-1);
}

QString zoomText(int percent) {
    return QString::asprintf("%d%%", percent);
}

std::optional<AttributeList> kindListFor(int toolMode) {
    switch (toolMode) {
    case kRangeSelect:
        return AttributeList::SelectionFilter;
    case kLineTool:
        return AttributeList::LineCourse;
    case kRectangleTool:
        return AttributeList::MeshKind;
    default:
        return std::nullopt;
    }
}

QString kindListTooltip(int toolMode) {
    switch (toolMode) {
    case kRangeSelect:
        return QStringLiteral("部品の選択");
    case kLineTool:
        return QStringLiteral("直線の向き");
    case kRectangleTool:
        return QStringLiteral("中塗りの有無");
    default:
        return {};
    }
}

int kindListPosition(int toolMode, const CurrentAttributes& attributes) {
    switch (toolMode) {
    case kRangeSelect:
        return positionOf(AttributeList::SelectionFilter, attributes.selectionFilter);
    case kLineTool:
        return positionOf(AttributeList::LineCourse, attributes.lineCourse);
    case kRectangleTool:
        return positionOf(AttributeList::MeshKind, attributes.meshKind);
    default:
        return -1;
    }
}

void applyKindChoice(int toolMode, int position, CurrentAttributes& attributes) {
    const std::optional<AttributeList> list = kindListFor(toolMode);
    if (!list)
        return;
    const std::optional<int> code = codeAt(*list, position);
    if (!code)
        return;
    switch (toolMode) {
    case kRangeSelect:
        attributes.selectionFilter = *code;
        break;
    case kLineTool:
        attributes.lineCourse = *code;
        break;
    case kRectangleTool:
        attributes.meshKind = *code;
        break;
    }
}

} // namespace editor::palette
