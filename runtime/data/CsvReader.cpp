#include "runtime/data/CsvReader.h"

#include <array>

namespace runtime {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr int kEnd = -1;

// A UTF-8 continuation byte is no new character on the line.
bool startsCharacter(int byte) {
    return (byte & 0xC0) != 0x80;
}

// The bytes that end a run of field text: 1 outside quotes, 2 inside.
constexpr std::array<std::uint8_t, 256> kStops = [] {
    std::array<std::uint8_t, 256> stops{};
    stops[','] = stops['\r'] = 1;
    stops['"'] = stops['\n'] = 3;
    return stops;
}();

} // namespace

CsvReader::CsvReader(std::FILE* in, std::string head) : m_in(in), m_buffer(std::move(head)) {}

int CsvReader::refill() {
    if (m_eof || !m_in)
        return kEnd;
    m_buffer.resize(kChunkBytes);
    const std::size_t got = std::fread(m_buffer.data(), 1, kChunkBytes, m_in);
    m_buffer.resize(got);
    m_pos = 0;
    if (got == 0) {
        m_eof = true;
        return kEnd;
    }
    return static_cast<unsigned char>(m_buffer[0]);
}

// The bytes of the buffer up to the next one that ends or quotes a field,
// taken at once: most of a file is such runs.
void CsvReader::takePlainRun(std::string& field) {
    takeRun(field, 1);
}

// Inside quotes only a quote or a line feed (which starts a line) stops a run.
void CsvReader::takeQuotedRun(std::string& field) {
    takeRun(field, 2);
}

void CsvReader::takeRun(std::string& field, std::uint8_t stopMask) {
    const std::size_t size = m_buffer.size();
    const char* bytes = m_buffer.data();
    std::size_t end = m_pos;
    std::uint64_t characters = 0;
    while (end < size) {
        const auto byte = static_cast<unsigned char>(bytes[end]);
        if (kStops[byte] & stopMask)
            break;
        characters += startsCharacter(byte) ? 1 : 0;
        ++end;
    }
    m_column += characters;
    field.append(bytes + m_pos, end - m_pos);
    m_pos = end;
}

void CsvReader::fail(std::uint64_t line, std::uint64_t column, const char* what) {
    m_error.line = line;
    m_error.column = column;
    m_error.what = what;
}

bool CsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    if (m_error.isSet())
        return false;
    // Empty lines between records carry nothing.
    while (peek() == '\n' || peek() == '\r')
        get();
    if (peek() == kEnd)
        return false;
    m_recordLine = m_line;
    std::string field;
    for (;;) {
        int byte = get();
        if (byte == '"' && field.empty()) {
            const std::uint64_t openLine = m_line;
            const std::uint64_t openColumn = m_column;
            for (;;) {
                byte = get();
                if (byte == kEnd) {
                    fail(openLine, openColumn, "引用符が閉じられていません");
                    return false;
                }
                if (byte == '"') {
                    if (peek() != '"')
                        break;
                    get();
                }
                field.push_back(static_cast<char>(byte));
                takeQuotedRun(field);
            }
            byte = get();
            if (byte != ',' && byte != '\n' && byte != '\r' && byte != kEnd) {
                fail(m_line, m_column, "閉じた引用符の後に区切りがありません");
                return false;
            }
        } else {
            while (byte != ',' && byte != '\n' && byte != '\r' && byte != kEnd) {
                if (byte == '"') {
                    fail(m_line, m_column, "引用符で囲まれていない値に引用符があります");
                    return false;
                }
                field.push_back(static_cast<char>(byte));
                takePlainRun(field);
                byte = get();
            }
        }
        fields.push_back(std::move(field));
        field.clear();
        if (byte == ',')
            continue;
        if (byte == '\r' && peek() == '\n')
            get();
        if (byte == kEnd && m_in && std::ferror(m_in)) {
            fail(m_line, m_column, "読み込みに失敗しました");
            return false;
        }
        return true;
    }
}

} // namespace runtime
