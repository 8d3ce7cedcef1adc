#include "ControlOptions.h"

#include <algorithm>
#include <optional>

#include "KeyLookup.h"
#include "ShiftJis.h"
#include "ValueParsers.h"

namespace runtime {

namespace {

// Longest option value kept; printer names are far shorter.
constexpr std::size_t kControlValueBytes = formdesc::kShortValueBytes;

std::string prepareControlText(std::string_view control) {
    control = control.substr(0, control.find("//"));
    control = control.substr(0, control.find(';'));
    return formdesc::sjis::toUpperCopy(formdesc::sjis::trim(control));
}

} // namespace

bool ControlOptions::printsOnDefault() const {
    return printer == "DEFAULT";
}

int settleScale(int percent) {
    if (percent == 0)
        return ControlOptions::kDefaultScale;
    return std::clamp(percent, kMinZoom, kMaxZoom);
}

ControlOptions parseControlOptions(std::string_view control) {
    ControlOptions options;
    const std::string text = prepareControlText(control);
    if (text.empty() || text.find("CONTROL") == std::string::npos)
        return options;
    auto value = [&text](std::string_view key) {
        return formdesc::findKeyValue(text, key, kControlValueBytes);
    };

    if (auto cancel = value("CANCEL"))
        options.cancel = *cancel == "ON";
    if (auto printer = value("PRINTER"))
        options.printer = *printer;
    if (auto lastRow = value("LASTROW"))
        options.lastRow = formdesc::parseInteger(*lastRow);
    if (auto print = value("PRINT")) {
        if (*print == "ON")
            options.print = PrintRequest::PrintAndKeep;
        else if (*print == "ONLY")
            options.print = PrintRequest::PrintAndClose;
    }
    if (auto scale = value("SCALE")) {
        if (*scale == "AUTO")
            options.scaleAuto = true;
        else
            options.scale = settleScale(formdesc::parseInteger(*scale));
    }
    return options;
}

ControlOptions parseControlOptions(const char* control) {
    if (!control)
        return {};
    return parseControlOptions(std::string_view(control));
}

} // namespace runtime
