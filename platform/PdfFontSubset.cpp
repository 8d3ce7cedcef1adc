#include "platform/PdfFontSubset.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

std::uint32_t readU32(const QByteArray& data, qsizetype offset) {
    if (offset < 0 || offset + 4 > data.size())
        return 0;
    return qFromBigEndian<quint32>(data.constData() + offset);
}

std::uint16_t readU16(const QByteArray& data, qsizetype offset) {
    if (offset < 0 || offset + 2 > data.size())
        return 0;
    return qFromBigEndian<quint16>(data.constData() + offset);
}

void putU16(QByteArray& data, qsizetype offset, std::uint16_t value) {
    if (offset >= 0 && offset + 2 <= data.size())
        qToBigEndian<quint16>(value, data.data() + offset);
}

void putU32(QByteArray& data, qsizetype offset, std::uint32_t value) {
    if (offset >= 0 && offset + 4 <= data.size())
        qToBigEndian<quint32>(value, data.data() + offset);
}

void appendU16(QByteArray& data, std::uint16_t value) {
    data.append(char(value >> 8)).append(char(value & 0xFF));
}

void appendU32(QByteArray& data, std::uint32_t value) {
    appendU16(data, std::uint16_t(value >> 16));
    appendU16(data, std::uint16_t(value & 0xFFFF));
}

std::uint32_t checksum(const QByteArray& data) {
    std::uint32_t sum = 0;
    const qsizetype whole = data.size() / 4 * 4;
    for (qsizetype i = 0; i < whole; i += 4)
        sum += readU32(data, i);
    if (whole < data.size()) {
        std::uint32_t last = 0;
        for (qsizetype i = whole; i < whole + 4; ++i)
            last = last << 8 | (i < data.size() ? static_cast<unsigned char>(data[i]) : 0);
        sum += last;
    }
    return sum;
}

// Where each glyph's outline lies in glyf.
class GlyphLocations {
  public:
    GlyphLocations(const PdfFontSubset::Tables& tables, int count)
        : m_tables(tables), m_count(count), m_long(readU16(tables.head, 50) != 0) {}

    bool valid() const {
        const qsizetype entry = m_long ? 4 : 2;
        return m_count > 0 && m_tables.loca.size() >= (m_count + 1) * entry && !m_tables.glyf.isEmpty();
    }

    // [begin, end) in glyf, empty when the entries make no sense.
    std::pair<qsizetype, qsizetype> range(int glyph) const {
        if (glyph < 0 || glyph >= m_count)
            return {0, 0};
        qsizetype begin = 0, end = 0;
        if (m_long) {
            begin = readU32(m_tables.loca, qsizetype(glyph) * 4);
            end = readU32(m_tables.loca, qsizetype(glyph) * 4 + 4);
        } else {
            begin = qsizetype(readU16(m_tables.loca, qsizetype(glyph) * 2)) * 2;
            end = qsizetype(readU16(m_tables.loca, qsizetype(glyph) * 2 + 2)) * 2;
        }
        if (begin >= end || end > m_tables.glyf.size())
            return {0, 0};
        return {begin, end};
    }

  private:
    const PdfFontSubset::Tables& m_tables;
    int m_count;
    bool m_long;
};

// The glyphs a composite glyph is built from.
void appendComponents(const QByteArray& glyf, std::pair<qsizetype, qsizetype> range,
                      std::vector<std::uint16_t>& out) {
    constexpr std::uint16_t kArgsAreWords = 0x0001, kHaveScale = 0x0008, kMoreComponents = 0x0020,
                            kHaveXYScale = 0x0040, kHaveTwoByTwo = 0x0080;
    const auto [begin, end] = range;
    if (end - begin < 10 || static_cast<std::int16_t>(readU16(glyf, begin)) >= 0)
        return;
    qsizetype at = begin + 10;
    std::uint16_t flags = kMoreComponents;
    while ((flags & kMoreComponents) && at + 4 <= end) {
        flags = readU16(glyf, at);
        out.push_back(readU16(glyf, at + 2));
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale)
            at += 2;
        else if (flags & kHaveXYScale)
            at += 4;
        else if (flags & kHaveTwoByTwo)
            at += 8;
    }
}

struct OutTable {
    std::array<char, 4> tag;
    QByteArray data;
};

QByteArray assemble(std::vector<OutTable> tables) {
    std::sort(tables.begin(), tables.end(),
              [](const OutTable& a, const OutTable& b) { return a.tag < b.tag; });
    const auto count = std::uint16_t(tables.size());
    std::uint16_t power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    QByteArray font;
    appendU32(font, 0x00010000);
    appendU16(font, count);
    appendU16(font, std::uint16_t(power * 16));
    appendU16(font, log2);
    appendU16(font, std::uint16_t(count * 16 - power * 16));
    std::uint32_t offset = 12 + 16 * std::uint32_t(count);
    for (const OutTable& table : tables) {
        font.append(table.tag.data(), 4);
        appendU32(font, checksum(table.data));
        appendU32(font, offset);
        appendU32(font, std::uint32_t(table.data.size()));
        offset += (std::uint32_t(table.data.size()) + 3) & ~3u;
    }
    qsizetype headAt = -1;
    for (const OutTable& table : tables) {
        if (table.tag == std::array<char, 4>{'h', 'e', 'a', 'd'})
            headAt = font.size();
        font.append(table.data);
        font.append((4 - table.data.size() % 4) % 4, '\0');
    }
    // The whole font sums to a fixed value once head's adjustment is set.
    if (headAt >= 0)
        putU32(font, headAt + 8, 0xB1B0AFBAu - checksum(font));
    return font;
}

} // namespace

