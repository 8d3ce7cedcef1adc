#include "editor/sheets/PropertyPage.h"

#include "editor/widgets/ColorButton.h"
#include "editor/widgets/NamedComboBox.h"
#include "editor/widgets/ShiftJisValidator.h"
#include "formdesc/FormWriter.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/ValueParsers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace editor {

namespace {

// The face name handed to the font dialog is taken to 32 bytes.
constexpr std::size_t kFaceRequestBytes = 32;

} // namespace

std::optional<QString> chooseBitmapFile(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟを開く"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)"), QStringLiteral("全ﾌｧｲﾙ (*.*)")});
    dialog.selectFile(QStringLiteral("*.bmp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

StepAnswer askStoreBeforeStep(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("変更を適用しますか？"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    // The answers named without their keys, as a screen reader says them.
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
        const char* name;
    } kTexts[] = {{QMessageBox::Yes, "はい(&Y)", "はい"},
                  {QMessageBox::No, "いいえ(&N)", "いいえ"},
                  {QMessageBox::Cancel, "キャンセル", "キャンセル"}};
    for (const auto& entry : kTexts) {
        QAbstractButton* button = box.button(entry.button);
        button->setText(QString::fromUtf8(entry.text));
        button->setAccessibleName(QString::fromUtf8(entry.name));
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return StepAnswer::Store;
    case QMessageBox::No:
        return StepAnswer::Drop;
    default:
        return StepAnswer::Stay;
    }
}

QLabel* captionFor(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

PropertyPage::PropertyPage(PropertySheetContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {}

void PropertyPage::refuse(PageControl control, const QString& reason) {
    if (QLineEdit* edit = editFor(control))
        rejectInput(*edit);
    else
        QApplication::beep();
    emit refusalChanged(reason);
}

QLineEdit* PropertyPage::textEdit(const QString& name, int maxBytes) {
    auto* edit = new QLineEdit(this);
    edit->setAccessibleName(name);
    edit->setValidator(new ShiftJisValidator(maxBytes, edit));
    return edit;
}

QLineEdit* PropertyPage::digitsEdit(const QString& name) {
    auto* edit = new QLineEdit(this);
    edit->setAccessibleName(name);
    edit->setMaxLength(3);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    return edit;
}

QLineEdit* PropertyPage::display(const QString& name) {
    auto* edit = new QLineEdit(this);
    edit->setAccessibleName(name);
    edit->setReadOnly(true);
    return edit;
}

ColorButton* PropertyPage::colorButton(const QString& name, formdesc::ColorRef& color) {
    auto* button = new ColorButton([&color] { return color; }, this);
    button->setAccessibleName(name);
    button->setToolTip(name);
    connect(button, &QAbstractButton::clicked, this,
            [this, button, &color] { chooseColor(color, *button, m_context.dialogs); });
    return button;
}

void PropertyPage::addFontControls(QGridLayout& grid, int row, formdesc::ColorRef& textColor) {
    m_fontName = display(QStringLiteral("ﾌｫﾝﾄ名"));
    m_fontSize = display(QStringLiteral("文字ｻｲｽﾞ"));
    m_textColor = colorButton(QStringLiteral("文字色"), textColor);
    auto* choose = new QPushButton(QStringLiteral("選択..."), this);
    choose->setAccessibleName(choose->text());
    connect(choose, &QPushButton::clicked, this, &PropertyPage::chooseFontForDisplays);
    grid.addWidget(captionFor(QStringLiteral("ﾌｫﾝﾄ名"), m_fontName), row, 0);
    grid.addWidget(m_fontName, row, 1, 1, 2);
    grid.addWidget(choose, row, 3);
    grid.addWidget(captionFor(QStringLiteral("文字ｻｲｽﾞ"), m_fontSize), row + 1, 0);
    grid.addWidget(m_fontSize, row + 1, 1);
    grid.addWidget(captionFor(QStringLiteral("文字色"), m_textColor), row + 1, 2, Qt::AlignRight);
    grid.addWidget(m_textColor, row + 1, 3);
}

// The record changes only at the next store: the choice goes to the displays.
void PropertyPage::chooseFontForDisplays() {
    const std::string face = formdesc::sjis::fromUtf8(m_fontName->text().toStdString());
    const int tenths = formdesc::parseTenths(m_fontSize->text().toStdString());
    const std::optional<FontChoice> choice =
        chooseFont(formdesc::sjis::cutWhole(face, kFaceRequestBytes), tenths, this, m_context.dialogs);
    if (!choice)
        return;
    m_fontName->setText(QString::fromStdString(formdesc::sjis::toUtf8(choice->faceName.data())));
    m_fontSize->setText(QString::fromStdString(formdesc::formatTenths(choice->tenths)));
}

QComboBox* PropertyPage::namedList(const QString& name, AttributeList list) {
    auto* combo = new NamedComboBox(this);
    combo->setAccessibleName(name);
    fillCombo(*combo, list);
    return combo;
}

} // namespace editor
