#pragma once

#include <QValidator>

// Keeps an edit's text within a number of Shift-JIS bytes, the way the
// records count their text limits, and out of characters that Shift-JIS
// cannot hold: input that would pass either is not taken.
namespace editor {

class ShiftJisValidator : public QValidator {
    Q_OBJECT

  public:
    ShiftJisValidator(int maxBytes, QObject* parent);

    State validate(QString& input, int& pos) const override;

  private:
    int m_maxBytes;
};

} // namespace editor
