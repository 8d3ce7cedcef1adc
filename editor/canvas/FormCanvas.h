#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>

#include <memory>

#include "editor/canvas/CanvasGeometry.h"
#include "editor/canvas/CanvasRenderer.h"
#include "editor/canvas/CurrentAttributes.h"
#include "editor/canvas/Selection.h"
#include "editor/document/FormDocument.h"

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QMenu;

namespace render {
class BitmapCache;
}

// The designer's drawing surface and the owner of the open form. It shows
// the form as a white page on a grey desk, zoomed and scrolled, from a back
// buffer as large as the screen: a full render happens only when something
// asked for it, and a repaint after a resize only copies the buffer.
namespace editor {

class DocumentUi;
class ItemTracker;
class RegionRedraw;
enum class RuntimeMode;

class FormCanvas : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit FormCanvas(DocumentUi& ui, QWidget* parent = nullptr);
    ~FormCanvas() override;

    FormDocument& document() { return *m_document; }
    const FormDocument& document() const { return *m_document; }

    int zoom() const { return m_view.zoom; }
    // A percent (clamped to 50..200) or CanvasGeometry::kWholePage.
    void setZoom(int percent);

    // The tool: 1 range selection, 11 field, 21 line, 22 rectangle, 24 bitmap, 25 barcode.
    int toolMode() const { return m_toolMode; }
    void setToolMode(int mode);
    bool modeKeep() const { return m_modeKeep; }
    void setModeKeep(bool keep) { m_modeKeep = keep; }
    bool updateMove() const { return m_updateMove; }
    void setUpdateMove(bool update) { m_updateMove = update; }

    // A zoom as the edit palette asks for it (a percent or kWholePage): taken
    // when it differs, shown through zoomChanged; the canvas takes the focus.
    void requestZoom(int percent);
    // While on, a left press zooms in and a right press zooms out by ten.
    bool magnifierMode() const { return m_magnifier; }
    void setMagnifierMode(bool on);

    // What newly drawn items take; the edit palette reads and changes it.
    CurrentAttributes& attributes() { return m_attributes; }
    const CurrentAttributes& attributes() const { return m_attributes; }

    const Selection& selection() const { return m_selection; }
    bool hasSelection() const { return !m_selection.empty(); }
    void clearSelection();
    // Selects every item the selection filter allows, at most 500; beyond
    // that the first 500 and the limit message. Turns to the selection tool.
    void selectAll();

    // The item commands of the Edit menu, the keys and the context menu.
    void deleteSelection();
    void copySelection();
    void cutSelection();
    void pasteItems();
    // Paste is offered once something was copied in this run.
    bool canPaste() const { return m_copied; }
    void undo();
    void redo();

    // Opens the property sheet of a kind (0 the form, or an item kind) on the
    // current item. The sheets live above the canvas; they plug in here and
    // answer whether the records changed.
    using SheetOpener = std::function<bool(FormCanvas& canvas, int kind)>;
    void setSheetOpener(SheetOpener opener) { m_sheetOpener = std::move(opener); }
    void openPropertySheet(int kind);
    // The record a property sheet opens on: {kind, index}; kind 0 for none.
    int currentItemKind() const { return m_currentKind; }
    int currentItemIndex() const { return m_currentIndex; }
    // A sheet that stepped to another item leaves it current.
    void setCurrentItem(int kind, int index) {
        m_currentKind = kind;
        m_currentIndex = index;
    }

    // The context menu while it is open (tests close it), else null.
    QMenu* contextMenu() const { return m_contextMenu; }
    // True while a band, a move or a resize is being dragged.
    bool isDragging() const;

    // The next paint renders the form again instead of copying the buffer.
    void requestFullRedraw();
    // The page and grid from the form's settings and the screen's resolution.
    void recomputeGeometry();
    // The page's position and the scroll bars after the page, zoom or size changed.
    void recomputeScrolling();

