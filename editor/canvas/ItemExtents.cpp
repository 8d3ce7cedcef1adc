#include "editor/canvas/ItemExtents.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "editor/canvas/MeasuringBackend.h"
#include "platform/DeviceContext.h"
#include "render/FieldRenderer.h"
#include "render/FigureRenderer.h"
#include "render/RenderContext.h"

namespace editor {

namespace {

int scaled(int value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

template <typename Record> struct Kept {
    Record record{};
    QRect box;
    bool known = false;
};

} // namespace

struct ItemExtents::Measure {
    // Everything that places the items, as last prepared.
    CanvasView view;
    double scale = 0;
    int dpiX = 0;
    int dpiY = 0;
    formdesc::FormInfo form{};
    const QImage* placeholder = nullptr;
    bool prepared = false;

    std::unique_ptr<MeasuringBackend> device;

    // The renderer's steps on the measuring device, for one prepare.
    const CanvasRenderer::Inputs* inputs = nullptr;
    std::unique_ptr<platform::DeviceContext> dc;
    std::optional<render::RenderContext> context;
    std::unique_ptr<render::FieldRenderer> fields;
    std::unique_ptr<render::FigureRenderer> figures;

    std::vector<Kept<formdesc::FieldInfo>> fieldBoxes =
        std::vector<Kept<formdesc::FieldInfo>>(formdesc::kMaxItems);
    std::vector<Kept<formdesc::FigureInfo>> figureBoxes =
        std::vector<Kept<formdesc::FigureInfo>>(formdesc::kMaxItems);

    bool samePlacing(const CanvasRenderer::Inputs& in, double s) const {
        return prepared && samePlacement(view, in.view) && scale == s && dpiX == in.dpiX && dpiY == in.dpiY &&
               formdesc::sameBytes(form, in.model.form) && placeholder == in.placeholder;
    }
};

ItemExtents::ItemExtents() : m_measure(std::make_unique<Measure>()) {}

ItemExtents::~ItemExtents() = default;

void ItemExtents::prepare(const CanvasRenderer::Inputs& inputs, double scale) {
    Measure& m = *m_measure;
    if (!m.samePlacing(inputs, scale)) {
        const int dpiX = scaled(inputs.dpiX, scale);
        const int dpiY = scaled(inputs.dpiY, scale);
        if (!m.device || m.device->dpiX() != std::max(1, dpiX) || m.device->dpiY() != std::max(1, dpiY)) {
            m.figures.reset();
            m.fields.reset();
            m.dc.reset();
            m.device = std::make_unique<MeasuringBackend>(dpiX, dpiY);
        }
        for (auto& kept : m.fieldBoxes)
            kept.known = false;
        for (auto& kept : m.figureBoxes)
            kept.known = false;
        m.view = inputs.view;
        m.scale = scale;
        m.dpiX = inputs.dpiX;
        m.dpiY = inputs.dpiY;
        m.form = inputs.model.form;
        m.placeholder = inputs.placeholder;
        m.prepared = true;
    }
    // The records and the bitmaps are the inputs' own: the steps are set up again each time.
    m.figures.reset();
    m.fields.reset();
    m.inputs = &inputs;
    m.dc = std::make_unique<platform::DeviceContext>(*m.device);
    m.context.emplace(CanvasRenderer::preparePage(*m.dc, inputs, scale));
    m.fields = std::make_unique<render::FieldRenderer>(*m.context, inputs.model.form);
    m.figures = std::make_unique<render::FigureRenderer>(*m.context, inputs.model.form);
}

MeasuringBackend& ItemExtents::measurer() {
    return *m_measure->device;
}

QRect ItemExtents::field(int index) {
    Measure& m = *m_measure;
    if (!m.inputs || index < 0 || index >= m.inputs->model.fieldCount)
        return {};
    const formdesc::FieldInfo& record = m.inputs->model.fields[std::size_t(index)];
    Kept<formdesc::FieldInfo>& kept = m.fieldBoxes[std::size_t(index)];
    if (kept.known && formdesc::sameBytes(kept.record, record))
        return kept.box;
    m.device->reset();
    m.dc->fillRect(CanvasGeometry::fieldBox(m.context->geometry, CanvasGeometry::spanOf(record)),
                   CanvasRenderer::kFieldColor);
    CanvasRenderer::drawFieldSample(*m.fields, *m.context, record);
    kept = {record, m.device->box(), true};
    return kept.box;
}

QRect ItemExtents::figure(int index) {
    Measure& m = *m_measure;
    if (!m.inputs || index < 0 || index >= m.inputs->model.figureCount)
        return {};
    const formdesc::FigureInfo& record = m.inputs->model.figures[std::size_t(index)];
    Kept<formdesc::FigureInfo>& kept = m.figureBoxes[std::size_t(index)];
    if (kept.known && formdesc::sameBytes(kept.record, record))
        return kept.box;
    m.device->reset();
    if (CanvasRenderer::isFill(record))
        m.figures->drawRectFill(record);
    CanvasRenderer::drawFigure(*m.figures, record, m.inputs->bitmaps);
    kept = {record, m.device->box(), true};
    return kept.box;
}

} // namespace editor
