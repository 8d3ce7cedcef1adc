#include "editor/papers/SheetDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "formdesc/MessageSink.h"

namespace editor {

namespace {

void showError(std::string_view text) {
    formdesc::messageSink().show(formdesc::kCaptionError, text, formdesc::MessageIcon::Exclamation);
}

} // namespace

QString SheetDialog::landscapeCaption() {
    return QStringLiteral("横型（66行×200桁）");
}

QString SheetDialog::portraitCaption() {
    return QStringLiteral("縦型（100行×132桁）");
}

SheetDialog::SheetDialog(const QString& title, SheetPrinterAccess access, QWidget* parent)
    : QDialog(parent), m_access(std::move(access)) {
    setWindowTitle(title);

    auto* printerLabel = new QLabel(QStringLiteral("プリンタ："), this);
    // A screen reader announces the printer's name itself, with the caption
    // as its label (the caption's buddy).
    m_printerName = new QLabel(this);
    m_printerName->setMinimumWidth(200);
    printerLabel->setBuddy(m_printerName);
    m_printerButton = new QPushButton(QStringLiteral("ﾌﾟﾘﾝﾀの設定(&S)..."), this);
    m_printerButton->setAccessibleName(QStringLiteral("ﾌﾟﾘﾝﾀの設定(S)..."));
    connect(m_printerButton, &QPushButton::clicked, this, &SheetDialog::choosePrinter);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(printerLabel);
    printerRow->addWidget(m_printerName, 1);
    printerRow->addWidget(m_printerButton);

    auto* kinds = new QGroupBox(QStringLiteral("用紙"), this);
    m_landscape = new QRadioButton(landscapeCaption(), kinds);
    m_portrait = new QRadioButton(portraitCaption(), kinds);
    m_landscape->setAccessibleName(landscapeCaption());
    m_portrait->setAccessibleName(portraitCaption());
    auto* group = new QButtonGroup(this);
    group->addButton(m_landscape);
    group->addButton(m_portrait);
    auto* kindsLayout = new QVBoxLayout(kinds);
    kindsLayout->addWidget(m_landscape);
    kindsLayout->addWidget(m_portrait);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setAccessibleName(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SheetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SheetDialog::reject);

    m_body = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(printerRow);
    layout->addWidget(kinds);
    layout->addLayout(m_body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const QString queue = m_access.defaultQueue ? m_access.defaultQueue() : QString();
    m_hasDefault = !queue.isEmpty();
    // Without any queue the sheet still goes to a PDF file, chosen in the
    // print dialog.
    if (!m_hasDefault) {
        m_printerName->setText(pdfFileCaption());
        return;
    }
    if (m_access.printerFor)
        m_printer = m_access.printerFor(queue);
    m_printerName->setText(queue);
}

SheetDialog::~SheetDialog() = default;

QString SheetDialog::pdfFileCaption() {
    return QStringLiteral("PDF ファイル");
}

int SheetDialog::kind() const {
    return m_portrait->isChecked() ? kSheetPortrait : kSheetLandscape;
}

QString SheetDialog::printerName() const {
    return m_printerName->text();
}

void SheetDialog::showPrinterName() {
    if (m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty())
        m_printerName->setText(m_printer->outputFileName());
    else
        m_printerName->setText(m_printer->printerName());
}

bool SheetDialog::choosePrinter() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!m_access.choosePrinter || !m_access.choosePrinter(*m_printer, this))
        return false;
    m_chosen = true;
    showPrinterName();
    return true;
}

void SheetDialog::accept() {
    if (!canPrint())
        return;
    // No queue and no file yet: the print dialog asks for the file; cancelled,
    // the dialog stays.
    if (!m_hasDefault && !m_chosen && !choosePrinter())
        return;
    // Not chosen in the print dialog: the default queue as it is now.
    if (!m_chosen)
        m_printer = m_access.printerFor ? m_access.printerFor(m_access.defaultQueue()) : nullptr;
    m_outputError.clear();
    m_outcome = SheetOutput::print(std::move(m_printer), request(), m_outputError);
    if (m_outcome != SheetOutcome::Printed)
        showError(SheetOutput::failureText(m_outcome, isDesignSheet()));
    QDialog::accept();
}

} // namespace editor