    // Where the page is drawn now, for hit-testing and the editing tools.
    const CanvasView& view() const { return m_view; }
    // Full renders done so far (a paint after a resize does none).
    long long renderCount() const { return m_renders; }
    // Paints that rendered only the pixels an edit of known items changed.
    long long regionRenderCount() const;
    // The back buffer (device pixels); null before the first paint.
    const QImage& backBuffer() const { return m_buffer; }

    // The file commands: the document does the work, the canvas then shows
    // the form as it now stands.
    void newForm();
    bool openForm();
    bool openFormFile(const QString& path);
    bool saveForm();
    bool saveFormAs();
    bool canClose();

    // The form handed to the runtime library with this window as the owner
    // of the library's windows.
    void showPreview();
    void printForm();

  signals:
    void titleChanged(const QString& title);
    void toolModeChanged(int mode);
    void zoomChanged(int percent);
    void magnifierModeChanged(bool on);
    // The start and end cell displays of the edit palette.
    void startCellChanged(int row, int col);
    void endCellChanged(int row, int col);
    void endCellBlanked();
    // The selection, the clipboard or the undo history changed: the
    // enabled state of the Edit commands may differ.
    void editStateChanged();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Drawn on the window after the buffer is copied: the selection marks
    // and the outline of a drag.
    // The window rectangles of the selected items whose marks show.
    std::vector<platform::Rect> shownMarks() const;
    // The shown part of the buffer into m_shown with the marks written
    // over it, on two threads; false when it cannot be.
    bool showWithMarks(const QRect& source, std::span<const platform::Rect> marks);

  private:
    // Editing (FormCanvasEditing.cpp).
    void startDrag(int x, int y);
    void finishDrag();
    void finishRubberBand(ItemTracker& band);
    void abandonDrag();
    void showContextMenu(QPoint at);
    void selectUnderPointer(QPoint at);
    void updateCursor(int x, int y);
    void showStartCell(int row, int col);
    void showEndCell(int row, int col);
    void showSpan(const CellSpan& cells);
    // Records one undo step and tells the frame that the Edit commands may differ.
    void changed();
    void onRecordsRestored();
    // Repaints the window from the buffer with new marks, without a render.
    void updateMarks();
    // An edit of the records of entries (and of nothing else) is shown by
    // rendering only their pixels before and after: take the boxes before
    // the edit, then show it with them. Nothing when the next paint renders
    // everything anyway.
    std::optional<std::vector<QRect>> boxesBeforeEdit(std::span<const SelectionEntry> entries);
    void showEdit(std::span<const SelectionEntry> entries, const std::optional<std::vector<QRect>>& before);

    void onRecordsReplaced();
    void showFormAsItStands();
    void ensureBuffer();
    CanvasRenderer::Inputs renderInputs();
    void render();
    void setUpScrollBars();
    void scrollBy(Qt::Orientation orientation, ScrollAction action, int position);
    void onScrollAction(Qt::Orientation orientation, int action);
    void onScrollReleased(Qt::Orientation orientation);
    void runBridge(RuntimeMode mode);

    std::unique_ptr<FormDocument> m_document;
    std::unique_ptr<render::BitmapCache> m_bitmaps;
    CanvasView m_view;
    CanvasView m_renderedView; // where the buffer's page was drawn
    QImage m_buffer;
    // What the window shows, marks included, when there are many marks.
    QImage m_shown;
    static constexpr std::size_t kMarksOnACopy = 32;
    QImage m_placeholder;
    bool m_redraw = true;
    bool m_renderForced = false;
    std::unique_ptr<ItemTracker> m_drag;
    bool m_endShown = false;
    QPoint m_pastePoint;
    bool m_pastePointValid = false;
    QMenu* m_contextMenu = nullptr;
    long long m_renders = 0;
    std::unique_ptr<RegionRedraw> m_regionRedraw;
    int m_toolMode = 1;
    bool m_magnifier = false;
    CurrentAttributes m_attributes;
    Selection m_selection;
    bool m_copied = false;
    SheetOpener m_sheetOpener;
    int m_currentKind = 0;
    int m_currentIndex = 0;
    bool m_modeKeep = false;
    bool m_updateMove = false;
    bool m_settingUpScrolling = false;
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
};

} // namespace editor
