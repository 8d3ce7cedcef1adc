#include "runtime/data/CsvReader.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace runtime {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr int kEnd = -1;

// The bytes that end a run of field text: 1 outside quotes, 2 inside.
constexpr std::uint8_t kPlainStops = 1;
constexpr std::uint8_t kQuotedStops = 2;
constexpr std::array<std::uint8_t, 256> kStops = [] {
    std::array<std::uint8_t, 256> stops{};
    stops[','] = stops['\r'] = kPlainStops;
    stops['"'] = stops['\n'] = kPlainStops | kQuotedStops;
    return stops;
}();

#if !defined(__SSE2__)
// The high bit of every byte of `word` that equals `byte`, and perhaps of
// bytes above (more significant than) the first such byte.
std::uint64_t matches(std::uint64_t word, unsigned char byte) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    const std::uint64_t zeroed = word ^ (kOnes * byte);
    return (zeroed - kOnes) & ~zeroed & kHighs;
}
#endif

bool endsField(int byte) {
    return byte == ',' || byte == '\n' || byte == '\r' || byte == kEnd;
}

} // namespace

CsvReader::CsvReader(std::FILE* in, std::string head) : m_in(in), m_buffer(std::move(head)) {}

int CsvReader::refill() {
    if (m_eof || !m_in)
        return kEnd;
    // The line's characters so far, and the record's fields, outlive the
    // bytes they were read from.
    settleOpenColumn();
    column();
    for (std::size_t i = 0; i < m_fieldCount; ++i) {
        FieldText& field = m_fields[i];
        if (field.owned)
            continue;
        const std::string_view bytes(m_buffer.data() + field.at, field.size);
        field.at = m_ownedUsed;
        field.owned = true;
        ownedField().assign(bytes);
    }
    m_buffer.resize(kChunkBytes);
    const std::size_t got = std::fread(m_buffer.data(), 1, kChunkBytes, m_in);
    m_buffer.resize(got);
    m_pos = 0;
    m_counted = 0;
    if (got == 0) {
        m_eof = true;
        return kEnd;
    }
    return static_cast<unsigned char>(m_buffer[0]);
}

std::uint64_t CsvReader::columnAt(std::size_t pos) {
    // A UTF-8 continuation byte is no new character on the line.
    std::uint64_t characters = 0;
    for (std::size_t i = m_counted; i < pos; ++i)
        characters += (static_cast<unsigned char>(m_buffer[i]) & 0xC0) != 0x80 ? 1 : 0;
    m_column += characters;
    m_counted = pos;
    return m_column;
}

// The bytes of the buffer up to the next one that ends or quotes a field,
// taken at once: most of a file is such runs.
void CsvReader::takeRun(std::string& field, std::uint8_t stopMask) {
    const std::size_t end = runEnd(m_pos, stopMask);
    field.append(m_buffer.data() + m_pos, end - m_pos);
    m_pos = end;
}

// Sixteen bytes (eight without SSE2) are looked at a time while they are
// there; the bytes before the buffer's end one by one.
std::size_t CsvReader::runEnd(std::size_t from, std::uint8_t stopMask) const {
    const std::size_t size = m_buffer.size();
    const char* bytes = m_buffer.data();
    const bool plain = stopMask == kPlainStops;
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i feed = _mm_set1_epi8('\n');
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i carriage = _mm_set1_epi8('\r');
    for (; from + 16 <= size; from += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + from));
        __m128i stops = _mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, feed));
        if (plain)
            stops = _mm_or_si128(stops,
                                 _mm_or_si128(_mm_cmpeq_epi8(chunk, comma), _mm_cmpeq_epi8(chunk, carriage)));
        const auto found = static_cast<unsigned>(_mm_movemask_epi8(stops));
        if (found != 0)
            return from + static_cast<std::size_t>(std::countr_zero(found));
    }
#else
    if constexpr (std::endian::native == std::endian::little) {
        for (; from + 8 <= size; from += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + from, sizeof word);
            std::uint64_t found = matches(word, '"') | matches(word, '\n');
            if (plain)
                found |= matches(word, ',') | matches(word, '\r');
            // The lowest mark is exact; those above it may be false.
            if (found != 0)
                return from + static_cast<std::size_t>(std::countr_zero(found)) / 8;
        }
    }
#endif
    while (from < size && (kStops[static_cast<unsigned char>(bytes[from])] & stopMask) == 0)
        ++from;
    return from;
}

void CsvReader::fail(std::uint64_t line, std::uint64_t column, const char* what) {
    m_error.line = line;
    m_error.column = column;
    m_error.what = what;
}

