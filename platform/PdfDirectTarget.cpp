#include "platform/PdfDirectTarget.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfDrawnPage.h"
#include "platform/PdfEmbeddedFont.h"
#include "platform/PdfFileWriter.h"
#include "platform/PdfImageObject.h"
#include "platform/PdfPageLane.h"
#include "platform/PdfSharedNames.h"
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
    m_names = std::make_unique<PdfSharedNames>();
    m_lane = std::make_unique<PdfPageLane>(*m_names, m_dpi, heightPoints());
    return true;
}

DeviceContext& PdfDirectTarget::deviceContext() {
    return m_lane->deviceContext();
}

std::unique_ptr<PageLane> PdfDirectTarget::openLane() {
    if (!m_names)
        return nullptr;
    return std::make_unique<PdfPageLane>(*m_names, m_dpi, heightPoints());
}

void PdfDirectTarget::beginPage() {
    if (!m_lane)
        return;
    if (m_pageOpen)
        endPage();
    m_lane->beginPage();
    m_pageOpen = true;
}

void PdfDirectTarget::endPage() {
    if (!m_lane || !m_pageOpen)
        return;
    m_pageOpen = false;
    putPage(m_lane->endPage());
}

// What the lane met for the first time while drawing the page, in order: a
// face new to the document gets the next name, a glyph is added to its
// face's subset (the first character drawn with it names it), an image new to
// the document is written.
void PdfDirectTarget::replay(const PdfDrawnPage& page) {
    for (const PdfPageEvent& event : page.events) {
        switch (event.kind) {
        case PdfPageEvent::Kind::Face:
            if (m_faceIndex.contains(*event.identity))
                break;
            m_faces.push_back(
                std::make_unique<PdfEmbeddedFont>(event.load(), "F" + std::to_string(m_faces.size() + 1)));
            m_faceIndex.emplace(*event.identity, m_faces.size() - 1);
            m_names->addFace(*event.identity, m_faces.back()->resourceName());
            break;
        case PdfPageEvent::Kind::Glyph:
            if (auto found = m_faceIndex.find(*event.identity); found != m_faceIndex.end())
                m_faces[found->second]->use(event.glyph, event.character);
            break;
        case PdfPageEvent::Kind::Image:
            if (m_imageObject.contains(event.image->key))
                break;
            m_images.push_back(writeImage(*m_file, *event.image));
            m_imageObject.emplace(event.image->key, m_images.back());
            m_names->addImage(event.image->key, m_images.back());
            break;
        }
    }
}

// The content with the names the document has given in place of the marks.
std::string PdfDirectTarget::named(const PdfDrawnPage& page) const {
    const std::string& content = page.content;
    std::string out;
    out.reserve(content.size());
    std::size_t at = 0;
    while (true) {
        const std::size_t begin = content.find('\x01', at);
        const std::size_t end = begin == std::string::npos ? begin : content.find('\x02', begin);
        if (end == std::string::npos) {
            out.append(content, at);
            return out;
        }
        out.append(content, at, begin - at);
        const std::size_t index = std::stoul(content.substr(begin + 2, end - begin - 2));
        if (content[begin + 1] == 'F' && index < page.faceIdentities.size()) {
            if (auto found = m_faceIndex.find(page.faceIdentities[index]); found != m_faceIndex.end())
                out += m_faces[found->second]->resourceName();
        } else if (index < page.imageKeys.size()) {
            if (auto found = m_imageObject.find(page.imageKeys[index]); found != m_imageObject.end())
                out += std::to_string(found->second);
        }
        at = end + 1;
    }
}

void PdfDirectTarget::putPage(std::unique_ptr<DrawnPage> drawn) {
    if (!m_file || !drawn)
        return;
    const auto& page = static_cast<const PdfDrawnPage&>(*drawn);
    replay(page);
    const int contents = m_file->reserveObject();
    const int pageObject = m_file->reserveObject();
    if (page.marked) {
        const std::string content = named(page);
        std::string packed;
        if (m_deflater->compress(content, packed))
            m_file->writeStream(contents, "/Filter/FlateDecode", packed);
        else
            m_file->writeStream(contents, {}, content);
    } else {
        m_file->writeStream(contents, page.packed ? "/Filter/FlateDecode" : "", page.content);
    }
    PdfStreamWriter dict;
    dict.raw("<</Type/Page/Parent ").num(m_pageTree).raw("0 R/MediaBox[0 0 ").real(widthPoints(), 4);
    dict.real(heightPoints(), 4).raw("]/Resources ").num(m_resources).raw("0 R/Contents ");
    dict.num(contents).raw("0 R>>");
    m_file->writeObject(pageObject, dict.bytes());
    m_pages.push_back(pageObject);
}

// The fonts drawn with, as subsets, and the resource dictionary that every
// page refers to.
void PdfDirectTarget::writeResources() {
    PdfStreamWriter dict;
    dict.raw("<</ProcSet[/PDF/Text/ImageC]/Font<<");
    for (const auto& face : m_faces) {
        if (!face->embeddable() || !face->hasGlyphs())
            continue;
        const int number = m_file->reserveObject();
        face->write(*m_file, *m_deflater, number);
        dict.ch('/').raw(face->resourceName()).ch(' ').num(number).raw("0 R");
    }
    dict.raw(">>/XObject<<");
    for (const int object : m_images)
        dict.raw("/Im").num(object).num(object).raw("0 R");
    dict.raw(">>>>");
    m_file->writeObject(m_resources, dict.bytes());
}

bool PdfDirectTarget::endDocument() {
    if (!m_lane)
        return false;
    endPage();
    // A document needs a page; a job that drew none gets a blank one, as
    // with the Qt writer.
    if (m_pages.empty()) {
        beginPage();
        endPage();
    }
    writeResources();

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