int PdfFontSubset::glyphCount(const QByteArray& maxp) {
    return maxp.size() >= 6 ? readU16(maxp, 4) : 0;
}

int PdfFontSubset::advanceWidth(const QByteArray& hhea, const QByteArray& hmtx, std::uint16_t glyph) {
    const int metrics = readU16(hhea, 34);
    if (metrics == 0)
        return 0;
    return readU16(hmtx, qsizetype(std::min<int>(glyph, metrics - 1)) * 4);
}

QByteArray PdfFontSubset::build(const Tables& tables, std::span<const std::uint16_t> glyphs) {
    const int count = glyphCount(tables.maxp);
    const int metrics = readU16(tables.hhea, 34);
    if (tables.head.size() < 54 || tables.hhea.size() < 36 || metrics == 0)
        return {};
    const GlyphLocations locations(tables, count);
    if (!locations.valid())
        return {};

    // Glyph 0, the glyphs asked for and, through composites, their parts.
    std::vector<bool> keep(std::size_t(count), false);
    std::vector<std::uint16_t> pending{0};
    pending.insert(pending.end(), glyphs.begin(), glyphs.end());
    int last = 0;
    while (!pending.empty()) {
        const std::uint16_t glyph = pending.back();
        pending.pop_back();
        if (glyph >= count || keep[glyph])
            continue;
        keep[glyph] = true;
        last = std::max<int>(last, glyph);
        appendComponents(tables.glyf, locations.range(glyph), pending);
    }
    const int kept = last + 1;

    QByteArray glyf;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(std::size_t(kept) + 1);
    for (int glyph = 0; glyph < kept; ++glyph) {
        offsets.push_back(std::uint32_t(glyf.size()));
        if (!keep[std::size_t(glyph)])
            continue;
        const auto [begin, end] = locations.range(glyph);
        glyf.append(tables.glyf.constData() + begin, end - begin);
        glyf.append((4 - glyf.size() % 4) % 4, '\0');
    }
    offsets.push_back(std::uint32_t(glyf.size()));
    const bool longOffsets = glyf.size() / 2 > 0xFFFF;
    QByteArray loca;
    for (std::uint32_t offset : offsets) {
        if (longOffsets)
            appendU32(loca, offset);
        else
            appendU16(loca, std::uint16_t(offset / 2));
    }

    QByteArray head = tables.head;
    putU32(head, 8, 0);
    putU16(head, 50, longOffsets ? 1 : 0);
    QByteArray maxp = tables.maxp;
    putU16(maxp, 4, std::uint16_t(kept));
    const int keptMetrics = std::min(metrics, kept);
    QByteArray hhea = tables.hhea;
    putU16(hhea, 34, std::uint16_t(keptMetrics));
    QByteArray hmtx = tables.hmtx.left(qsizetype(keptMetrics) * 4 + qsizetype(kept - keptMetrics) * 2);
    hmtx.append(qsizetype(keptMetrics) * 4 + qsizetype(kept - keptMetrics) * 2 - hmtx.size(), '\0');

    std::vector<OutTable> out{{{'g', 'l', 'y', 'f'}, glyf}, {{'l', 'o', 'c', 'a'}, loca},
                              {{'h', 'e', 'a', 'd'}, head}, {{'h', 'h', 'e', 'a'}, hhea},
                              {{'m', 'a', 'x', 'p'}, maxp}, {{'h', 'm', 't', 'x'}, hmtx}};
    const std::pair<std::array<char, 4>, const QByteArray*> optional[] = {
        {{'c', 'v', 't', ' '}, &tables.cvt},
        {{'f', 'p', 'g', 'm'}, &tables.fpgm},
        {{'p', 'r', 'e', 'p'}, &tables.prep},
        {{'O', 'S', '/', '2'}, &tables.os2},
        {{'n', 'a', 'm', 'e'}, &tables.name}};
    for (const auto& [tag, data] : optional)
        if (!data->isEmpty())
            out.push_back({tag, *data});
    // The glyph names of a version 2 post table are not needed for a
    // document's glyph ids; version 3 carries the header alone.
    if (tables.post.size() >= 32) {
        QByteArray post = tables.post.left(32);
        putU32(post, 0, 0x00030000);
        out.push_back({{'p', 'o', 's', 't'}, post});
    }
    return assemble(std::move(out));
}

} // namespace platform
