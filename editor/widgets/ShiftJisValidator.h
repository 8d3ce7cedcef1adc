#pragma once

#include <QValidator>

#include <optional>
#include <string>

// Keeps an edit's text within a number of Shift-JIS bytes, the way the
// records count their text limits, and out of characters that Shift-JIS
// cannot hold: input that would pass either is not taken.
namespace editor {

// The text as Shift-JIS bytes, or nothing when a character has no Shift-JIS
// form or the bytes would pass maxBytes. Characters that the conversion
// takes to a look-alike (U+301C to the wave dash of 0x8160) are kept.
std::optional<std::string> exactShiftJis(const QString& text, int maxBytes);

class ShiftJisValidator : public QValidator {
    Q_OBJECT

  public:
    ShiftJisValidator(int maxBytes, QObject* parent);

    State validate(QString& input, int& pos) const override;

  private:
    int m_maxBytes;
};

} // namespace editor
