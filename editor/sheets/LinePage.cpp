#include "editor/sheets/LinePage.h"

#include "formdesc/FormModel.h"

namespace editor {

LinePage::LinePage(PropertySheetContext& context, QWidget* parent)
    : FigurePage(context, formdesc::kKindLine, AttributeList::LineCourse, parent) {
    setObjectName(QStringLiteral("LinePage"));
    showCurrent();
}

bool LinePage::store() {
    formdesc::FigureInfo* line = currentFigure();
    return !line || finishStore(storeLine(values(), m_context.model.form), *line);
}

} // namespace editor
