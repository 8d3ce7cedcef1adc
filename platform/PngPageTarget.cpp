#include "PngPageTarget.h"

#include "PngWriter.h"
#include "QtPainterBackend.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace platform {

namespace {

QString localPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

PngPageTarget::PngPageTarget(std::string pattern, PaperTenths paper, int dpi)
    : m_pattern(std::move(pattern)), m_paper(paper), m_dpi(dpi) {}

PngPageTarget::~PngPageTarget() {
    m_dc.reset();
    m_backend.reset();
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PngPageTarget::isValidPagePattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t k = i + 1;
        while (k < pattern.size() && std::string_view("-+ 0#").find(pattern[k]) != std::string_view::npos)
            ++k;
        std::size_t digits = 0;
        while (k < pattern.size() && pattern[k] >= '0' && pattern[k] <= '9' && digits < 3)
            ++k, ++digits;
        if (k >= pattern.size() || (pattern[k] != 'd' && pattern[k] != 'i'))
            return false;
        ++conversions;
        i = k;
    }
    return conversions == 1;
}

std::string PngPageTarget::pagePath(int page) const {
    char name[4096];
    const int length = std::snprintf(name, sizeof name, m_pattern.c_str(), page);
    return length < 0 ? std::string() : std::string(name, std::min<std::size_t>(length, sizeof name - 1));
}

bool PngPageTarget::beginDocument(const std::string&) {
    if (!isValidPagePattern(m_pattern)) {
        m_error = "the page pattern needs one page number conversion such as %d";
        return false;
    }
    // Fail before drawing anything when the first page cannot be written.
    QSaveFile probe(localPath(pagePath(1)));
    if (!probe.open(QIODevice::WriteOnly)) {
        m_error = probe.errorString().toStdString();
        return false;
    }
    probe.cancelWriting();
    const long long width = static_cast<long long>(m_dpi) * m_paper.width / 254;
    const long long height = static_cast<long long>(m_dpi) * m_paper.height / 254;
    if (width <= 0 || height <= 0 || width * height > 400'000'000LL) {
        m_error = "the page image would be too large";
        return false;
    }
    m_image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (m_image.isNull()) {
        m_error = "not enough memory for the page image";
        return false;
    }
    const int dotsPerMeter = static_cast<int>(m_dpi * 10000LL / 254);
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_backend = std::make_unique<QtPainterBackend>(*m_painter, m_dpi, m_dpi);
    m_dc = std::make_unique<DeviceContext>(*m_backend);
    m_dc->setDeviceOffset(printableOffset(m_dpi), printableOffset(m_dpi));
    return true;
}

void PngPageTarget::beginPage() {
    ++m_pages;
    m_painter->fillRect(m_image.rect(), Qt::white);
}

void PngPageTarget::endPage() {
    m_backend->flush();
    // The image is saved with no painter on it, then painted on again.
    m_painter->end();
    QSaveFile file(localPath(pagePath(m_pages)));
    if (!m_failed && !(file.open(QIODevice::WriteOnly) && writeFastPng(m_image, file) && file.commit())) {
        m_error = pagePath(m_pages) + ": " + file.errorString().toStdString();
        m_failed = true;
    }
    m_painter->begin(&m_image);
}

bool PngPageTarget::endDocument() {
    m_painter->end();
    return !m_failed;
}

} // namespace platform
