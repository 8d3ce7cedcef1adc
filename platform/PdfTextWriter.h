#pragma once

#include "platform/DeviceContext.h"
#include "platform/PdfStreamWriter.h"

#include <cstdint>
#include <vector>

// The text part of a direct PDF page: glyphs arrive one at a time with their
// device position and are written as runs, one TJ array for consecutive
// glyphs of one face, size, scale, colour and baseline, inside one text object
// for as long as nothing else is drawn. Each run gets the character spacing
// (Tc) that most of its steps need, so that a grid of equal cells needs no
// position adjustment at all; the other steps get one. The font, scale,
// spacing and colour are written only when they change.
namespace platform {

class PdfEmbeddedFont;

class PdfTextWriter {
  public:
    // The text and fill parts of the graphics state, as written.
    struct State {
        const PdfEmbeddedFont* font = nullptr;
        double size = 0;
        double scaleX = 1;  // Tz / 100
        double spacing = 0; // Tc, unscaled text space units
        ColorRef fill = 0;
        bool operator==(const State&) const = default;
    };

    explicit PdfTextWriter(PdfStreamWriter& out) : m_out(out) {}

    // A new page: the default state, nothing pending.
    void reset();
    // One glyph whose origin is at device (x, baseline). size and scaleX
    // must be as written (see PdfStreamWriter::real with 3 decimals); width
    // is the glyph's advance in thousandths of the em.
    void add(const PdfEmbeddedFont& face, double size, double scaleX, ColorRef color, int x, int baseline,
             std::uint16_t glyph, int width);
    // Writes the pending run and closes the text object.
    void end();
    // Sets the fill colour for what follows (text or fills).
    void setFill(ColorRef color);

    // For drawing inside q ... Q: the state to come back to afterwards.
    State state() const { return m_state; }
    void restore(const State& state) { m_state = state; }

  private:
    struct Glyph {
        std::uint16_t index;
        int width;
        int x;
    };

    void writeRun();
    double chooseSpacing();

    PdfStreamWriter& m_out;
    State m_state;
    // The run being collected and its settings.
    std::vector<Glyph> m_run;
    std::vector<long long> m_steps; // scratch for chooseSpacing
    State m_runState;
    int m_runBaseline = 0;
    // The text object being written.
    bool m_inText = false;
    bool m_lineStarted = false;
    int m_lineX = 0;   // where the current line began (device pixels)
    int m_lineY = 0;   // its baseline
    double m_penX = 0; // where the next glyph lands without an adjustment
};

} // namespace platform
