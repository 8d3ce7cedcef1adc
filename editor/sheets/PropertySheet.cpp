#include "editor/sheets/PropertySheet.h"

#include "editor/sheets/PropertyPage.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace editor {

PropertySheet::PropertySheet(PropertySheetContext& context, const QString& caption, const QString& tabText,
                             PropertyPage* page, QWidget* parent)
    : QDialog(parent), m_context(context), m_page(page) {
    setWindowTitle(caption);
    setAccessibleName(caption);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(page, tabText);
    layout->addWidget(m_tabs);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setAccessibleName(QStringLiteral("入力の誤り"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    m_refusal->hide();
    layout->addWidget(m_refusal);
    connect(page, &PropertyPage::refusalChanged, this, [this](const QString& reason) {
        m_refusal->setText(reason);
        // A screen reader reads the reason with the caption as its name.
        m_refusal->setAccessibleDescription(reason);
        m_refusal->setVisible(!reason.isEmpty());
    });
    m_buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    for (QAbstractButton* button : m_buttons->buttons())
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &PropertySheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &PropertySheet::reject);
    connect(m_buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { m_page->store(); });
}

bool PropertySheet::changed() const {
    return m_context.changed;
}

void PropertySheet::accept() {
    if (m_page->store())
        QDialog::accept();
}

} // namespace editor
