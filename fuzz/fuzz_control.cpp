// Control statements come from callers of the runtime: any bytes must parse
// to options within their ranges.
#include "runtime/data/ControlOptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const runtime::ControlOptions options = runtime::parseControlOptions(text.c_str());
    if (options.scale < runtime::kMinZoom || options.scale > runtime::kMaxZoom)
        std::abort();
    if (options.xOffset < -runtime::kMaxOffsetTenths || options.xOffset > runtime::kMaxOffsetTenths ||
        options.yOffset < -runtime::kMaxOffsetTenths || options.yOffset > runtime::kMaxOffsetTenths)
        std::abort();
    if (!options.refusedKey.empty() && options.refusedKey != "ENCODING" && options.refusedKey != "XOFFSET" &&
        options.refusedKey != "YOFFSET" && options.refusedKey != "FORMAT")
        std::abort();
    (void)options.printsOnDefault();
    (void)runtime::parseControlOptions(std::string_view(text));
    return 0;
}
