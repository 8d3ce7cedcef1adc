#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

#include "formdesc/FormModel.h"

namespace runtime::testing {

// A data file with the given bytes in the temporary folder, removed again when
// the object goes.
class TempDataFile {
  public:
    explicit TempDataFile(std::string_view bytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zrk-data-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        m_path = pattern;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t got = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (got <= 0)
                std::abort();
            written += static_cast<std::size_t>(got);
        }
        ::close(fd);
    }
    ~TempDataFile() { std::remove(m_path.c_str()); }
    TempDataFile(const TempDataFile&) = delete;
    TempDataFile& operator=(const TempDataFile&) = delete;

    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

inline formdesc::FormInfo formWith(int columns, int rows, bool tagMode = false) {
    formdesc::FormInfo form{};
    form.columns = columns;
    form.rows = rows;
    form.tagMode = tagMode ? 1 : 0;
    return form;
}

// Lines "L1\n" ... "Ln\n".
inline std::string numberedLines(int count, std::string_view lineEnd = "\n") {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "L" + std::to_string(i) + std::string(lineEnd);
    return text;
}

} // namespace runtime::testing
