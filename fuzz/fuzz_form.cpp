// Form files from outside: every reader variant, the check pass, and writing
// the model back must cope with any bytes.
#include "FormReader.h"
#include "FormWriter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The models are large; one pair serves every input.
    static const auto model = std::make_unique<formdesc::FormModel>();
    static const auto again = std::make_unique<formdesc::FormModel>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto variant : {formdesc::ReaderVariant::Designer, formdesc::ReaderVariant::Print,
                         formdesc::ReaderVariant::Preview}) {
        model->clear();
        formdesc::readFormStatements(bytes, *model, variant);
        formdesc::PageSizeTenths page;
        const bool passed = !formdesc::checkForm(*model, variant, &page);
        if (passed && variant == formdesc::ReaderVariant::Designer) {
            // What passes must survive a write and a second read.
            const std::string written = formdesc::formatFormFile(*model, {2000, 1, 1});
            again->clear();
            formdesc::readFormStatements(written, *again, variant);
            (void)formdesc::checkForm(*again, variant);
        }
    }
    return 0;
}
