#pragma once

#include "formdesc/FormModel.h"

#include <string>

// Writing the model as a form file that reads back to the same model: Shift-JIS
// text with CR LF line ends, a comment header, one statement per item, keys in
// a fixed order and left out where they carry the form's default.
namespace formdesc {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Today's local date, or the date of SOURCE_DATE_EPOCH (UTC) when it is set,
// so that saved files can be reproduced.
CalendarDate creationDate();

// Tenths as text: 0 gives "", 55 gives "5.5", 50 gives "5".
std::string formatTenths(int value);

// The statements, each ending in ";\n".
std::string formatBaseStatement(const FormInfo& form);
std::string formatFieldStatement(const FieldInfo& field, const FormInfo& form);
std::string formatFigureStatement(const FigureInfo& figure, const FormInfo& form);

// The whole file with CR LF line ends.
std::string formatFormFile(const FormModel& model, const CalendarDate& date);

// Writes the file through a temporary file in the same folder that replaces
// the target only when everything was written (see writeFileAtomically). A
// text that would not read back to the model is not written: the message
// names the first item it would change. On any failure the message is shown
// ("帳票パラメータを保存できません" when the file cannot be written), the old
// file stays and false is returned.
bool writeFormFile(const std::string& path, const FormModel& model);

} // namespace formdesc
