#pragma once

#include "platform/CellFont.h"
#include "platform/DeviceContext.h"
#include "platform/ShiftJisCharMap.h"

#include <QRawFont>
#include <QRectF>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// The fonts a text backend has made real and the glyphs of the characters
// drawn with them, shared by every backend: a character is looked up once
// per font (its face, or the fallback face when the face lacks it), and the
// last font used is found first, since text arrives one cell at a time.
// `Extra` is what a backend keeps beside each font (the PDF's embedded faces).
namespace platform {

// An `Extra` for backends that need the outlines' boxes of the glyphs met
// in a font (GlyphCache::outlineBox keeps them).
struct GlyphOutlines {
    std::unordered_map<quint64, QRectF> boxes;
};

template <typename Extra> class GlyphCache {
  public:
    struct Glyph {
        quint32 index = 0;
        float advance = 0;       // unscaled pixels, as the face reports it
        std::uint16_t width = 0; // the backend's own measure (the PDF's W array)
        std::uint8_t source = 0; // 0 nothing to draw, 1 the face, 2 the fallback face
    };

    struct Font {
        LogFont key;
        CellFont cell;
        QRawFont fallback;
        bool fallbackLoaded = false;
        Extra extra{};
        std::unordered_map<std::uint16_t, Glyph> glyphs;

        const QRawFont& face(std::uint8_t source) const { return source == 2 ? fallback : cell.raw; }
    };

    // What the backend decides: whether a face of a font can draw at all
    // (source 1 the face, 2 the fallback, just loaded), and the last word on
    // a glyph found in it (it may refuse it by setting source to 0).
    struct Hooks {
        std::function<void(Font&)> loaded;
        std::function<bool(Font&, std::uint8_t source)> usable;
        std::function<void(Font&, Glyph&, char16_t)> found;
        std::function<void()> evicting; // before the fonts are let go
    };

    GlyphCache(int dpiY, Hooks hooks) : m_dpiY(dpiY), m_hooks(std::move(hooks)) {}

    Font& font(const LogFont& key) {
        if (m_last && m_last->key == key)
            return *m_last;
        for (const auto& font : m_fonts)
            if (font->key == key)
                return *(m_last = font.get());
        if (m_fonts.size() >= kMaxFonts) {
            if (m_hooks.evicting)
                m_hooks.evicting();
            m_fonts.clear();
        }
        auto font = std::make_unique<Font>();
        font->key = key;
        font->cell = CellFont::load(key, m_dpiY);
        if (m_hooks.loaded)
            m_hooks.loaded(*font);
        m_fonts.push_back(std::move(font));
        return *(m_last = m_fonts.back().get());
    }

    // A glyph's key among those of both faces of a font.
    static quint64 keyOf(const Glyph& glyph) { return quint64(glyph.index) << 8 | glyph.source; }

    // The box of a glyph's outline (unscaled pixels from its origin on the
    // baseline), kept in the font's GlyphOutlines.
    static const QRectF& outlineBox(Font& font, const Glyph& glyph) {
        auto found = font.extra.boxes.find(keyOf(glyph));
        if (found == font.extra.boxes.end())
            found = font.extra.boxes.emplace(keyOf(glyph), font.face(glyph.source).boundingRect(glyph.index))
                        .first;
        return found->second;
    }

    // The glyph of a Shift-JIS character code (lead byte high).
    const Glyph& glyph(Font& font, std::uint16_t code) {
        if (auto found = font.glyphs.find(code); found != font.glyphs.end())
            return found->second;
        Glyph glyph;
        const char16_t ch = m_chars.unicodeFor(code);
        const QChar qch(ch);
        if (ch >= 0x20 && !qch.isSpace() && ch != 0x7F && ch != 0xFFFD) {
            if (font.cell.raw.isValid() && usable(font, 1) && font.cell.raw.supportsCharacter(qch)) {
                glyph.source = 1;
            } else {
                if (!font.fallbackLoaded) {
                    font.fallback = CellFont::loadFallback(font.cell.em);
                    font.fallbackLoaded = true;
                }
                if (font.fallback.isValid() && usable(font, 2) && font.fallback.supportsCharacter(qch))
                    glyph.source = 2;
            }
            if (glyph.source != 0)
                resolve(font, glyph, qch);
        }
        return font.glyphs.emplace(code, glyph).first->second;
    }

  private:
    static constexpr std::size_t kMaxFonts = 32;

    bool usable(Font& font, std::uint8_t source) { return !m_hooks.usable || m_hooks.usable(font, source); }

    void resolve(Font& font, Glyph& glyph, QChar qch) {
        const QRawFont& raw = font.face(glyph.source);
        int count = 1;
        if (!raw.glyphIndexesForChars(&qch, 1, &glyph.index, &count) || count != 1 || glyph.index == 0) {
            glyph.source = 0;
            return;
        }
        QPointF advance;
        raw.advancesForGlyphIndexes(&glyph.index, &advance, 1);
        glyph.advance = float(advance.x());
        if (m_hooks.found)
            m_hooks.found(font, glyph, qch.unicode());
    }

    int m_dpiY;
    Hooks m_hooks;
    std::vector<std::unique_ptr<Font>> m_fonts;
    Font* m_last = nullptr;
    // Shift-JIS code to UTF-16, shared by all fonts.
    ShiftJisCharMap m_chars;
};

} // namespace platform
