#include "editor/sheets/BitmapPage.h"

#include "formdesc/FormModel.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor {

namespace {

// The part of file below folder (both absolute and clean), or nothing.
std::optional<QString> below(const QString& file, const QString& folder) {
    if (file.isEmpty() || folder.isEmpty())
        return std::nullopt;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!file.startsWith(prefix) || file.size() == prefix.size())
        return std::nullopt;
    return file.mid(prefix.size());
}

} // namespace

QString bitmapNameForForm(const QString& chosen, const QString& formFolder) {
    if (formFolder.isEmpty())
        return chosen;
    const QFileInfo file(chosen);
    const QFileInfo folder(formFolder);
    // As written first, then with links resolved (a folder reached through
    // a link holds the file as well).
    if (auto name =
            below(QDir::cleanPath(file.absoluteFilePath()), QDir::cleanPath(folder.absoluteFilePath())))
        return *name;
    if (auto name = below(file.canonicalFilePath(), folder.canonicalFilePath()))
        return *name;
    return chosen;
}

BitmapPage::BitmapPage(PropertySheetContext& context, QWidget* parent)
    : ItemPage(context, formdesc::kKindBitmap, parent) {
    setObjectName(QStringLiteral("BitmapPage"));
    auto* group = new QGroupBox(QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(&B)"), this);
    auto* row = new QHBoxLayout(group);
    m_fileName = textEdit(QStringLiteral("ﾌｧｲﾙ名"), kFileNameBytes);
    auto* browse = new QPushButton(QStringLiteral("参照..."), group);
    browse->setAccessibleName(browse->text());
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &BitmapPage::browse);
    row->addWidget(captionFor(QStringLiteral("ﾌｧｲﾙ名"), m_fileName));
    row->addWidget(m_fileName, 1);
    row->addWidget(browse);
    pageLayout().addWidget(group);
    pageLayout().addStretch();
    showCurrent();
}

// The chosen path goes to the edit; the record takes it at the next store.
void BitmapPage::browse() {
    if (!m_context.chooseBitmap)
        return;
    if (const std::optional<QString> path = m_context.chooseBitmap(this))
        m_fileName->setText(bitmapNameForForm(*path, m_context.formFolder));
}

BitmapValues BitmapPage::values() const {
    return {positionValues(), m_fileName->text()};
}

void BitmapPage::showValues(const BitmapValues& values) {
    showPosition(values.position);
    m_fileName->setText(values.fileName);
}

formdesc::FigureInfo* BitmapPage::currentBitmap() const {
    formdesc::FormModel& model = m_context.model;
    if (m_context.index < 0 || m_context.index >= model.figureCount)
        return nullptr;
    formdesc::FigureInfo& figure = model.figures[std::size_t(m_context.index)];
    return figure.kind == formdesc::kKindBitmap ? &figure : nullptr;
}

void BitmapPage::showCurrent() {
    if (const formdesc::FigureInfo* bitmap = currentBitmap())
        showValues(fillBitmap(*bitmap));
}

bool BitmapPage::store() {
    formdesc::FigureInfo* bitmap = currentBitmap();
    return !bitmap || finishStore(storeBitmap(values(), m_context.model.form), *bitmap);
}

QLineEdit* BitmapPage::editFor(PageControl control) const {
    return control == PageControl::FileName ? m_fileName : positionEdit(control);
}

bool BitmapPage::differs() const {
    const formdesc::FigureInfo* bitmap = currentBitmap();
    return bitmap && values() != fillBitmap(*bitmap);
}

} // namespace editor
