// Form files from outside: every reader variant, the check pass, and writing
// the model back must cope with any bytes; every form the designer would open
// is written to a file that reads back to the same form.
#include "formdesc/FormReader.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

void check(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Every record on its own reads back as itself.
bool everyRecordSurvives(const formdesc::FormModel& model) {
    if (!formdesc::formSurvives(model.form))
        return false;
    for (int n = 0; n < model.fieldCount; ++n)
        if (!formdesc::fieldSurvives(model.fields[static_cast<std::size_t>(n)], model.form))
            return false;
    for (int n = 0; n < model.figureCount; ++n)
        if (!formdesc::figureSurvives(model.figures[static_cast<std::size_t>(n)], model.form))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The models are large; one pair serves every input.
    static const auto model = std::make_unique<formdesc::FormModel>();
    static const auto again = std::make_unique<formdesc::FormModel>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto variant : {formdesc::ReaderVariant::Designer, formdesc::ReaderVariant::Print,
                         formdesc::ReaderVariant::Preview}) {
        model->clear();
        const bool overLimit = formdesc::readFormStatements(bytes, *model, variant).has_value();
        formdesc::PageSizeTenths page;
        const bool passed = !formdesc::checkForm(*model, variant, &page);
        if (!passed || overLimit || variant != formdesc::ReaderVariant::Designer)
            continue;
        // The designer opens what passes and every record of it survives (the
        // others it refuses). What it opens, it writes back to a file that
        // reads back to the same form and passes the check again.
        const bool survives = everyRecordSurvives(*model);
        const bool wholeSurvives = !formdesc::firstChangedItem(*model);
        check(!survives || wholeSurvives, "records that survive alone survive together");
        if (!wholeSurvives)
            continue;
        const std::string written = formdesc::formatFormFile(*model, {2000, 1, 1});
        again->clear();
        check(!formdesc::readFormStatements(written, *again, variant), "written form within the limits");
        check(!formdesc::checkForm(*again, variant), "written form passes the check");
        check(again->fieldCount == model->fieldCount && again->figureCount == model->figureCount,
              "written form keeps its items");
        check(formdesc::formatFormFile(*again, {2000, 1, 1}) == written, "written form writes the same text");
    }
    return 0;
}
