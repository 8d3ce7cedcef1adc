#include "runtime/data/CsvReader.h"

namespace runtime {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr int kEnd = -1;

// A UTF-8 continuation byte is no new character on the line.
bool startsCharacter(int byte) {
    return (byte & 0xC0) != 0x80;
}

} // namespace

CsvReader::CsvReader(std::FILE* in, std::string head) : m_in(in), m_buffer(std::move(head)) {}

int CsvReader::peek() {
    if (m_pos == m_buffer.size()) {
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
    }
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int CsvReader::get() {
    const int byte = peek();
    if (byte == kEnd)
        return kEnd;
    ++m_pos;
    if (byte == '\n') {
        ++m_line;
        m_column = 0;
    } else if (startsCharacter(byte))
        ++m_column;
    return byte;
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
