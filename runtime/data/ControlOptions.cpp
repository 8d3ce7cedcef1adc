#include "runtime/data/ControlOptions.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "formdesc/KeyLookup.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/ValueParsers.h"

namespace runtime {

namespace {

// Longest option value kept; printer names are far shorter.
constexpr std::size_t kControlValueBytes = formdesc::kShortValueBytes;

std::string prepareControlText(std::string_view control) {
    control = control.substr(0, control.find("//"));
    control = control.substr(0, control.find(';'));
    return formdesc::sjis::toUpperCopy(formdesc::sjis::trim(control));
}

// How many comma-separated items of the statement set key ("KEY=..."). A
// comma never stands inside a Shift-JIS character, so the split is safe.
int itemsSetting(std::string_view text, std::string_view key) {
    int count = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view item = formdesc::sjis::trim(text.substr(start, end - start));
        if (item.starts_with("CONTROL") && item.size() > 7 && (item[7] == ' ' || item[7] == '\t'))
            item = formdesc::sjis::trim(item.substr(7));
        if (item.starts_with(key) && formdesc::sjis::trim(item.substr(key.size())).starts_with('='))
            ++count;
        start = end + 1;
    }
    return count;
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
    auto refuse = [&options](std::string_view key) {
        if (options.refusedKey.empty())
            options.refusedKey = key;
    };
    // The strict keys are refused when given twice: which of two values was
    // meant cannot be known.
    if (itemsSetting(text, "ENCODING") > 1)
        refuse("ENCODING");
    if (auto encoding = value("ENCODING")) {
        if (const auto parsed = parseDataEncoding(*encoding)) {
            options.encoding = *parsed;
            options.encodingGiven = true;
        } else
            refuse("ENCODING");
    }
    if (itemsSetting(text, "FORMAT") > 1)
        refuse("FORMAT");
    if (auto format = value("FORMAT")) {
        if (const auto parsed = parseDataFormat(*format))
            options.dataFormat = *parsed;
        else
            refuse("FORMAT");
    }
    if (auto groupBy = value("GROUPBY"))
        options.groupBy = *groupBy;
    if (options.dataFormat != DataFormat::Lines && !options.encodingGiven)
        options.encoding = DataEncoding::Utf8;
    for (auto [key, offset] :
         {std::pair{"XOFFSET", &options.xOffset}, std::pair{"YOFFSET", &options.yOffset}}) {
        if (itemsSetting(text, key) > 1)
            refuse(key);
        if (auto offsetText = value(key)) {
            if (const auto tenths = parseOffsetTenths(*offsetText))
                *offset = *tenths;
            else
                refuse(key);
        }
    }
    if (auto scale = value("SCALE")) {
        if (*scale == "AUTO")
            options.scaleAuto = true;
        else
            options.scale = settleScale(formdesc::parseInteger(*scale));
    }
    return options;
}

std::optional<int> parseOffsetTenths(std::string_view text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (i == text.size() || text.size() - i > 4)
        return std::nullopt;
    int value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (value > kMaxOffsetTenths)
        return std::nullopt;
    return negative ? -value : value;
}

void applyCallerOptions(ControlOptions& options, const CallerOptions& caller) {
    if (caller.encoding)
        options.encoding = *caller.encoding;
    else if (caller.defaultEncoding && !options.encodingGiven)
        options.encoding = *caller.defaultEncoding;
    if (caller.dataFormat)
        options.dataFormat = *caller.dataFormat;
    if (caller.groupBy)
        options.groupBy = *caller.groupBy;
    // Records are UTF-8 unless an encoding is named: CSV from a database or a
    // spreadsheet export is, and JSON always is.
    if (options.dataFormat != DataFormat::Lines && !caller.encoding && !options.encodingGiven)
        options.encoding = DataEncoding::Utf8;
    if (caller.xOffset)
        options.xOffset = *caller.xOffset;
    if (caller.yOffset)
        options.yOffset = *caller.yOffset;
}

ControlOptions parseControlOptions(const char* control) {
    if (!control)
        return {};
    return parseControlOptions(std::string_view(control));
}

} // namespace runtime
