#include "bench/FormGenerator.h"

#include "formdesc/ShiftJis.h"

#include <cstdio>

namespace bench {

std::unique_ptr<formdesc::FormModel> makeFullForm() {
    using namespace formdesc;
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    model->form.paperSize = kPaperA3;
    model->form.columns = 255;
    model->form.rows = 255;
    const std::string gothic = sjis::fromUtf8("ＭＳ ゴシック");
    for (int i = 0; i < kMaxItems; ++i) {
        FieldInfo f{};
        f.startCol = 1 + i % 200;
        f.startRow = f.endRow = 1 + i % 255;
        f.endCol = f.startCol + 1 + i % 50;
        std::snprintf(f.tag, sizeof f.tag, "F%05d", i);
        sjis::storeWhole(f.fontName, sizeof f.fontName, i % 3 ? gothic : std::string(model->form.fontName));
        f.fontSize = 90 + (i % 4) * 5;
        f.textColor = rgb(i % 256, 0, 0);
        f.wide = i % 2;
        f.center = i % 3 == 0;
        f.minus = i % 5 == 0;
        if (i % 4 == 0)
            sjis::storeWhole(f.constText, sizeof f.constText, sjis::fromUtf8("合計金額（税込）,円"));
        model->appendField(f);

        FigureInfo g{};
        g.kind = i % 3 == 0 ? kKindLine : i % 3 == 1 ? kKindRect : kKindBitmap;
        g.startCol = 1 + i % 200;
        g.startRow = 1 + i % 200;
        g.endCol = g.startCol + 20;
        g.endRow = g.startRow + (g.kind == kKindLine ? 0 : 10);
        if (g.kind == kKindBitmap) {
            std::snprintf(g.fileName(), sizeof g.fileName(), "IMAGES/LOGO%04d.BMP", i);
        } else {
            g.lineType = 1 + i % 6;
            g.lineWidth = 1 + i % 5;
            g.course = g.kind == kKindLine ? kCourseH : i % 3;
            g.loopDir = kLoopV;
            g.loopCount = i % 4;
            g.loopPitch = 2;
            g.meshColor = model->form.meshColor;
        }
        model->appendFigure(g);
    }
    return model;
}

} // namespace bench