std::string& CsvReader::ownedField() {
    if (m_ownedUsed == m_owned.size())
        m_owned.emplace_back();
    return m_owned[m_ownedUsed++];
}

// Reads one field and takes the byte after it: a comma, a line break or
// kEnd, in `stop`. False on an error.
bool CsvReader::takeField(int& stop) {
    if (takeFieldInBuffer(stop)) {
        if (endsField(stop))
            return true;
        fail(m_line, column(), "閉じた引用符の後に区切りがありません");
        return false;
    }
    return takeFieldInPieces(stop);
}

// Most fields lie whole in the buffer: noted where they are, or, with
// doubled quotes, copied without them into a string of their own; the byte
// that ends them is taken. False, with nothing taken, for any other field.
bool CsvReader::takeFieldInBuffer(int& stop) {
    const std::size_t size = m_buffer.size();
    const char* bytes = m_buffer.data();
    if (m_pos >= size)
        return false;
    if (bytes[m_pos] != '"') {
        const std::size_t end = runEnd(m_pos, kPlainStops);
        if (end == size || bytes[end] == '"')
            return false;
        addField({m_pos, end - m_pos, false});
        m_pos = end;
        stop = get();
        return true;
    }
    std::string* own = nullptr;
    for (std::size_t from = m_pos + 1;;) {
        const std::size_t end = runEnd(from, kQuotedStops);
        // A quote, and the byte after it to tell a closing quote from a
        // doubled one; a line break is left to the reading in pieces.
        if (end + 1 >= size || bytes[end] != '"') {
            if (own) {
                --m_fieldCount;
                --m_ownedUsed;
            }
            return false;
        }
        if (bytes[end + 1] == '"') {
            if (!own) {
                addField({m_ownedUsed, 0, true});
                own = &ownedField();
                own->clear();
            }
            own->append(bytes + from, end + 1 - from);
            from = end + 2;
            continue;
        }
        if (own)
            own->append(bytes + from, end - from);
        else
            addField({m_pos + 1, end - m_pos - 1, false});
        m_pos = end + 1;
        stop = get();
        return true;
    }
}

// A field read byte run by byte run into a string of its own. A refill may
// add own strings for the fields before it: this one is found by its index.
bool CsvReader::takeFieldInPieces(int& stop) {
    const std::size_t index = m_ownedUsed;
    addField({index, 0, true});
    ownedField().clear();
    auto field = [&]() -> std::string& { return m_owned[index]; };
    if (peek() != '"') {
        for (;;) {
            takeRun(field(), kPlainStops);
            const int byte = get();
            if (endsField(byte)) {
                stop = byte;
                return true;
            }
            if (byte == '"') {
                fail(m_line, column(), "引用符で囲まれていない値に引用符があります");
                return false;
            }
            // A run stops at the end of the buffer too.
            field().push_back(static_cast<char>(byte));
        }
    }
    get();
    const std::uint64_t openLine = m_line;
    m_openAt = m_pos;
    m_openPending = true;
    for (;;) {
        takeRun(field(), kQuotedStops);
        const int byte = get();
        if (byte == kEnd) {
            settleOpenColumn();
            fail(openLine, m_openColumn, "引用符が閉じられていません");
            return false;
        }
        if (byte == '"') {
            if (peek() != '"')
                break;
            get();
        }
        field().push_back(static_cast<char>(byte));
    }
    m_openPending = false;
    stop = get();
    if (!endsField(stop)) {
        fail(m_line, column(), "閉じた引用符の後に区切りがありません");
        return false;
    }
    return true;
}

bool CsvReader::next(std::vector<std::string_view>& fields) {
    fields.clear();
    m_fieldCount = 0;
    m_ownedUsed = 0;
    if (m_error.isSet())
        return false;
    // Empty lines between records carry nothing.
    while (peek() == '\n' || peek() == '\r')
        get();
    if (peek() == kEnd)
        return false;
    m_recordLine = m_line;
    for (;;) {
        int stop = kEnd;
        if (!takeField(stop))
            return false;
        if (stop == ',')
            continue;
        if (stop == '\r' && peek() == '\n')
            get();
        if (stop == kEnd && m_in && std::ferror(m_in)) {
            fail(m_line, column(), "読み込みに失敗しました");
            return false;
        }
        break;
    }
    // The views are made last: the own strings no longer move.
    for (std::size_t i = 0; i < m_fieldCount; ++i) {
        const FieldText& field = m_fields[i];
        fields.push_back(field.owned ? std::string_view(m_owned[field.at])
                                     : std::string_view(m_buffer.data() + field.at, field.size));
    }
    return true;
}

} // namespace runtime
