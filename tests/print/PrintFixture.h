#pragma once

#include "DeviceContext.h"
#include "MessageSink.h"
#include "PageTarget.h"
#include "RecordingBackend.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// Shared pieces of the print job tests (main.cpp makes the application
// object and shuts the print server out): data files of whole pages and a
// page target that records what the job did.
namespace printtest {

inline std::string testData(const char* name) {
    return std::string(ZRK_TEST_DATA) + "/" + name;
}

// A data file of `lines` lines in the temporary folder, removed with the object.
class DataLines {
  public:
    explicit DataLines(int lines) {
        static int serial = 0;
        m_path = (std::filesystem::temp_directory_path() /
                  ("zrk-print-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".dat"))
                     .string();
        std::ofstream out(m_path, std::ios::binary);
        for (int i = 1; i <= lines; ++i)
            out << "LINE " << i << "\r\n";
    }
    ~DataLines() { std::remove(m_path.c_str()); }
    DataLines(const DataLines&) = delete;
    DataLines& operator=(const DataLines&) = delete;
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

// Counts documents and pages; can fail at the start or the end of the
// document and call back around every page.
class RecordingTarget : public platform::PageTarget {
  public:
    bool failBegin = false;
    bool failEnd = false;
    std::function<void(int page)> onBeginPage;
    std::function<void(int page)> onEndPage;

    int pagesBegun = 0;
    int pagesEnded = 0;
    bool begun = false;
    bool ended = false;
    std::string name;

    bool beginDocument(const std::string& utf8Name) override {
        name = utf8Name;
        begun = !failBegin;
        return begun;
    }
    void beginPage() override {
        ++pagesBegun;
        if (onBeginPage)
            onBeginPage(pagesBegun);
    }
    void endPage() override {
        ++pagesEnded;
        if (onEndPage)
            onEndPage(pagesEnded);
    }
    bool endDocument() override {
        ended = true;
        return !failEnd;
    }
    platform::DeviceContext& deviceContext() override { return m_dc; }
    int dpiX() const override { return 300; }
    int dpiY() const override { return 300; }
    platform::PaperTenths paper() const override { return {2100, 2970}; }
    std::string errorText() const override {
        return failEnd ? "the queue is not accepting jobs" : "no paper";
    }

  private:
    platform::RecordingBackend m_backend{300, 300};
    platform::DeviceContext m_dc{m_backend};
};

} // namespace printtest
