#pragma once

#include "formdesc/MessageSink.h"
#include "platform/DeviceContext.h"
#include "platform/PageTarget.h"
#include "runtime/print/PPModule.h"
#include "tests/support/RecordingBackend.h"

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

// What a RecordingTarget saw and how it behaves. Owned by the test: the job
// destroys the target itself before run() returns.
struct TargetRecord {
    bool failBegin = false;
    bool failEnd = false;
    std::function<void(int page)> onBeginPage;
    std::function<void(int page)> onEndPage;

    int pagesBegun = 0;
    int pagesEnded = 0;
    bool ended = false;
};

// Counts documents and pages; can fail at the start or the end of the
// document and call back around every page.
class RecordingTarget : public platform::PageTarget {
  public:
    explicit RecordingTarget(TargetRecord& record) : m_record(record) {}

    bool beginDocument(const std::string&) override { return !m_record.failBegin; }
    void beginPage() override {
        ++m_record.pagesBegun;
        if (m_record.onBeginPage)
            m_record.onBeginPage(m_record.pagesBegun);
    }
    void endPage() override {
        ++m_record.pagesEnded;
        if (m_record.onEndPage)
            m_record.onEndPage(m_record.pagesEnded);
    }
    bool endDocument() override {
        m_record.ended = true;
        return !m_record.failEnd;
    }
    platform::DeviceContext& deviceContext() override { return m_dc; }
    int dpiX() const override { return 300; }
    int dpiY() const override { return 300; }
    platform::PaperTenths paper() const override { return {2100, 2970}; }
    std::string errorText() const override {
        return m_record.failEnd ? "the queue is not accepting jobs" : "no paper";
    }

  private:
    TargetRecord& m_record;
    testsupport::RecordingBackend m_backend{300, 300};
    platform::DeviceContext m_dc{m_backend};
};

// A chooser that hands the job a RecordingTarget.
inline runtime::TargetChooser recordingChooser(TargetRecord& record) {
    return [&record](const formdesc::FormInfo&, const formdesc::PageSizeTenths&,
                     const runtime::ControlOptions&) {
        runtime::ChosenTarget chosen;
        chosen.target = std::make_unique<RecordingTarget>(record);
        return chosen;
    };
}

} // namespace printtest
