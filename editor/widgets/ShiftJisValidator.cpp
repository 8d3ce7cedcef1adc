#include "editor/widgets/ShiftJisValidator.h"

#include "formdesc/ShiftJis.h"

#include <QString>

#include <algorithm>

namespace editor {

std::optional<std::string> exactShiftJis(const QString& text, int maxBytes) {
    const std::string utf8 = text.toStdString();
    std::string sjis = formdesc::sjis::fromUtf8(utf8);
    // A character without a Shift-JIS form comes out as '?', which is never
    // the trail byte of a double-byte character. Characters that convert to
    // a neighbour of their own (U+301C to the wave dash of 0x8160) are taken.
    if (int(sjis.size()) > maxBytes ||
        std::count(sjis.begin(), sjis.end(), '?') != text.count(QLatin1Char('?')))
        return std::nullopt;
    return sjis;
}

ShiftJisValidator::ShiftJisValidator(int maxBytes, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes) {}

QValidator::State ShiftJisValidator::validate(QString& input, int&) const {
    return exactShiftJis(input, m_maxBytes) ? Acceptable : Invalid;
}

} // namespace editor
