#include "editor/sheets/BarcodePage.h"

#include "editor/widgets/ColorButton.h"
#include "editor/widgets/NamedComboBox.h"
#include "formdesc/Barcode.h"
#include "formdesc/FormModel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace editor {

namespace {

QComboBox* listOf(const QString& name, const QStringList& items, QWidget* parent) {
    auto* combo = new NamedComboBox(parent);
    combo->setAccessibleName(name);
    combo->addItems(items);
    return combo;
}

} // namespace

BarcodePage::BarcodePage(PropertySheetContext& context, QWidget* parent)
    : ItemPage(context, formdesc::kKindBarcode, parent) {
    setObjectName(QStringLiteral("BarcodePage"));
    auto* group = new QGroupBox(QStringLiteral("バーコード(&B)"), this);
    auto* grid = new QGridLayout(group);
    m_type = listOf(QStringLiteral("種類"), barcodeTypeNames(), group);
    m_fromConst = new QRadioButton(QStringLiteral("定数"), group);
    m_fromField = new QRadioButton(QStringLiteral("フィールド"), group);
    auto* source = new QButtonGroup(group);
    source->addButton(m_fromConst);
    source->addButton(m_fromField);
    m_constText = textEdit(QStringLiteral("定数"), int(formdesc::BarcodeLayout::kTextBytes) - 1);
    m_fieldTag = listOf(QStringLiteral("フィールド"), fieldTagsOf(context.model), group);
    m_hri = new QCheckBox(QStringLiteral("文字を印刷する"), group);
    m_color = colorButton(QStringLiteral("色"), m_colorValue);
    m_ecc = listOf(QStringLiteral("誤り訂正"), barcodeEccNames(), group);
    for (QWidget* control : std::initializer_list<QWidget*>{m_fromConst, m_fromField, m_hri})
        control->setAccessibleName(static_cast<QAbstractButton*>(control)->text());

    grid->addWidget(captionFor(QStringLiteral("種類"), m_type), 0, 0);
    grid->addWidget(m_type, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("内容"), group), 1, 0);
    grid->addWidget(m_fromConst, 1, 1);
    grid->addWidget(m_constText, 1, 2);
    grid->addWidget(m_fromField, 2, 1);
    grid->addWidget(m_fieldTag, 2, 2, Qt::AlignLeft);
    grid->addWidget(m_hri, 3, 1, 1, 2);
    grid->addWidget(captionFor(QStringLiteral("色"), m_color), 4, 0);
    grid->addWidget(m_color, 4, 1, Qt::AlignLeft);
    grid->addWidget(captionFor(QStringLiteral("誤り訂正(QR)"), m_ecc), 5, 0);
    grid->addWidget(m_ecc, 5, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    pageLayout().addWidget(group);
    pageLayout().addStretch();

    connect(m_type, &QComboBox::currentIndexChanged, this, &BarcodePage::enableControls);
    connect(m_fromField, &QRadioButton::toggled, this, &BarcodePage::enableControls);
    showCurrent();
}

void BarcodePage::enableControls() {
    const int type = m_type->currentIndex() + 1;
    m_hri->setEnabled(!formdesc::isTwoDimensional(type));
    m_ecc->setEnabled(type == formdesc::kBarcodeQr);
    const bool fromField = m_fromField->isChecked();
    m_constText->setEnabled(!fromField);
    m_fieldTag->setEnabled(fromField);
}

BarcodeValues BarcodePage::values() const {
    BarcodeValues values;
    values.position = positionValues();
    values.type = m_type->currentIndex();
    values.fromField = m_fromField->isChecked();
    values.constText = m_constText->text();
    values.fieldTag = m_fieldTag->currentIndex() >= 0 ? m_fieldTag->currentText() : QString();
    values.hri = m_hri->isChecked();
    values.color = m_colorValue;
    values.ecc = m_ecc->currentIndex();
    // What the page disables is not part of its values, so that a change
    // there does not count as input to store.
    if (values.fromField)
        values.constText.clear();
    else
        values.fieldTag.clear();
    if (formdesc::isTwoDimensional(values.type + 1))
        values.hri = false;
    if (values.type + 1 != formdesc::kBarcodeQr)
        values.ecc = 0;
    return values;
}

void BarcodePage::showValues(const BarcodeValues& values) {
    showPosition(values.position);
    m_type->setCurrentIndex(values.type);
    (values.fromField ? m_fromField : m_fromConst)->setChecked(true);
    m_constText->setText(values.constText);
    m_fieldTag->setCurrentIndex(m_fieldTag->findText(values.fieldTag));
    m_hri->setChecked(values.hri);
    m_colorValue = values.color;
    m_color->update();
    m_ecc->setCurrentIndex(values.ecc);
    enableControls();
}

formdesc::FigureInfo* BarcodePage::currentBarcode() const {
    formdesc::FormModel& model = m_context.model;
    if (m_context.index < 0 || m_context.index >= model.figureCount)
        return nullptr;
    formdesc::FigureInfo& figure = model.figures[std::size_t(m_context.index)];
    return figure.kind == formdesc::kKindBarcode ? &figure : nullptr;
}

void BarcodePage::showCurrent() {
    if (const formdesc::FigureInfo* barcode = currentBarcode())
        showValues(fillBarcode(*barcode));
}

bool BarcodePage::store() {
    formdesc::FigureInfo* barcode = currentBarcode();
    return !barcode || finishStore(storeBarcodeValues(values(), m_context.model), *barcode);
}

QLineEdit* BarcodePage::editFor(PageControl control) const {
    return control == PageControl::BarcodeText ? m_constText : positionEdit(control);
}

bool BarcodePage::differs() const {
    const formdesc::FigureInfo* barcode = currentBarcode();
    return barcode && values() != fillBarcode(*barcode);
}

} // namespace editor
