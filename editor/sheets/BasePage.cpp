#include "editor/sheets/BasePage.h"

#include "editor/widgets/AttributeLists.h"
#include "editor/widgets/ColorButton.h"
#include "editor/widgets/NamedComboBox.h"
#include "formdesc/FormModel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace editor {

namespace {

const QString kMillimetres = QStringLiteral("mm （0.1mm単位）");

// A margin in millimetres with at most one decimal, five characters.
QLineEdit* marginEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(name);
    edit->setMaxLength(5);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}(\\.[0-9]?)?")), edit));
    return edit;
}

} // namespace

BasePage::BasePage(PropertySheetContext& context, QWidget* parent) : PropertyPage(context, parent) {
    setObjectName(QStringLiteral("BasePage"));
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    left->addWidget(buildManagement());
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(buildPaper());
    paperRow->addWidget(buildDirection());
    left->addLayout(paperRow);
    left->addWidget(buildFont());
    right->addWidget(buildGrid());
    right->addWidget(buildMargins());
    right->addWidget(buildFigure());
    left->addStretch();
    right->addStretch();
    showValues(fillBase(m_context.model.form));
}

QGroupBox* BasePage::buildManagement() {
    auto* group = new QGroupBox(QStringLiteral("管理(&C)"), this);
    auto* grid = new QGridLayout(group);
    m_title = textEdit(QStringLiteral("名称"), kTitleBytes);
    m_tagMode = namedList(QStringLiteral("TAG"), AttributeList::TagMode);
    grid->addWidget(captionFor(QStringLiteral("名称"), m_title), 0, 0);
    grid->addWidget(m_title, 0, 1);
    grid->addWidget(captionFor(QStringLiteral("TAG"), m_tagMode), 1, 0);
    grid->addWidget(m_tagMode, 1, 1, Qt::AlignLeft);
    return group;
}

QGroupBox* BasePage::buildPaper() {
    auto* group = new QGroupBox(QStringLiteral("用紙ｻｲｽﾞ(&S)"), this);
    auto* grid = new QGridLayout(group);
    m_paper = new QButtonGroup(this);
    static constexpr struct {
        const char* text;
        int code;
    } kPapers[] = {{"A3用紙", formdesc::kPaperA3},
                   {"A4用紙", formdesc::kPaperA4},
                   {"A5用紙", formdesc::kPaperA5},
                   {"B4用紙", formdesc::kPaperB4},
                   {"B5用紙", formdesc::kPaperB5}};
    int row = 0;
    for (const auto& paper : kPapers) {
        auto* radio = new QRadioButton(QString::fromUtf8(paper.text), group);
        m_paper->addButton(radio, paper.code);
        grid->addWidget(radio, row / 3, row % 3);
        ++row;
    }
    // The model has no free paper size: the choice and its two sizes stay off.
    auto* free = new QRadioButton(QStringLiteral("自由設計"), group);
    free->setEnabled(false);
    grid->addWidget(free, 2, 0);
    int line = 3;
    for (const char* side : {"縦", "横"}) {
        auto* edit = new QLineEdit(group);
        edit->setAccessibleName(QString::fromUtf8(side));
        edit->setEnabled(false);
        auto* caption = captionFor(QString::fromUtf8(side), edit);
        caption->setEnabled(false);
        auto* unit = new QLabel(kMillimetres, group);
        unit->setEnabled(false);
        grid->addWidget(caption, line, 0, Qt::AlignRight);
        grid->addWidget(edit, line, 1);
        grid->addWidget(unit, line, 2);
        ++line;
    }
    return group;
}

QGroupBox* BasePage::buildDirection() {
    auto* group = new QGroupBox(QStringLiteral("印刷方向(&D)"), this);
    auto* box = new QVBoxLayout(group);
    m_landscape = new QRadioButton(QStringLiteral("横方向"), group);
    m_portrait = new QRadioButton(QStringLiteral("縦方向"), group);
    box->addWidget(m_landscape);
    box->addWidget(m_portrait);
    box->addStretch();
    return group;
}

QGroupBox* BasePage::buildGrid() {
    auto* group = new QGroupBox(QStringLiteral("頁ｻｲｽﾞ(&P)"), this);
    auto* grid = new QGridLayout(group);
    m_rows = digitsEdit(QStringLiteral("行数"));
    m_columns = digitsEdit(QStringLiteral("桁数"));
    grid->addWidget(captionFor(QStringLiteral("行数"), m_rows), 0, 0);
    grid->addWidget(m_rows, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("行"), group), 0, 2);
    grid->addWidget(captionFor(QStringLiteral("桁数"), m_columns), 1, 0);
    grid->addWidget(m_columns, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("桁"), group), 1, 2);
    return group;
}

