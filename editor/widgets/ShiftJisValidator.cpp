#include "ShiftJisValidator.h"

#include "FormTextCheck.h"

namespace editor {

ShiftJisValidator::ShiftJisValidator(int maxBytes, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes) {}

QValidator::State ShiftJisValidator::validate(QString& input, int&) const {
    return exactShiftJis(input, m_maxBytes) ? Acceptable : Invalid;
}

} // namespace editor
