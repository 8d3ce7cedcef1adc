#include "editor/sheets/FieldPage.h"

#include "editor/widgets/ColorButton.h"
#include "formdesc/FormModel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace editor {

FieldPage::FieldPage(PropertySheetContext& context, QWidget* parent)
    : ItemPage(context, formdesc::kKindField, parent) {
    setObjectName(QStringLiteral("FieldPage"));
    // A field is one row high: the end row follows the start row.
    m_endRow->setEnabled(false);
    m_endRowUnit->setEnabled(false);
    m_tag = textEdit(QStringLiteral("TAG名"), kTagBytes);
    positionGrid().addWidget(captionFor(QStringLiteral("TAG名"), m_tag), 2, 0);
    positionGrid().addWidget(m_tag, 2, 1, 1, 3);

    auto* middle = new QHBoxLayout;
    auto* attributes = new QGroupBox(QStringLiteral("属性(&A)"), this);
    auto* grid = new QGridLayout(attributes);
    addFontControls(*grid, 0, m_textColorValue);
    middle->addWidget(attributes);

    auto* decorations = new QGroupBox(QStringLiteral("装飾(&D)"), this);
    auto* boxes = new QVBoxLayout(decorations);
    for (auto [box, text] :
         {std::pair{&m_wide, "文字を横２倍にする"}, std::pair{&m_center, "中央に寄せる"},
          std::pair{&m_space, "等間隔に配置する"}, std::pair{&m_onLine, "行と行の中間に置く（ONﾗｲﾝ）"},
          std::pair{&m_minus, "ﾏｲﾅｽを△に置き換える"}}) {
        *box = new QCheckBox(QString::fromUtf8(text), decorations);
        boxes->addWidget(*box);
    }
    middle->addWidget(decorations);
    pageLayout().addLayout(middle);

    auto* constant = new QGroupBox(QStringLiteral("ｺﾝｽﾀﾝﾄ(&C)"), this);
    auto* constantRow = new QHBoxLayout(constant);
    m_constText = textEdit(QStringLiteral("ｺﾝｽﾀﾝﾄ"), kConstBytes);
    constantRow->addWidget(m_constText);
    pageLayout().addWidget(constant);
    pageLayout().addStretch();
    showCurrent();
}

FieldValues FieldPage::values() const {
    FieldValues values;
    values.position = positionValues();
    values.tag = m_tag->text();
    values.fontName = m_fontName->text();
    values.fontSize = m_fontSize->text();
    values.textColor = m_textColorValue;
    values.wide = m_wide->isChecked();
    values.center = m_center->isChecked();
    values.space = m_space->isChecked();
    values.onLine = m_onLine->isChecked();
    values.minus = m_minus->isChecked();
    values.constText = m_constText->text();
    return values;
}

void FieldPage::showValues(const FieldValues& values) {
    showPosition(values.position);
    m_tag->setText(values.tag);
    m_fontName->setText(values.fontName);
    m_fontSize->setText(values.fontSize);
    m_textColorValue = values.textColor;
    m_textColor->update();
    m_wide->setChecked(values.wide);
    m_center->setChecked(values.center);
    m_space->setChecked(values.space);
    m_onLine->setChecked(values.onLine);
    m_minus->setChecked(values.minus);
    m_constText->setText(values.constText);
}

void FieldPage::showCurrent() {
    formdesc::FormModel& model = m_context.model;
    if (m_context.index >= 0 && m_context.index < model.fieldCount)
        showValues(fillField(model.fields[std::size_t(m_context.index)]));
}

bool FieldPage::store() {
    formdesc::FormModel& model = m_context.model;
    if (m_context.index < 0 || m_context.index >= model.fieldCount)
        return true;
    formdesc::FieldInfo& field = model.fields[std::size_t(m_context.index)];
    return finishStore(storeField(values(), field, model.form), field);
}

QLineEdit* FieldPage::editFor(PageControl control) const {
    switch (control) {
    case PageControl::EndRow:
        // The end row is the start row: the edit to correct is the enabled one.
        return m_startRow;
    case PageControl::Tag:
        return m_tag;
    case PageControl::FontName:
        return m_fontName;
    case PageControl::ConstText:
        return m_constText;
    default:
        return positionEdit(control);
    }
}

bool FieldPage::differs() const {
    const formdesc::FormModel& model = m_context.model;
    return m_context.index >= 0 && m_context.index < model.fieldCount &&
           values() != fillField(model.fields[std::size_t(m_context.index)]);
}

} // namespace editor
