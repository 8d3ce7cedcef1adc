#include "editor/document/SampleData.h"

#include "formdesc/AtomicFile.h"
#include "formdesc/FormMessages.h"
#include "formdesc/ShiftJis.h"

#include <algorithm>

namespace editor {

namespace {

namespace sjis = formdesc::sjis;

constexpr std::size_t kLineWidth = 256;
constexpr std::size_t kTagLineWidth = 264;
constexpr std::size_t kTagWidth = 8;

// The placeholder of a field: its constant text cut or padded to the field's
// byte count (a double-byte character may be cut in half, as the runtime
// counts bytes too), or a run of 9 for a numeric field, else of X.
std::string fieldContent(const formdesc::FieldInfo& field) {
    int count = field.endCol - field.startCol + 1;
    if (field.wide == 1)
        count /= 2;
    if (field.space == 1)
        count = count * 8 / 10;
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    const std::string_view constant = sjis::view(field.constText);
    if (!constant.empty()) {
        std::string content(constant.substr(0, n));
        content.resize(n, ' ');
        return content;
    }
    return std::string(n, field.minus == 1 ? '9' : 'X');
}

// Copies bytes into the line from a position on, never past its end.
void place(std::string& line, long position, std::string_view bytes) {
    if (position < 0 || static_cast<std::size_t>(position) >= line.size())
        return;
    const std::size_t at = static_cast<std::size_t>(position);
    line.replace(at, std::min(bytes.size(), line.size() - at), bytes.substr(0, line.size() - at));
}

} // namespace

std::vector<std::string> SampleData::lines(const formdesc::FormModel& model) {
    const bool tagMode = model.form.tagMode == 1;
    const int fieldCount = std::clamp(model.fieldCount, 0, formdesc::kMaxItems);
    std::vector<std::string> result;
    for (int row = 1; row <= model.form.rows; ++row) {
        std::string line(tagMode ? kTagLineWidth : kLineWidth, ' ');
        for (int i = 0; i < fieldCount; ++i) {
            const formdesc::FieldInfo& field = model.fields[static_cast<std::size_t>(i)];
            if (field.startRow != row)
                continue;
            const std::string content = fieldContent(field);
            if (tagMode) {
                // The row's tag is the last field's on that row.
                std::fill_n(line.begin(), kTagWidth, ' ');
                place(line, 0, sjis::view(field.tag).substr(0, kTagWidth));
                place(line, static_cast<long>(kTagWidth) + field.startCol - 1, content);
            } else {
                place(line, static_cast<long>(field.startCol) - 1, content);
            }
        }
        while (!line.empty() && sjis::isSpace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        result.push_back(std::move(line));
    }
    return result;
}

std::string SampleData::text(const formdesc::FormModel& model) {
    std::string text;
    for (const std::string& line : lines(model)) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool SampleData::write(const std::string& path, const formdesc::FormModel& model) {
    if (formdesc::writeFileAtomically(path, text(model)))
        return true;
    formdesc::reportFormError(formdesc::kErrorOther, 3, 0, formdesc::MessageOrigin::Designer);
    return false;
}

} // namespace editor
