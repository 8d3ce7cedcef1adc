#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"
#include "formdesc/ShiftJis.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

// Reads a form written in UTF-8 (converted to Shift-JIS first) into a fresh
// model, as the given reader variant does.
struct ReadForm {
    std::unique_ptr<formdesc::FormModel> model = std::make_unique<formdesc::FormModel>();
    std::optional<formdesc::FormError> error;
    formdesc::PageSizeTenths page;
};

inline ReadForm readUtf8Form(const std::string& utf8,
                             formdesc::ReaderVariant variant = formdesc::ReaderVariant::Designer) {
    ReadForm result;
    formdesc::readFormStatements(formdesc::sjis::fromUtf8(utf8), *result.model, variant);
    result.error = formdesc::checkForm(*result.model, variant, &result.page);
    return result;
}

inline std::string utf8Of(std::string_view sjisText) {
    return formdesc::sjis::toUtf8(sjisText);
}

inline const char* kBaseLine = "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=66, LMARGIN=5, "
                               "TMARGIN=5, FONT=\"ＭＳ 明朝\"-9, LTYPE=1-3;\n";

inline std::ostream& operator<<(std::ostream& out, const std::optional<formdesc::FormError>& e) {
    if (!e)
        return out << "no error";
    return out << "error (" << e->category << ", " << e->code << ", " << e->item << ")";
}
