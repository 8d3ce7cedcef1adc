#include "runtime/data/JsonRecordReader.h"

#include <cstdint>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

namespace runtime {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

// The bytes the parser reads, with the line and column of the last one, so
// that an error names where the parser stood.
class CountingSource {
  public:
    CountingSource(std::FILE* in, std::string_view bytes) : m_in(in), m_view(bytes) {}

    bool atEnd() {
        if (m_pos < m_view.size())
            return false;
        if (!m_in || m_eof)
            return true;
        m_buffer.resize(kChunkBytes);
        const std::size_t got = std::fread(m_buffer.data(), 1, kChunkBytes, m_in);
        m_buffer.resize(got);
        m_view = m_buffer;
        m_pos = 0;
        m_eof = got == 0;
        return m_eof;
    }
    char current() const { return m_view[m_pos]; }
    void advance() {
        const auto byte = static_cast<unsigned char>(m_view[m_pos++]);
        if (byte == '\n') {
            ++m_line;
            m_column = 0;
        } else if ((byte & 0xC0) != 0x80)
            ++m_column;
    }
    std::uint64_t line() const { return m_column == 0 && m_line > 1 ? m_line - 1 : m_line; }
    std::uint64_t column() const { return m_column == 0 ? 1 : m_column; }
    bool readFailed() const { return m_in && std::ferror(m_in); }

  private:
    std::FILE* m_in;
    std::string m_buffer;
    std::string_view m_view;
    std::size_t m_pos = 0;
    bool m_eof = false;
    std::uint64_t m_line = 1;
    std::uint64_t m_column = 0;
};

class SourceIterator {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    explicit SourceIterator(CountingSource* source = nullptr) : m_source(source) {}
    char operator*() const { return m_source->current(); }
    SourceIterator& operator++() {
        m_source->advance();
        return *this;
    }
    bool operator==(const SourceIterator& other) const { return atEnd() == other.atEnd(); }
    bool operator!=(const SourceIterator& other) const { return !(*this == other); }

  private:
    bool atEnd() const { return !m_source || m_source->atEnd(); }
    CountingSource* m_source;
};

using Json = nlohmann::json;

// Follows the parser's events: where the documents are, and the members of
// the one being read.
class DocumentSax : public nlohmann::json_sax<Json> {
  public:
    DocumentSax(CountingSource& source, const JsonRecordReader::DocumentHandler& handler, RecordError& error)
        : m_source(source), m_handler(handler), m_error(error) {}

