#include "platform/PdfDirectTarget.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfDirectBackend.h"
#include "platform/PdfFileWriter.h"
#include "platform/PdfStreamWriter.h"

#include <QDateTime>

#include <algorithm>

namespace platform {

namespace {

// Page content is written often and read once: the fastest level pays.
constexpr int kContentLevel = 1;

// The creation date, from SOURCE_DATE_EPOCH when it is set so that outputs
// can be reproduced.
std::string creationDate() {
    QDateTime when = QDateTime::currentDateTimeUtc();
    bool ok = false;
    const qlonglong epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok && epoch >= 0)
        when = QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    return "(D:" + when.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + "Z)";
}

} // namespace

PdfDirectTarget::PdfDirectTarget(std::string path, PaperTenths paper, int dpi)
    : m_path(std::move(path)), m_paper(paper), m_dpi(std::max(1, dpi)) {}

PdfDirectTarget::~PdfDirectTarget() = default;

double PdfDirectTarget::widthPoints() const {
    return std::max(1, m_paper.width) / 254.0 * 72.0;
}
double PdfDirectTarget::heightPoints() const {
    return std::max(1, m_paper.height) / 254.0 * 72.0;
}

std::string PdfDirectTarget::errorText() const {
    if (!m_error.empty())
        return m_error;
    return m_file ? m_file->errorText() : std::string();
}

long long PdfDirectTarget::bytesWritten() const {
    return m_file ? m_file->bytesWritten() : 0;
}

bool PdfDirectTarget::beginDocument(const std::string& utf8Name) {
    m_file = std::make_unique<PdfFileWriter>(m_path);
    if (!m_file->open())
        return false;
    m_title = utf8Name;
    m_catalog = m_file->reserveObject();
    m_pageTree = m_file->reserveObject();
    m_resources = m_file->reserveObject();
    m_info = m_file->reserveObject();
    m_deflater = std::make_unique<PdfDeflater>(kContentLevel);
    m_backend = std::make_unique<PdfDirectBackend>(*m_file, m_dpi, m_dpi, heightPoints());
    m_dc = std::make_unique<DeviceContext>(*m_backend);
    m_dc->setDeviceOffset(printableOffset(m_dpi), printableOffset(m_dpi));
    return true;
}

void PdfDirectTarget::beginPage() {
    if (!m_backend)
        return;
    if (m_pageOpen)
        endPage();
    m_backend->beginPage();
    m_pageOpen = true;
}

void PdfDirectTarget::endPage() {
    if (!m_backend || !m_pageOpen)
        return;
    m_pageOpen = false;
    const std::string& content = m_backend->pageContent();
    const int contents = m_file->reserveObject();
    const int page = m_file->reserveObject();
    if (m_deflater->compress(content, m_packed))
        m_file->writeStream(contents, "/Filter/FlateDecode", m_packed);
    else
        m_file->writeStream(contents, {}, content);
    PdfStreamWriter dict;
    dict.raw("<</Type/Page/Parent ").num(m_pageTree).raw("0 R/MediaBox[0 0 ").real(widthPoints(), 4);
    dict.real(heightPoints(), 4).raw("]/Resources ").num(m_resources).raw("0 R/Contents ");
    dict.num(contents).raw("0 R>>");
    m_file->writeObject(page, dict.bytes());
    m_pages.push_back(page);
}

bool PdfDirectTarget::endDocument() {
    if (!m_backend)
        return false;
    endPage();
    // A document needs a page; a job that drew none gets a blank one, as
    // with the Qt writer.
    if (m_pages.empty()) {
        beginPage();
        endPage();
    }
    m_backend->writeResources(m_resources, *m_deflater);

    PdfStreamWriter w;
    w.raw("<</Type/Pages/Count ").num(static_cast<long long>(m_pages.size())).raw("/Kids[");
    for (int page : m_pages)
        w.num(page).raw("0 R ");
    w.raw("]>>");
    m_file->writeObject(m_pageTree, w.bytes());

    w.clear();
    w.raw("<</Title ").textString(QString::fromStdString(m_title)).raw("/Creator ");
    w.textString(QStringLiteral("tabrik zrk")).raw("/Producer ").textString(QStringLiteral("tabrik zrk"));
    w.raw("/CreationDate ").raw(creationDate()).raw(">>");
    m_file->writeObject(m_info, w.bytes());

    w.clear();
    w.raw("<</Type/Catalog/Pages ").num(m_pageTree).raw("0 R>>");
    m_file->writeObject(m_catalog, w.bytes());
    return m_file->finish(m_catalog, m_info);
}

} // namespace platform
