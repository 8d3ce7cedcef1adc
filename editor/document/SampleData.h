#pragma once

#include "formdesc/FormModel.h"

#include <string>
#include <vector>

// One page of sample data for a form, in the runtime's data file format, so
// that a preview shows every field filled with a placeholder of its length.
namespace editor {

class SampleData {
  public:
    // One line per row of the form, without line ends or trailing white space.
    static std::vector<std::string> lines(const formdesc::FormModel& model);
    // The lines, each followed by CR LF.
    static std::string text(const formdesc::FormModel& model);
    // Writes the text to the file; on failure shows "帳票データを保存できません".
    static bool write(const std::string& path, const formdesc::FormModel& model);
};

} // namespace editor
