#pragma once

#include "platform/DeviceContext.h"
#include "platform/PdfStreamWriter.h"

#include <string>

// The line part of a direct PDF page. Consecutive segments of one pen become
// one path ("m l m l ... S"); the pen's colour, width and dash pattern are
// written only when they change. A row of equal short solid segments at an
// equal pitch along one line (the dense dots of a figure) becomes a single
// segment with a dash pattern of the dot and the gap.
//
// The geometry follows the Qt painter's aliased lines so that both outputs
// set the same pixels: a line covers [from, to) along its longer axis
// whichever way it is drawn, `width` pixels across starting width / 2 pixels
// before it, and its dashes start at `from`. A line of one point and one
// pixel width still sets that pixel.
namespace platform {

class PdfPathWriter {
  public:
    explicit PdfPathWriter(PdfStreamWriter& out) : m_out(out) {}

    // A new page: the default pen, nothing pending.
    void reset();
    void line(Point from, Point to, const DevicePen& pen);
    // Writes what is pending and strokes the path.
    void end();

  private:
    // Equal segments along one row or column, start + k * period for
    // k < count, each `length` long.
    struct Dots {
        bool vertical = false;
        int across = 0;
        int start = 0;
        int length = 0;
        int period = 0;
        int count = 0;
        ColorRef color = 0;
        int width = 1;
    };

    void segment(double x1, double y1, double x2, double y2, int width);
    void setPen(ColorRef color, int width, std::string_view dash);
    void writeDots();
    void stroke();

    PdfStreamWriter& m_out;
    ColorRef m_color = 0;
    int m_width = 1;
    std::string m_dash; // as written; empty for solid
    bool m_inPath = false;
    Dots m_dots;
};

} // namespace platform
