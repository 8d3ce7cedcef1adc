#pragma once

#include <QDialog>

#include "runtime/print/PPModule.h"

class QComboBox;
class QSpinBox;

// The preview window: a toolbar (print, zoom mode, zoom list, first,
// previous, next and last page, page number with its spin control, close)
// over the page view. It pages through the data file by its page index,
// zooms by the list, a typed percentage or clicks in zoom mode, and prints
// the form's data file through the print job.
namespace runtime {

class PageView;
class PreviewButton;
class PreviewPages;

class PreviewDialog : public QDialog {
  public:
    // pages: the form read and page 1 loaded. printChooser gives the print
    // job its printer when "印刷" is pressed.
    PreviewDialog(PreviewPages& pages, TargetChooser printChooser, QWidget* parent = nullptr);
    ~PreviewDialog() override;

    // Indexes the data file's pages and makes the navigation usable. False
    // (its message shown) when the file cannot be read any more.
    bool buildPageIndex();

    // The page on show changes only when it could be loaded.
    bool goToPage(int pageNumber);
    int currentPage() const;
    int zoom() const;
    void setPrintChooser(TargetChooser chooser) { m_printChooser = std::move(chooser); }
    // Prints the form's data file, then closes the preview for PRINT=ONLY.
    void print();

    PageView& pageView() { return *m_view; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLayout* createToolbar();
    void applyZoom(int zoom);
    void showZoom(int zoom);
    void zoomListActivated(int index);
    void zoomTyped();
    void pageNumberChanged(int typed);
    void updateNavigation();
    void painted();

    PreviewPages& m_pages;
    TargetChooser m_printChooser;
    PageView* m_view = nullptr;
    PreviewButton* m_printButton = nullptr;
    PreviewButton* m_zoomModeButton = nullptr;
    QComboBox* m_zoomList = nullptr;
    PreviewButton* m_firstButton = nullptr;
    PreviewButton* m_previousButton = nullptr;
    PreviewButton* m_nextButton = nullptr;
    PreviewButton* m_lastButton = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    PreviewButton* m_closeButton = nullptr;
    bool m_autoPrintPosted = false;
};

} // namespace runtime
