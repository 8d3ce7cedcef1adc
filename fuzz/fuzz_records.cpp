// CSV and JSON records come from databases, spreadsheets and web programs:
// any bytes must convert or fail with a line and column, never crash, and
// every page written must be the form's rows of lines no longer than a
// tagged line can be.
#include "runtime/data/RecordConverter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

formdesc::FieldInfo field(int c1, int row, int c2, const char* tag) {
    formdesc::FieldInfo f{};
    f.startCol = c1;
    f.startRow = row;
    f.endCol = c2;
    f.endRow = row;
    std::strncpy(f.tag, tag, sizeof f.tag - 1);
    return f;
}

formdesc::FormModel form(bool tagMode) {
    formdesc::FormModel model;
    model.form.columns = 40;
    model.form.rows = 8;
    model.form.tagMode = tagMode ? 1 : 0;
    for (const formdesc::FieldInfo& f :
         {field(1, 1, 8, "NO"), field(20, 1, 40, "NAME"), field(1, 3, 20, "ITEM"), field(1, 4, 20, "ITEM"),
          field(22, 3, 26, "QTY"), field(22, 4, 26, "QTY"), field(1, 8, 12, "TOTAL")})
        model.appendField(f);
    return model;
}

} // namespace

// The first byte chooses the reader, the grouping, the encoding and the mode.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::FILE* in = bytes.empty() ? std::tmpfile() : ::fmemopen(bytes.data(), bytes.size(), "rb");
    if (!in)
        return 0;
    runtime::RecordOptions options;
    options.format = (choice & 1) ? runtime::DataFormat::Json : runtime::DataFormat::Csv;
    if (choice & 2)
        options.groupBy = "no";
    options.encoding = (choice & 4)
                           ? runtime::DataEncoding::ShiftJis
                           : ((choice & 8) ? runtime::DataEncoding::Auto : runtime::DataEncoding::Utf8);
    const formdesc::FormModel model = form(choice & 16);
    std::uint64_t lines = 0;
    const runtime::RecordResult result =
        runtime::convertRecords(in, model, options, [&](std::string_view line) {
            if (line.size() > 8 + 40 || line.find('\n') != std::string_view::npos ||
                line.find('\r') != std::string_view::npos)
                std::abort();
            ++lines;
            return true;
        });
    std::fclose(in);
    if (lines % 8 != 0 || lines / 8 != result.pages)
        std::abort();
    if (!result.ok && result.error.isSet() && (result.error.line == 0 || result.error.column == 0))
        std::abort();
    return 0;
}
