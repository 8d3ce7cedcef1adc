#include "runtime/data/DataSpool.h"
#include "runtime/data/RuntimeMessages.h"
#include "tests/support/ReadFailure.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

using runtime::DataEncoding;
using runtime::DataSpool;

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 200 kB of ASCII lines: the same bytes in UTF-8 and in code page 932.
std::string bigData() {
    std::string data;
    for (int line = 0; data.size() < 200000; ++line)
        data += "LINE " + std::to_string(line) + " ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    return data;
}

// The private copy goes to the runtime folder, else $TMPDIR, else /tmp: a
// place that is missing or fills up (from the start or part way) gives way to
// the next, which gets all of the data; only when every place fails does the
// job fail, with the system's reason.
TEST(DataSpool, FallsBackWhenAPlaceIsFullOrMissing) {
    const TempFolder root;
    fs::create_directories(root.path() / "xdg");
    fs::create_directories(root.path() / "tmp");
    const std::string data = bigData();
    const std::string input = root.writeBytes("in.dat", data);
    const std::string xdgDir = (root.path() / "xdg").string();
    const std::string tmpDir = (root.path() / "tmp").string();
    struct Row {
        const char* name;
        std::string xdg;
        std::optional<std::string> fullUnder; // nothing: no place is full
        long long fullAfter;
        std::string expectedParent; // empty: the job fails
    } rows[] = {
        {"RuntimeFolderFits", xdgDir, std::nullopt, 0, xdgDir},
        {"RuntimeFolderFullFromTheStart", xdgDir, xdgDir, 0, tmpDir},
        {"RuntimeFolderFullPartWay", xdgDir, xdgDir, 70000, tmpDir},
        {"RuntimeFolderMissing", (root.path() / "none").string(), std::nullopt, 0, tmpDir},
        {"RuntimeFolderAndTmpdirFull", xdgDir, root.path().string(), 1000, "/tmp"},
        {"EverythingFull", xdgDir, "/", 120000, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedEnv xdg("XDG_RUNTIME_DIR", row.xdg);
        const ScopedEnv tmp("TMPDIR", tmpDir);
        std::optional<testsupport::WriteFull> full;
        if (row.fullUnder)
            full.emplace(*row.fullUnder, row.fullAfter);
        std::string spoolFolder;
        {
            DataSpool spool;
            const bool prepared = spool.prepare(input, false, DataEncoding::Utf8);
            full.reset();
            if (row.expectedParent.empty()) {
                EXPECT_FALSE(prepared);
                EXPECT_EQ(spool.spoolError(), ENOSPC);
            } else {
                ASSERT_TRUE(prepared);
                EXPECT_EQ(spool.spoolError(), 0);
                spoolFolder = fs::path(spool.path()).parent_path().string();
                EXPECT_EQ(fs::path(spoolFolder).parent_path(), fs::path(row.expectedParent));
                EXPECT_TRUE(readAll(spool.path()) == data) << "the copy is not the data";
            }
        }
        // Nothing left behind in any place tried.
        for (const std::string& place : {xdgDir, tmpDir})
            EXPECT_TRUE(fs::is_empty(place)) << place;
        if (!spoolFolder.empty()) {
            EXPECT_FALSE(fs::exists(spoolFolder));
        }
    }
}

TEST(DataSpool, MessageGivesTheReason) {
    EXPECT_EQ(runtime::dataFileErrorText(0), "その他 - 帳票データがオープンできません");
    EXPECT_EQ(runtime::dataFileErrorText(ENOSPC),
              "その他 - 帳票データがオープンできません（No space left on device）");
}

} // namespace
