#include "editor/sheets/RectPage.h"

#include "editor/widgets/ColorButton.h"
#include "formdesc/FormModel.h"

#include <QGridLayout>
#include <QLabel>

namespace editor {

RectPage::RectPage(PropertySheetContext& context, QWidget* parent)
    : FigurePage(context, formdesc::kKindRect, AttributeList::MeshKind, parent) {
    setObjectName(QStringLiteral("RectPage"));
    ColorButton* meshColor = colorButton(QStringLiteral("中塗り色"), m_meshColorValue);
    QLabel* caption = captionFor(QStringLiteral("中塗り色"), meshColor);
    attributeGrid().addWidget(caption, 4, 0);
    attributeGrid().addWidget(meshColor, 4, 1, Qt::AlignLeft);
    m_fillControls = {caption, meshColor};
    showCurrent();
}

void RectPage::kindChanged(int meshKind) {
    for (QWidget* control : m_frameControls)
        control->setEnabled(meshKind != formdesc::kMeshFillOnly);
    for (QWidget* control : m_fillControls)
        control->setEnabled(meshKind != formdesc::kMeshFrameOnly);
}

bool RectPage::store() {
    formdesc::FigureInfo* rect = currentFigure();
    return !rect || finishStore(storeRect(values(), m_context.model.form), *rect);
}

} // namespace editor
