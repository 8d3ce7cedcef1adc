#include "platform/PngPageTarget.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using platform::PngPageTarget;

// The page files a pattern would write over are found whatever their number,
// and only the names the pattern really writes (the same width, the same
// text around the number), so that an input among them can be refused.
TEST(PngPagePaths, FindsTheExistingPagesOfAPattern) {
    struct Case {
        const char* pattern; // relative to the folder
        std::vector<std::string> files;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"p-%03d.png",
         {"p-001.png", "p-012.png", "p-7.png", "p-000.png", "p-x.png", "q-002.png"},
         {"p-001.png", "p-012.png"}},
        {"p-%d.png", {"p-7.png", "p-007.png", "p--3.png", "p-123456.png"}, {"p-123456.png", "p-7.png"}},
        {"100%%-%d.dat", {"100%-4.dat", "100%%-4.dat"}, {"100%-4.dat"}},
        {"page%d/out.png", {"page2/out.png", "page3/other.png"}, {"page2/out.png"}},
        {"none-%d.png", {}, {}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const std::string& file : c.files) {
            std::filesystem::create_directories((folder.path() / file).parent_path());
            folder.writeBytes(file, "x");
        }
        const std::string base = folder.path().string() + "/";
        PngPageTarget target(base + c.pattern, {2100, 2970}, 150);
        std::vector<std::string> found = target.existingPagePaths();
        for (std::string& path : found)
            path.erase(0, base.size());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.expected) << c.pattern;
    }
}

} // namespace
