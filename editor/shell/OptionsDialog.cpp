#include "editor/shell/OptionsDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace editor {

namespace {

QCheckBox* optionBox(const QString& text, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setAccessibleName(text);
    box->setChecked(checked);
    return box;
}

} // namespace

OptionsDialog::OptionsDialog(bool modeKeep, bool updateMove, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral("設定"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    m_modeKeep = optionBox(QStringLiteral("部品の作成後も同じ部品を続けて作成する"), modeKeep, this);
    m_updateMove = optionBox(QStringLiteral("前／次への移動時に変更を保存する"), updateMove, this);
    layout->addWidget(m_modeKeep);
    layout->addWidget(m_updateMove);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool OptionsDialog::modeKeep() const {
    return m_modeKeep->isChecked();
}

bool OptionsDialog::updateMove() const {
    return m_updateMove->isChecked();
}

} // namespace editor
