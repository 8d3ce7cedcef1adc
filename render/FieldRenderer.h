#pragma once

#include <array>
#include <string_view>

#include "formdesc/FormModel.h"
#include "render/RenderContext.h"

// Text on the cell grid: the fonts and colours of fields, and characters
// spread over the cells they occupy one by one, so that text lines up with
// the form's columns whatever the font. One renderer serves one composition
// (its metrics cache belongs to the mapping of that composition).
namespace render {

class FieldRenderer {
  public:
    FieldRenderer(const RenderContext& context, const formdesc::FormInfo& form);

    // The form's base font and a field's own font, as selected into the device.
    static platform::LogFont baseFont(const formdesc::FormInfo& form, int dpiY);
    static platform::LogFont fieldFont(const formdesc::FieldInfo& field, int dpiY);
    // Whether the field needs a font of its own (other face or size, or wide).
    static bool needsOwnFont(const formdesc::FieldInfo& field, const formdesc::FormInfo& form);

    // Selects the field's font and colour where they differ from the base
    // ones; restoreStyle puts the base ones back. Calls come in pairs.
    void selectFieldStyle(const formdesc::FieldInfo& field);
    void restoreStyle();

    // The characters of text spread evenly over rect, the first at its left
    // edge and the last ending at its right edge; a box lower than the font
    // grows to its height (by the policy's height test).
    void spreadText(std::string_view text, formdesc::CellRect rect);

    // Metrics of the selected font.
    const platform::TextMetrics& metrics();

    // Fonts selected for fields so far (a field in the base font selects none).
    int fontsCreated() const { return m_fontsCreated; }

  private:
    struct CachedMetrics {
        platform::LogFont font;
        platform::TextMetrics metrics;
    };

    const RenderContext& m_context;
    const formdesc::FormInfo& m_form;
    platform::DeviceContext& m_dc;

    platform::LogFont m_previousFont;
    bool m_fontSelected = false;
    bool m_colorChanged = false;
    int m_fontsCreated = 0;

    // Metrics of the fonts met in this composition, so that switching between
    // a field font and the base font does not ask the backend every time.
    std::array<CachedMetrics, 8> m_cache{};
    std::size_t m_cacheCount = 0;
    std::size_t m_cacheNext = 0;
    platform::TextMetrics m_metrics{};
    bool m_metricsValid = false;
};

} // namespace render
