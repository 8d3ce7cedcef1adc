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
    std::unique_ptr<Steps> steps;

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
            m.steps.reset();
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
    m.steps.reset();
    m.inputs = &inputs;
    m.steps = std::make_unique<Steps>(*m.device, inputs, scale);
}

MeasuringBackend& ItemExtents::measurer() {
    return *m_measure->device;
}

QRect ItemExtents::field(int index) {
    Measure& m = *m_measure;
    if (!m.inputs || index < 0 || index >= m.inputs->model.fieldCount)
        return {};
    if (knows(formdesc::kKindField, index))
        return m.fieldBoxes[std::size_t(index)].box;
    const QRect box = m.steps->field(m.inputs->model.fields[std::size_t(index)]);
    keep(formdesc::kKindField, index, box);
    return box;
}

QRect ItemExtents::figure(int index) {
    Measure& m = *m_measure;
    if (!m.inputs || index < 0 || index >= m.inputs->model.figureCount)
        return {};
    if (knows(formdesc::kKindLine, index))
        return m.figureBoxes[std::size_t(index)].box;
    const QRect box = m.steps->figure(m.inputs->model.figures[std::size_t(index)]);
    keep(formdesc::kKindLine, index, box);
    return box;
}

bool ItemExtents::knows(int kind, int index) const {
    const Measure& m = *m_measure;
    if (!m.inputs || index < 0)
        return false;
    const formdesc::FormModel& model = m.inputs->model;
    if (kind == formdesc::kKindField) {
        if (index >= model.fieldCount)
            return false;
        const auto& kept = m.fieldBoxes[std::size_t(index)];
        return kept.known && formdesc::sameBytes(kept.record, model.fields[std::size_t(index)]);
    }
    if (index >= model.figureCount)
        return false;
    const auto& kept = m.figureBoxes[std::size_t(index)];
    return kept.known && formdesc::sameBytes(kept.record, model.figures[std::size_t(index)]);
}

void ItemExtents::keep(int kind, int index, const QRect& box) {
    Measure& m = *m_measure;
    if (!m.inputs || index < 0)
        return;
    const formdesc::FormModel& model = m.inputs->model;
    if (kind == formdesc::kKindField) {
        if (index < model.fieldCount)
            m.fieldBoxes[std::size_t(index)] = {model.fields[std::size_t(index)], box, true};
        return;
    }
    if (index < model.figureCount)
        m.figureBoxes[std::size_t(index)] = {model.figures[std::size_t(index)], box, true};
}

ItemExtents::Steps::Steps(MeasuringBackend& device, const CanvasRenderer::Inputs& inputs, double scale,
                          render::BarcodeCache* barcodes)
    : m_device(device), m_inputs(inputs), m_barcodes(barcodes),
      m_dc(std::make_unique<platform::DeviceContext>(device)),
      m_context(CanvasRenderer::preparePage(*m_dc, inputs, scale)),
      m_fields(std::make_unique<render::FieldRenderer>(*m_context, inputs.model.form)),
      m_figures(std::make_unique<render::FigureRenderer>(*m_context, inputs.model.form)) {}

ItemExtents::Steps::~Steps() = default;

QRect ItemExtents::Steps::field(const formdesc::FieldInfo& record) {
    m_device.reset();
    m_dc->fillRect(CanvasGeometry::fieldBox(m_context->geometry, CanvasGeometry::spanOf(record)),
                   CanvasRenderer::kFieldColor);
    CanvasRenderer::drawFieldSample(*m_fields, *m_context, record);
    return m_device.box();
}

QRect ItemExtents::Steps::figure(const formdesc::FigureInfo& record) {
    m_device.reset();
    if (CanvasRenderer::isFill(record))
        m_figures->drawRectFill(record);
    CanvasRenderer::drawFigure(*m_figures, record, m_inputs.bitmaps, m_barcodes);
    return m_device.box();
}

} // namespace editor
