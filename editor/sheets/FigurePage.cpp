#include "editor/sheets/FigurePage.h"

#include "editor/widgets/ColorButton.h"
#include "editor/widgets/NamedComboBox.h"
#include "formdesc/FormModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace editor {

FigurePage::FigurePage(PropertySheetContext& context, int kind, AttributeList kindList, QWidget* parent)
    : ItemPage(context, kind, parent) {
    auto* row = new QHBoxLayout;
    auto* attributes = new QGroupBox(QStringLiteral("属性(&A)"), this);
    m_attributes = new QGridLayout(attributes);
    m_kindList = namedList(QStringLiteral("種類"), kindList);
    m_lineType = namedList(QStringLiteral("線種"), AttributeList::LineType);
    m_lineWidth = namedList(QStringLiteral("線幅"), AttributeList::LineWidth);
    m_lineColor = colorButton(QStringLiteral("線色"), m_lineColorValue);
    m_attributes->addWidget(captionFor(QStringLiteral("種類"), m_kindList), 0, 0);
    m_attributes->addWidget(m_kindList, 0, 1);
    int line = 1;
    for (auto [caption, control] : {std::pair{"線種", static_cast<QWidget*>(m_lineType)},
                                    std::pair{"線幅", static_cast<QWidget*>(m_lineWidth)},
                                    std::pair{"線色", static_cast<QWidget*>(m_lineColor)}}) {
        QLabel* label = captionFor(QString::fromUtf8(caption), control);
        m_attributes->addWidget(label, line, 0);
        m_attributes->addWidget(control, line, 1, control == m_lineColor ? Qt::AlignLeft : Qt::Alignment());
        m_frameControls << label << control;
        ++line;
    }
    row->addWidget(attributes);

    auto* repeat = new QGroupBox(QStringLiteral("繰り返し(&L)"), this);
    auto* grid = new QGridLayout(repeat);
    m_loopDir = namedList(QStringLiteral("方向"), AttributeList::LoopDirection);
    m_loopCount = digitsEdit(QStringLiteral("回数"));
    m_loopPitch = digitsEdit(QStringLiteral("間隔"));
    m_loopUnit = new QLabel(repeat);
    m_loopUnit->setObjectName(QStringLiteral("loopUnit"));
    m_loopUnit->setMinimumWidth(m_loopUnit->fontMetrics().horizontalAdvance(QStringLiteral("行")));
    auto* countCaption = captionFor(QStringLiteral("回数"), m_loopCount);
    auto* times = new QLabel(QStringLiteral("回"), repeat);
    auto* pitchCaption = captionFor(QStringLiteral("間隔"), m_loopPitch);
    grid->addWidget(captionFor(QStringLiteral("方向"), m_loopDir), 0, 0);
    grid->addWidget(m_loopDir, 0, 1, 1, 2);
    grid->addWidget(countCaption, 1, 0);
    grid->addWidget(m_loopCount, 1, 1);
    grid->addWidget(times, 1, 2);
    grid->addWidget(pitchCaption, 2, 0);
    grid->addWidget(m_loopPitch, 2, 1);
    grid->addWidget(m_loopUnit, 2, 2);
    m_repeatControls = {countCaption, m_loopCount, times, pitchCaption, m_loopPitch};
    row->addWidget(repeat);
    pageLayout().addLayout(row);
    pageLayout().addStretch();

    connect(m_loopDir, &QComboBox::currentIndexChanged, this, &FigurePage::enableRepetition);
    connect(m_kindList, &QComboBox::currentIndexChanged, this,
            [this](int position) { kindChanged(position); });
}

// No direction, no repetition: the count and pitch stay as typed but off.
void FigurePage::enableRepetition(int direction) {
    for (QWidget* control : m_repeatControls)
        control->setEnabled(direction > 0);
    const QStringList units = attributeTexts(AttributeList::LoopUnit);
    m_loopUnit->setText(direction >= 0 && direction < units.size() ? units[direction] : QString());
}

FigureValues FigurePage::values() const {
    FigureValues values;
    values.position = positionValues();
    values.kind = m_kindList->currentIndex();
    values.lineType = m_lineType->currentIndex();
    values.lineWidth = m_lineWidth->currentIndex();
    values.lineColor = m_lineColorValue;
    values.meshColor = m_meshColorValue;
    values.loopDir = m_loopDir->currentIndex();
    values.loopCount = m_loopCount->text();
    values.loopPitch = m_loopPitch->text();
    return values;
}

void FigurePage::showValues(const FigureValues& values) {
    showPosition(values.position);
    m_lineType->setCurrentIndex(values.lineType);
    m_lineWidth->setCurrentIndex(values.lineWidth);
    m_lineColorValue = values.lineColor;
    m_meshColorValue = values.meshColor;
    m_loopCount->setText(values.loopCount);
    m_loopPitch->setText(values.loopPitch);
    m_loopDir->setCurrentIndex(values.loopDir);
    m_kindList->setCurrentIndex(values.kind);
    // The enabling runs for the values shown, also when a list kept its entry.
    enableRepetition(values.loopDir);
    kindChanged(values.kind);
    for (QWidget* button : findChildren<ColorButton*>())
        button->update();
}

formdesc::FigureInfo* FigurePage::currentFigure() const {
    formdesc::FormModel& model = m_context.model;
    if (m_context.index < 0 || m_context.index >= model.figureCount)
        return nullptr;
    formdesc::FigureInfo& figure = model.figures[std::size_t(m_context.index)];
    return figure.kind == kind() ? &figure : nullptr;
}

void FigurePage::showCurrent() {
    if (const formdesc::FigureInfo* figure = currentFigure())
        showValues(fillFigure(*figure));
}

QLineEdit* FigurePage::editFor(PageControl control) const {
    return positionEdit(control);
}

bool FigurePage::differs() const {
    const formdesc::FigureInfo* figure = currentFigure();
    return figure && values() != fillFigure(*figure);
}

} // namespace editor