    bool null() override { return scalar({}); }
    bool boolean(bool value) override { return scalar(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) override { return scalar(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return scalar(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override { return scalar(text); }
    bool string(string_t& value) override { return scalar(std::move(value)); }
    bool binary(binary_t&) override { return fail("値に使えない形です"); }

    bool start_object(std::size_t) override {
        ++m_depth;
        if (enterSkipped())
            return true;
        if (m_topObject && m_depth == 2 && m_pagesDepth == 0)
            return fail("文書の配列がありません");
        if (m_depth == 1) {
            m_topObject = true;
            return true;
        }
        if (m_depth == m_documentDepth) {
            m_document.clear();
            return true;
        }
        if (m_depth == m_pagesDepth)
            return fail("文書がオブジェクトではありません");
        return fail("値にオブジェクトは使えません");
    }
    bool end_object() override {
        const int closing = m_depth--;
        if (leaveSkipped(closing))
            return true;
        if (closing == m_documentDepth) {
            m_document.line = m_source.line();
            return m_handler(m_document);
        }
        return true;
    }
    bool start_array(std::size_t) override {
        ++m_depth;
        if (enterSkipped())
            return true;
        if (m_depth == 1) {
            m_pagesDepth = 1;
            m_documentDepth = 2;
            return true;
        }
        if (m_topObject && m_depth == 2 && m_key == "pages" && m_pagesDepth == 0) {
            m_pagesDepth = 2;
            m_documentDepth = 3;
            return true;
        }
        if (m_depth == m_documentDepth + 1 && !m_inValues) {
            m_inValues = true;
            m_document.entries.emplace_back(m_key, std::vector<std::string>{});
            return true;
        }
        if (m_depth == m_pagesDepth + 1)
            return fail("文書がオブジェクトではありません");
        return fail("値の配列の中に配列は使えません");
    }
    bool end_array() override {
        const int closing = m_depth--;
        if (leaveSkipped(closing))
            return true;
        if (m_inValues && closing == m_documentDepth + 1)
            m_inValues = false;
        return true;
    }
    bool key(string_t& value) override {
        if (!m_skipFrom)
            m_key = std::move(value);
        if (!m_skipFrom && m_topObject && m_depth == 1 && m_key != "pages")
            m_skipNext = true;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return fail(m_source.readFailed() ? "読み込みに失敗しました" : "JSONの書き方に誤りがあります");
    }

    bool sawDocuments() const { return m_pagesDepth != 0; }

  private:
    // Whether the container that opens now is passed over: it lies inside a
    // passed-over value, or is the value of a top-level member other than
    // "pages" (which then starts the passing over).
    bool enterSkipped() {
        if (m_skipFrom)
            return true;
        if (m_skipNext && m_depth == 2) {
            m_skipNext = false;
            m_skipFrom = 2;
            return true;
        }
        return false;
    }
    // Whether the container that closes was passed over; the outermost one
    // ends the passing over.
    bool leaveSkipped(int closing) {
        if (!m_skipFrom)
            return false;
        if (closing == m_skipFrom)
            m_skipFrom = 0;
        return true;
    }
    bool scalar(std::string value) {
        if (m_skipFrom)
            return true;
        if (m_skipNext && m_depth == 1) {
            m_skipNext = false;
            return true;
        }
        if (m_depth == 0 || (m_topObject && m_depth == 1))
            return fail("文書の配列がありません");
        if (m_depth == m_pagesDepth)
            return fail("文書がオブジェクトではありません");
        if (m_depth == m_documentDepth)
            m_document.entries.emplace_back(m_key, std::vector<std::string>{std::move(value)});
        else if (m_inValues && m_depth == m_documentDepth + 1)
            m_document.entries.back().second.push_back(std::move(value));
        return true;
    }
    bool fail(const char* what) {
        m_error.line = m_source.line();
        m_error.column = m_source.column();
        m_error.what = what;
        return false;
    }

    CountingSource& m_source;
    const JsonRecordReader::DocumentHandler& m_handler;
    RecordError& m_error;
    RecordDocument m_document;
    std::string m_key;
    int m_depth = 0;
    int m_pagesDepth = 0;    // depth of the array of documents once found
    int m_documentDepth = 0; // depth of a document object
    int m_skipFrom = 0;      // depth of a passed-over member's container
    bool m_skipNext = false; // the next value at the top is passed over
    bool m_topObject = false;
    bool m_inValues = false;
};

bool readSource(CountingSource& source, const JsonRecordReader::DocumentHandler& handler,
                RecordError& error) {
    error = {};
    DocumentSax sax(source, handler, error);
    const bool parsed = Json::sax_parse(SourceIterator(&source), SourceIterator(), &sax);
    if (!parsed)
        return false;
    if (!sax.sawDocuments()) {
        error.line = source.line();
        error.column = source.column();
        error.what = "文書の配列がありません";
        return false;
    }
    return true;
}

} // namespace

bool JsonRecordReader::read(std::FILE* in, const DocumentHandler& handler) {
    CountingSource source(in, {});
    return readSource(source, handler, m_error);
}

bool JsonRecordReader::read(std::string_view bytes, const DocumentHandler& handler) {
    CountingSource source(nullptr, bytes);
    return readSource(source, handler, m_error);
}

} // namespace runtime
