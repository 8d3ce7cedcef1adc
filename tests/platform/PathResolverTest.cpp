#include "platform/PathResolver.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using platform::resolvePathIgnoringCase;

// A temporary tree:
//   cwd/images/Logo.bmp         cwd/Shared.bmp
//   form/images/Stamp.bmp       form/Shared.bmp     form/Sub Dir/pic.Bmp
//   form/case/a.bmp             form/case/A.BMP     form/日本語/印.bmp
class PathResolver : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_root = fs::path(m_dir.path().toStdString());
        for (const char* file :
             {"cwd/images/Logo.bmp", "cwd/Shared.bmp", "form/images/Stamp.bmp", "form/Shared.bmp",
              "form/Sub Dir/pic.Bmp", "form/case/a.bmp", "form/case/A.BMP", "form/日本語/印.bmp"}) {
            const fs::path path = m_root / fs::path(reinterpret_cast<const char8_t*>(file));
            fs::create_directories(path.parent_path());
            std::ofstream(path) << "x";
        }
        m_previous = fs::current_path();
        fs::current_path(m_root / "cwd");
    }
    void TearDown() override {
        if (!m_previous.empty())
            fs::current_path(m_previous);
    }

    QTemporaryDir m_dir;
    fs::path m_root;
    fs::path m_previous;
};

struct PathCase {
    const char* stored;   // as the form holds it; "@" stands for the temporary root
    const char* expected; // relative to the temporary root; nullptr: not found
};

TEST_F(PathResolver, ResolvesStoredPaths) {
    const PathCase cases[] = {
        {"IMAGES/STAMP.BMP", "form/images/Stamp.bmp"}, // the form's folder first
        {"IMAGES\\LOGO.BMP", "cwd/images/Logo.bmp"},   // then the current directory
        // Both have it: the form's own wins over one planted where the
        // program was started.
        {"SHARED.BMP", "form/Shared.bmp"},
        {"SUB DIR\\PIC.BMP", "form/Sub Dir/pic.Bmp"}, // blanks in names
        {".\\SUB DIR\\..\\IMAGES\\\\STAMP.BMP", "form/images/Stamp.bmp"},
        {"CASE\\A.BMP", "form/case/A.BMP"}, // the exact spelling wins
        {"CASE\\a.bmp", "form/case/a.bmp"},
        {"日本語\\印.BMP", "form/日本語/印.bmp"},
        {"@/CWD/IMAGES/LOGO.BMP", "cwd/images/Logo.bmp"}, // absolute, upper-cased
        {"@\\FORM\\IMAGES\\STAMP.BMP", "form/images/Stamp.bmp"},
        {"IMAGES\\MISSING.BMP", nullptr},
        {"NOWHERE\\LOGO.BMP", nullptr},
        {"@/FORM/IMAGES/LOGO.BMP", nullptr}, // absolute: no second try
        {"", nullptr},
    };
    const std::string root = m_root.string();
    for (const PathCase& c : cases) {
        std::string stored = c.stored;
        if (!stored.empty() && stored[0] == '@') {
            std::string upper = root;
            for (char& ch : upper)
                ch = char(std::toupper(static_cast<unsigned char>(ch)));
            stored = upper + stored.substr(1);
        }
        const std::optional<fs::path> found = resolvePathIgnoringCase(stored, m_root / "form");
        if (!c.expected) {
            EXPECT_FALSE(found.has_value()) << c.stored << " gave " << found->string();
            continue;
        }
        ASSERT_TRUE(found.has_value()) << c.stored;
        EXPECT_TRUE(fs::equivalent(*found, m_root / fs::path(reinterpret_cast<const char8_t*>(c.expected))))
            << c.stored << " gave " << found->string();
        // The real spelling, not the stored one.
        EXPECT_EQ(found->filename(), fs::path(reinterpret_cast<const char8_t*>(c.expected)).filename());
    }
}

TEST_F(PathResolver, WithoutBaseFolderOnlyTheCurrentDirectoryCounts) {
    EXPECT_TRUE(resolvePathIgnoringCase("IMAGES\\LOGO.BMP").has_value());
    EXPECT_FALSE(resolvePathIgnoringCase("IMAGES\\STAMP.BMP").has_value());
}

} // namespace
