#include "editor/papers/DesignSheetDialog.h"

#include <QCheckBox>
#include <QDate>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "editor/canvas/FormCanvas.h"
#include "editor/widgets/ShiftJisValidator.h"
#include "formdesc/ShiftJis.h"

namespace editor {

namespace {

namespace sjis = formdesc::sjis;

QLineEdit* limitedEdit(int maxBytes, const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new ShiftJisValidator(maxBytes, edit));
    edit->setAccessibleName(name);
    return edit;
}

} // namespace

QString DesignSheetDialog::today() {
    const QDate date = QDate::currentDate();
    return QString::asprintf("%04d/%02d/%02d", date.year(), date.month(), date.day());
}

DesignSheetDialog::DesignSheetDialog(const formdesc::FormModel& model, std::filesystem::path formFolder,
                                     SheetPrinterAccess access, QWidget* parent)
    : SheetDialog(QStringLiteral("設計用紙の印刷"), std::move(access), parent), m_model(model),
      m_formFolder(std::move(formFolder)) {
    m_name = limitedEdit(kNameLimit, QStringLiteral("名称"), this);
    m_date = limitedEdit(kDateLimit, QStringLiteral("日付"), this);
    m_remarks = limitedEdit(kRemarksLimit, QStringLiteral("備考"), this);
    m_remarks->setMinimumWidth(360);
    m_frameFields = new QCheckBox(QStringLiteral("ﾌｨｰﾙﾄﾞを枠で囲む"), this);
    m_frameFields->setAccessibleName(m_frameFields->text());
    m_noFills = new QCheckBox(QStringLiteral("網掛けを印刷しない"), this);
    m_noFills->setAccessibleName(m_noFills->text());
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("名称"), m_name);
    fields->addRow(QStringLiteral("日付"), m_date);
    fields->addRow(QStringLiteral("備考"), m_remarks);
    body().addLayout(fields);
    body().addWidget(m_frameFields);
    body().addWidget(m_noFills);

    const formdesc::FormInfo& form = model.form;
    const SheetKinds kinds = sheetKindsFor(form.rows, form.columns);
    landscapeButton()->setEnabled(kinds.landscape);
    portraitButton()->setEnabled(kinds.portrait);
    (kinds.preferred == kSheetPortrait ? portraitButton() : landscapeButton())->setChecked(true);
    m_name->setText(QString::fromStdString(sjis::toUtf8(sjis::view(form.title))));
    m_date->setText(today());
}

bool DesignSheetDialog::canPrint() const {
    return landscapeButton()->isEnabled() || portraitButton()->isEnabled();
}

SheetSettings DesignSheetDialog::settings() const {
    SheetSettings settings;
    settings.kind = kind();
    settings.name =
        SheetPrinter::cutText(sjis::fromUtf8(m_name->text().toStdString()), SheetPrinter::kNameBytes);
    settings.date = parseSheetDate(m_date->text().toStdString());
    settings.remarks =
        SheetPrinter::cutText(sjis::fromUtf8(m_remarks->text().toStdString()), SheetPrinter::kRemarksBytes);
    settings.frameFields = m_frameFields->isChecked();
    settings.noFills = m_noFills->isChecked();
    return settings;
}

SheetRequest DesignSheetDialog::request() const {
    return {&m_model, settings(), m_formFolder};
}

void runDesignSheetDialog(FormCanvas& canvas, QWidget* parent) {
    const QString path = canvas.document().path();
    const std::filesystem::path folder =
        path.isEmpty() ? std::filesystem::path()
                       : std::filesystem::path(QFileInfo(path).absolutePath().toStdString());
    DesignSheetDialog dialog(canvas.document().model(), folder, SheetPrinterAccess::system(),
                             parent ? parent : &canvas);
    dialog.exec();
}

} // namespace editor