QGroupBox* BasePage::buildMargins() {
    auto* group = new QGroupBox(QStringLiteral("余白(&M)"), this);
    auto* grid = new QGridLayout(group);
    m_topMargin = marginEdit(this, QStringLiteral("上ﾏｰｼﾞﾝ"));
    m_leftMargin = marginEdit(this, QStringLiteral("左ﾏｰｼﾞﾝ"));
    grid->addWidget(captionFor(QStringLiteral("上ﾏｰｼﾞﾝ"), m_topMargin), 0, 0);
    grid->addWidget(m_topMargin, 0, 1);
    grid->addWidget(new QLabel(kMillimetres, group), 0, 2);
    grid->addWidget(captionFor(QStringLiteral("左ﾏｰｼﾞﾝ"), m_leftMargin), 1, 0);
    grid->addWidget(m_leftMargin, 1, 1);
    grid->addWidget(new QLabel(kMillimetres, group), 1, 2);
    return group;
}

QGroupBox* BasePage::buildFont() {
    auto* group = new QGroupBox(QStringLiteral("文字属性(&T)"), this);
    auto* grid = new QGridLayout(group);
    addFontControls(*grid, 0, m_textColorValue);
    return group;
}

QGroupBox* BasePage::buildFigure() {
    auto* group = new QGroupBox(QStringLiteral("図形属性(&F)"), this);
    auto* grid = new QGridLayout(group);
    m_lineType = namedList(QStringLiteral("線種"), AttributeList::LineType);
    m_lineWidth = namedList(QStringLiteral("線幅"), AttributeList::LineWidth);
    m_lineColor = colorButton(QStringLiteral("線色"), m_lineColorValue);
    m_meshColor = colorButton(QStringLiteral("中塗り色"), m_meshColorValue);
    grid->addWidget(captionFor(QStringLiteral("線種"), m_lineType), 0, 0);
    grid->addWidget(m_lineType, 0, 1);
    grid->addWidget(captionFor(QStringLiteral("線幅"), m_lineWidth), 1, 0);
    grid->addWidget(m_lineWidth, 1, 1);
    grid->addWidget(captionFor(QStringLiteral("線色"), m_lineColor), 2, 0);
    grid->addWidget(m_lineColor, 2, 1, Qt::AlignLeft);
    grid->addWidget(captionFor(QStringLiteral("中塗り色"), m_meshColor), 3, 0);
    grid->addWidget(m_meshColor, 3, 1, Qt::AlignLeft);
    return group;
}

BaseValues BasePage::values() const {
    BaseValues values;
    values.title = m_title->text();
    values.tagMode = m_tagMode->currentIndex();
    values.paperSize = std::max(m_paper->checkedId(), 0);
    values.landscape = m_landscape->isChecked();
    values.rows = m_rows->text();
    values.columns = m_columns->text();
    values.topMargin = m_topMargin->text();
    values.leftMargin = m_leftMargin->text();
    values.fontName = m_fontName->text();
    values.fontSize = m_fontSize->text();
    values.lineType = m_lineType->currentIndex();
    values.lineWidth = m_lineWidth->currentIndex();
    values.textColor = m_textColorValue;
    values.lineColor = m_lineColorValue;
    values.meshColor = m_meshColorValue;
    return values;
}

void BasePage::showValues(const BaseValues& values) {
    m_title->setText(values.title);
    m_tagMode->setCurrentIndex(values.tagMode);
    // A paper code that no button stands for leaves every button off.
    m_paper->setExclusive(false);
    for (QAbstractButton* button : m_paper->buttons())
        button->setChecked(m_paper->id(button) == values.paperSize);
    m_paper->setExclusive(true);
    // Checking one of the pair unchecks the other.
    (values.landscape ? m_landscape : m_portrait)->setChecked(true);
    m_rows->setText(values.rows);
    m_columns->setText(values.columns);
    m_topMargin->setText(values.topMargin);
    m_leftMargin->setText(values.leftMargin);
    m_fontName->setText(values.fontName);
    m_fontSize->setText(values.fontSize);
    m_lineType->setCurrentIndex(values.lineType);
    m_lineWidth->setCurrentIndex(values.lineWidth);
    m_textColorValue = values.textColor;
    m_lineColorValue = values.lineColor;
    m_meshColorValue = values.meshColor;
    m_textColor->update();
    m_lineColor->update();
    m_meshColor->update();
}

bool BasePage::store() {
    return finishStore(storeBase(values(), m_context.model), m_context.model.form);
}

QLineEdit* BasePage::editFor(PageControl control) const {
    switch (control) {
    case PageControl::Title:
        return m_title;
    case PageControl::Rows:
        return m_rows;
    case PageControl::Columns:
        return m_columns;
    case PageControl::TopMargin:
        return m_topMargin;
    case PageControl::LeftMargin:
        return m_leftMargin;
    case PageControl::FontName:
        return m_fontName;
    default:
        return nullptr;
    }
}

} // namespace editor
