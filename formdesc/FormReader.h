#pragma once

#include "formdesc/FormMessages.h"
#include "formdesc/FormModel.h"

#include <optional>
#include <string>
#include <string_view>

// Reading form files into the model. The designer and the runtime's print and
// preview jobs read with the same scanner and parsers; they differ in a few
// points (see ReaderVariant).
namespace formdesc {

enum class ReaderVariant {
    Designer, // fields are one row high; widths stay as written
    Print,    // field rows as written, tags required in tag mode, pen widths 0-4
    Preview,  // as Print, with the preview's pen widths 1-3
};

// Page size of the form in tenths of a millimetre, known after a passing check.
struct PageSizeTenths {
    int width = 0;
    int height = 0;
};

// The largest form file read: 2,049 statements (the form and 1,024 of each
// kind of item) of the longest a statement can be, with room for comments.
// Anything larger is no form.
constexpr long long kMaxFormFileBytes = 16LL * 1024 * 1024;

// Reads every statement of the text into the model (no check). Statements
// apply in order on top of what the model holds. A field or figure past the
// 1,024 of its kind is not stored; the first one comes back as the error
// "登録限度に達しています" naming it.
std::optional<FormError> readFormStatements(std::string_view fileBytes, FormModel& model,
                                            ReaderVariant variant);

// The check pass: the first error, or nothing. Repairs the line defaults,
// applies the runtime's row and pen-width rules and fills pageSize when given.
std::optional<FormError> checkForm(FormModel& model, ReaderVariant variant,
                                   PageSizeTenths* pageSize = nullptr);

// The paper, direction, grid and margin rules of the check pass, in its order:
// the first one broken (codes 2 to 7 of kErrorForm), or nothing. The page
// size is filled once the paper and the direction hold.
std::optional<FormError> checkPageLayout(const FormInfo& form, PageSizeTenths* pageSize = nullptr);

// Reads and checks a form file: a regular file of at most kMaxFormFileBytes,
// opened without waiting. On failure exactly one message has been shown
// through the message sink; when the file cannot be opened the model is left
// as it was. A read error part way is the same failure as a file that cannot
// be opened (the model then holds the statements read before it).
bool readFormFile(const std::string& path, FormModel& model, ReaderVariant variant,
                  PageSizeTenths* pageSize = nullptr);

// The same check as readFormFile does after reading, with its message.
bool validateForm(FormModel& model, ReaderVariant variant, PageSizeTenths* pageSize = nullptr);

// Preparing one line of a statement or a control string: cut at "//", trim,
// upper-case.
std::string prepareLine(std::string_view line);

// The item kind a prepared line starts, or 0.
int statementKind(std::string_view preparedLine);

} // namespace formdesc
