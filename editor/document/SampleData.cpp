#include "SampleData.h"

// not built yet
namespace editor {
std::vector<std::string> SampleData::lines(const formdesc::FormModel&) {
    return {};
}
std::string SampleData::text(const formdesc::FormModel&) {
    return {};
}
bool SampleData::write(const std::string&, const formdesc::FormModel&) {
    return false;
}
} // namespace editor
