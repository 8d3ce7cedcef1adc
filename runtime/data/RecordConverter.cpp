#include "runtime/data/RecordConverter.h"

#include <algorithm>

#include "formdesc/FormSlots.h"
#include "formdesc/ShiftJis.h"
#include "runtime/data/CodePageCache.h"
#include "runtime/data/CsvReader.h"
#include "runtime/data/JsonRecordReader.h"
#include "runtime/data/Utf8DataConverter.h"

namespace runtime {

namespace {

// Values to Shift-JIS: as they are for Shift-JIS data, through code page 932
// for UTF-8, counting the characters replaced and the line of the first. The
// text returned lasts until the next value.
class ValueText {
  public:
    void setUtf8(bool utf8) { m_utf8 = utf8; }

    std::string_view operator()(std::string_view value, std::uint64_t line) {
        // ASCII reads the same in both encodings.
        if (!m_utf8 || std::all_of(value.begin(), value.end(), [](char c) { return (c & 0x80) == 0; }))
            return value;
        m_out.clear();
        if (m_cache.convert(value, m_out))
            return m_out;
        const std::uint64_t before = m_converter.replacements();
        m_converter.convert(value, true, m_out);
        if (m_converter.replacements() > before && m_firstLine == 0)
            m_firstLine = line;
        return m_out;
    }
    std::uint64_t replacements() const { return m_utf8 ? m_converter.replacements() : 0; }
    std::uint64_t firstLine() const { return m_firstLine; }

  private:
    bool m_utf8 = false;
    CodePageCache m_cache;
    Utf8DataConverter m_converter;
    std::string m_out;
    std::uint64_t m_firstLine = 0;
};

bool readCsv(std::FILE* in, const RecordOptions& options, RecordPages& pages, ValueText& text,
             RecordResult& result) {
    std::string head(kEncodingSampleBytes, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), in));
    bool utf8 = options.encoding == DataEncoding::Utf8;
    if (options.encoding == DataEncoding::Auto)
        utf8 = looksLikeUtf8(head, !std::feof(in));
    if (utf8 && head.starts_with(kUtf8Bom))
        head.erase(0, kUtf8Bom.size());
    text.setUtf8(utf8);

    CsvReader reader(in, std::move(head));
    std::vector<std::string_view> fields;
    if (!reader.next(fields)) {
        result.error = reader.error().isSet() ? reader.error() : RecordError{1, 1, "見出しの行がありません"};
        return false;
    }
    const std::vector<std::string> header(fields.begin(), fields.end());
    std::vector<int> slots;
    int groupColumn = -1;
    const std::string groupKey = formdesc::slotKey(options.groupBy);
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string name(text(header[c], 1));
        const bool groups = !groupKey.empty() && groupColumn < 0 && formdesc::slotKey(name) == groupKey;
        if (groups)
            groupColumn = static_cast<int>(c);
        // The grouping column need not be on the form: no warning for it.
        int slot = groups ? pages.findSlot(name) : pages.slotOf(name);
        // A second column of the same name would put its values on the same lines.
        if (std::find(slots.begin(), slots.end(), slot) != slots.end())
            slot = -1;
        slots.push_back(slot);
    }
    if (!groupKey.empty() && groupColumn < 0) {
        result.error = {1, 1, "まとめる列の名前が見出しにありません"};
        return false;
    }

    std::string groupValue;
    bool open = false;
    while (reader.next(fields)) {
        const std::uint64_t line = reader.recordLine();
        if (fields.size() > header.size()) {
            result.error = {line, 1, "見出しより多くの値があります"};
            return false;
        }
        const std::string_view key = groupColumn >= 0 && static_cast<std::size_t>(groupColumn) < fields.size()
                                         ? fields[static_cast<std::size_t>(groupColumn)]
                                         : std::string_view();
        if (open && (groupColumn < 0 || key != groupValue)) {
            if (!pages.endDocument())
                return false;
            open = false;
        }
        if (!open) {
            pages.beginDocument();
            groupValue = key;
            open = true;
        }
        for (std::size_t c = 0; c < slots.size(); ++c) {
            if (slots[c] >= 0 && pages.takesValue(slots[c]))
                pages.addValue(slots[c], text(c < fields.size() ? fields[c] : std::string_view(), line));
        }
        if (!pages.writeFilledPages())
            return false;
    }
    if (reader.error().isSet()) {
        result.error = reader.error();
        return false;
    }
    return !open || pages.endDocument();
}

bool readJson(std::FILE* in, RecordPages& pages, ValueText& text, RecordResult& result) {
    text.setUtf8(true);
    JsonRecordReader reader;
    const bool read = reader.read(in, [&](RecordDocument& document) {
        pages.beginDocument();
        for (const auto& [name, values] : document.entries) {
            const int slot = pages.slotOf(text(name, document.line));
            for (const std::string& value : values)
                pages.addValue(slot, text(value, document.line));
        }
        return pages.endDocument();
    });
    if (!read)
        result.error = reader.error();
    return read;
}

} // namespace

RecordResult convertRecords(std::FILE* in, const formdesc::FormModel& model, const RecordOptions& options,
                            const RecordPages::LineSink& sink) {
    RecordPages pages(model, sink);
    ValueText text;
    RecordResult result;
    if (options.format == DataFormat::Json)
        result.ok = readJson(in, pages, text, result);
    else
        result.ok = readCsv(in, options, pages, text, result);
    result.pages = pages.pagesWritten();
    result.lineParts = pages.lineParts();
    result.cutValues = pages.cutValues();
    for (const std::string& name : pages.unknownNames())
        result.unknown.push_back(formdesc::sjis::toUtf8(name));
    result.replacements = text.replacements();
    result.firstReplacedLine = text.firstLine();
    return result;
}

} // namespace runtime
