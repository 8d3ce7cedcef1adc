// Form files from outside: every reader variant, the check pass, and writing
// the model back must cope with any bytes.
#include "FormReader.h"
#include "FormWriter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto variant : {formdesc::ReaderVariant::Designer, formdesc::ReaderVariant::Print,
                         formdesc::ReaderVariant::Preview}) {
        auto model = std::make_unique<formdesc::FormModel>();
        formdesc::readFormStatements(bytes, *model, variant);
        formdesc::PageSizeTenths page;
        const bool passed = !formdesc::checkForm(*model, variant, &page);
        if (passed && variant == formdesc::ReaderVariant::Designer) {
            // What passes must survive a write and a second read.
            const std::string written = formdesc::formatFormFile(*model, {2000, 1, 1});
            auto again = std::make_unique<formdesc::FormModel>();
            formdesc::readFormStatements(written, *again, variant);
            (void)formdesc::checkForm(*again, variant);
        }
    }
    return 0;
}
