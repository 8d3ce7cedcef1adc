#include "formdesc/FormReader.h"

#include "formdesc/Barcode.h"
#include "formdesc/KeyLookup.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/StatementParsers.h"
#include "formdesc/TextLineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace formdesc {

namespace {

constexpr std::size_t kLineBytes = 1023;
constexpr std::size_t kStatementBytes = 5119;

// The next non-empty prepared line, or false at the end of the input.
bool nextPreparedLine(TextLineReader& reader, std::string& raw, std::string& prepared) {
    while (reader.next(raw, kLineBytes)) {
        // The line is a C string: a NUL byte ends it.
        const std::size_t nul = raw.find('\0');
        if (nul != std::string::npos)
            raw.resize(nul);
        prepared = prepareLine(raw);
        if (!prepared.empty())
            return true;
    }
    return false;
}

// Reads every statement; the first field or figure past the limit of its
// kind is returned as its error (the rest is still read).
std::optional<FormError> readStatements(TextLineReader& reader, FormModel& model, ReaderVariant variant) {
    std::optional<FormError> limit;
    std::string raw;
    std::string line;
    std::string statement;
    while (nextPreparedLine(reader, raw, line)) {
        const int kind = statementKind(line);
        if (kind == 0)
            continue;
        statement = sjis::cutWhole(line, kStatementBytes);
        bool ended = line.find(';') != std::string::npos;
        while (!ended) {
            if (!nextPreparedLine(reader, raw, line))
                return limit; // the file ended inside the statement: it is dropped
            ended = line.find(';') != std::string::npos;
            if (statement.size() < kStatementBytes) {
                statement.push_back(' ');
                statement += line;
                statement.resize(sjis::cutWhole(statement, kStatementBytes).size());
            }
        }
        const std::size_t semicolon = statement.find(';');
        if (semicolon != std::string::npos)
            statement.resize(semicolon);
        if (!parseStatement(kind, statement, model, variant) && !limit)
            limit = kind == kKindField ? FormError{kErrorField, kItemCodeLimit, kMaxItems + 1}
                                       : FormError{kErrorFigure, kItemCodeLimit, kMaxItems + 1};
    }
    return limit;
}

} // namespace

std::string prepareLine(std::string_view line) {
    const std::size_t comment = line.find("//");
    if (comment != std::string_view::npos)
        line = line.substr(0, comment);
    return sjis::toUpperCopy(sjis::trim(line));
}

int statementKind(std::string_view line) {
    static constexpr struct {
        std::string_view keyword;
        int kind;
    } kKeywords[] = {{"BASE", kKindBase},
                     {"FIELD", kKindField},
                     {"LINE", kKindLine},
                     {"RECT", kKindRect},
                     {"BITMAP", kKindBitmap},
                     // Last: a line that names any other keyword reads as it always has.
                     {"BARCODE", kKindBarcode}};
    const auto endsWord = [line](std::size_t after) {
        return after == line.size() || line[after] == ' ' || line[after] == '\t';
    };
    // A line that starts with BARCODE is a barcode whatever its values hold
    // (a constant "LINE 1", a hand-written "FIELD =").
    if (line.starts_with("BARCODE") && endsWord(7))
        return kKindBarcode;
    for (const auto& entry : kKeywords) {
        const std::size_t at = line.find(entry.keyword);
        if (at != std::string_view::npos && endsWord(at + entry.keyword.size()))
            return entry.kind;
    }
    return 0;
}

std::optional<FormError> readFormStatements(std::string_view fileBytes, FormModel& model,
                                            ReaderVariant variant) {
    TextLineReader reader(fileBytes);
    return readStatements(reader, model, variant);
}

bool readFormFile(const std::string& path, FormModel& model, ReaderVariant variant,
                  PageSizeTenths* pageSize) {
    const MessageOrigin origin =
        variant == ReaderVariant::Designer ? MessageOrigin::Designer : MessageOrigin::Library;
    // Opened without waiting (a FIFO with no writer would block the open) and
    // read only when it is a regular file of a size a form can have: a FIFO,
    // a device such as /dev/zero or a folder is no form.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFormFileBytes)) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        reportFormError(kErrorOther, 1, 0, origin);
        return false;
    }
    // A file that grows past the limit while it is read fails as well.
    TextLineReader reader(fd, kMaxFormFileBytes);
    const std::optional<FormError> limit = readStatements(reader, model, variant);
    // A file that cannot be read to its end is one that cannot be read: the
    // statements cut short by the error would only give a misleading check.
    if (reader.failed()) {
        reportFormError(kErrorOther, 1, 0, origin);
        return false;
    }
    // Records past the limit were not stored: a form without them is not
    // the form in the file.
    if (limit) {
        reportFormError(*limit, origin);
        return false;
    }
    return validateForm(model, variant, pageSize);
}

bool validateForm(FormModel& model, ReaderVariant variant, PageSizeTenths* pageSize) {
    if (auto error = checkForm(model, variant, pageSize)) {
        reportFormError(*error, variant == ReaderVariant::Designer ? MessageOrigin::Designer
                                                                   : MessageOrigin::Library);
        return false;
    }
    return true;
}

} // namespace formdesc
