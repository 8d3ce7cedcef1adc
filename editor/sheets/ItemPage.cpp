#include "editor/sheets/ItemPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor {

ItemPage::ItemPage(PropertySheetContext& context, int kind, QWidget* parent)
    : PropertyPage(context, parent), m_kind(kind), m_layout(new QVBoxLayout(this)) {
    auto* steps = new QHBoxLayout;
    steps->addStretch();
    for (const auto& [text, direction] : {std::pair{"＜ 前", -1}, std::pair{"次 ＞", 1}}) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setAccessibleName(button->text());
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, direction = direction] { step(direction); });
        steps->addWidget(button);
    }
    m_layout->addLayout(steps);

    auto* group = new QGroupBox(QStringLiteral("位置(&P)"), this);
    m_positionGrid = new QGridLayout(group);
    m_startCol = digitsEdit(QStringLiteral("開始列"));
    m_startRow = digitsEdit(QStringLiteral("開始行"));
    m_endCol = digitsEdit(QStringLiteral("終了列"));
    m_endRow = digitsEdit(QStringLiteral("終了行"));
    const struct {
        const char* caption;
        QLineEdit* col;
        QLineEdit* row;
    } kRows[] = {{"開始位置", m_startCol, m_startRow}, {"終了位置", m_endCol, m_endRow}};
    int line = 0;
    for (const auto& entry : kRows) {
        m_positionGrid->addWidget(captionFor(QString::fromUtf8(entry.caption), entry.col), line, 0);
        m_positionGrid->addWidget(entry.col, line, 1);
        m_positionGrid->addWidget(new QLabel(QStringLiteral("列"), group), line, 2);
        m_positionGrid->addWidget(entry.row, line, 3);
        auto* unit = new QLabel(QStringLiteral("行"), group);
        m_positionGrid->addWidget(unit, line, 4);
        m_endRowUnit = unit;
        ++line;
    }
    m_positionGrid->setColumnStretch(5, 1);
    m_layout->addWidget(group);
}

void ItemPage::step(int direction) {
    if (m_context.updateMove) {
        // A refused store still steps: its input gives way to the neighbour's.
        store();
    } else if (m_context.askBeforeStep && differs()) {
        switch (m_context.askBeforeStep(this)) {
        case StepAnswer::Store:
            if (!store())
                return;
            break;
        case StepAnswer::Drop:
            break;
        case StepAnswer::Stay:
            return;
        }
    }
    const int next = neighbourItem(m_context.model, m_kind, m_context.index, direction);
    if (next == m_context.index)
        return;
    m_context.index = next;
    showCurrent();
}

PositionValues ItemPage::positionValues() const {
    return {m_startCol->text(), m_startRow->text(), m_endCol->text(), m_endRow->text()};
}

void ItemPage::showPosition(const PositionValues& values) {
    m_startCol->setText(values.startCol);
    m_startRow->setText(values.startRow);
    m_endCol->setText(values.endCol);
    m_endRow->setText(values.endRow);
}

QLineEdit* ItemPage::positionEdit(PageControl control) const {
    switch (control) {
    case PageControl::StartCol:
        return m_startCol;
    case PageControl::StartRow:
        return m_startRow;
    case PageControl::EndCol:
        return m_endCol;
    case PageControl::EndRow:
        return m_endRow;
    default:
        return nullptr;
    }
}

} // namespace editor
