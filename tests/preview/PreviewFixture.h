#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "runtime/preview/PageView.h"
#include "runtime/preview/PreviewDialog.h"
#include "runtime/preview/PreviewPages.h"
#include "tests/support/TempFolder.h"

// Forms and data files written to a private folder, and a preview window
// opened on them the way the preview job opens it. The application object
// comes from main.cpp.
namespace previewtest {

// Three rows a page, a red line on the top edge of row 2 from the middle of
// column 2 to the middle of column 30.
inline constexpr const char* kThreeRowForm =
    "BASE TITLE=\"試験\", SIZE=A4, DIRECTION=P, COLUMN=40, ROW=3, LMARGIN=10, TMARGIN=10, "
    "FONT=\"ＭＳ 明朝\"-10, LTYPE=1-1;\n"
    "LINE LOCATE=(2, 2)-(30, 2), COURSE=H, LTYPE=1-1, LCOLOR=#FF0000;\n";

// Lines "P1-1" .. "Pn-3": every line names its page and row.
inline std::string pagedLines(int pages, int rows = 3) {
    std::string text;
    for (int p = 1; p <= pages; ++p)
        for (int r = 1; r <= rows; ++r)
            text += "P" + std::to_string(p) + "-" + std::to_string(r) + "\n";
    return text;
}

// A test's own folder whose files are written from UTF-8 as Shift-JIS.
class TempFolder : public ::TempFolder {
  public:
    // Writes UTF-8 text as Shift-JIS bytes; returns the file's path.
    std::string write(const std::string& name, const std::string& utf8) const {
        return writeBytes(name, formdesc::sjis::fromUtf8(utf8));
    }
};

// A preview window over a form and its data, indexed and shown at a fixed
// size, with messages recorded.
class PreviewFixture : public ::testing::Test {
  protected:
    void TearDown() override {
        m_dialog.reset();
        m_pages.reset();
    }

    // Opens the preview; false when the form or page 1 could not be read.
    bool open(const std::string& formUtf8, const std::string& data, const char* control = nullptr,
              runtime::TargetChooser chooser = {}) {
        m_formPath = m_folder.write("form.zrk", formUtf8);
        m_dataPath = m_folder.write("data.dat", data);
        m_pages = std::make_unique<runtime::PreviewPages>(m_formPath, m_dataPath, control);
        if (!m_pages->readForm() || !m_pages->loadFirstPage())
            return false;
        m_dialog = std::make_unique<runtime::PreviewDialog>(*m_pages, std::move(chooser));
        if (!m_dialog->buildPageIndex())
            return false;
        m_dialog->resize(760, 560);
        m_dialog->show();
        return QTest::qWaitForWindowExposed(m_dialog.get());
    }

    template <typename T> T* child(const char* name) const {
        return m_dialog->findChild<T*>(QLatin1String(name));
    }
    QAbstractButton* button(const char* name) const { return child<QAbstractButton>(name); }
    runtime::PageView& view() const { return m_dialog->pageView(); }
    // The first cells of record 0 of the page on show.
    std::string firstLine() const { return std::string(m_pages->page()[0].text, 4); }

    TempFolder m_folder;
    std::string m_formPath;
    std::string m_dataPath;
    formdesc::RecordingMessageSink m_messages;
    formdesc::ScopedMessageSink m_scopedSink{m_messages};
    std::unique_ptr<runtime::PreviewPages> m_pages;
    std::unique_ptr<runtime::PreviewDialog> m_dialog;
};

} // namespace previewtest
