// Settings files from outside: any bytes read back to themselves, every
// lookup copes, and a value written into them reads back as written.
#include "platform/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::ProfileFile profile = platform::ProfileFile::fromBytes(bytes);
    if (profile.toBytes() != bytes)
        std::abort();

    (void)profile.text("Last Folder", "folder", "");
    for (const char* key : {"left", "top", "right", "bottom"})
        (void)profile.integer("Last Window", key, -1);
    (void)profile.integer("Option", "ModeKeep", 0);

    profile.setInteger("Last Window", "left", 123);
    profile.setValue("Option", "ModeKeep", "1");
    const platform::ProfileFile again = platform::ProfileFile::fromBytes(profile.toBytes());
    if (again.integer("Last Window", "left", -1) != 123 || again.integer("Option", "ModeKeep", 0) != 1)
        std::abort();
    return 0;
}
