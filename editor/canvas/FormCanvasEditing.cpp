// FormCanvas's editing: the mouse and keys of the tools, the marks, the item
// commands and the context menu. The rules themselves live in ItemTracker,
// ItemPicker, ItemEdits and ClipboardBlock; this file only drives them.
#include "editor/canvas/FormCanvas.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "editor/canvas/ClipboardBlock.h"
#include "editor/canvas/ItemEdits.h"
#include "editor/canvas/ItemPicker.h"
#include "editor/canvas/ItemTracker.h"
#include "editor/document/ClipboardOwnership.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"

namespace editor {

namespace {

constexpr int kRangeSelect = 1;

const QCursor& trackerCursor(TrackerHit hit) {
    static const auto make = [](const char* name) {
        return QCursor(QPixmap(QStringLiteral(":/canvas/cursors/%1.xpm").arg(QLatin1String(name))), 15, 15);
    };
    static const QCursor nwse = make("resize_nwse");
    static const QCursor nesw = make("resize_nesw");
    static const QCursor ns = make("resize_ns");
    static const QCursor we = make("resize_we");
    static const QCursor move = make("move");
    switch (hit) {
    case TrackerHit::TopLeft:
    case TrackerHit::BottomRight:
        return nwse;
    case TrackerHit::TopRight:
    case TrackerHit::BottomLeft:
        return nesw;
    case TrackerHit::Top:
    case TrackerHit::Bottom:
        return ns;
    case TrackerHit::Left:
    case TrackerHit::Right:
        return we;
    default:
        return move;
    }
}

const QCursor& magnifierCursor() {
    static const QCursor cursor(QPixmap(QStringLiteral(":/canvas/cursors/magnifier.xpm")), 12, 12);
    return cursor;
}

} // namespace

bool FormCanvas::isDragging() const {
    return m_drag != nullptr;
}

void FormCanvas::clearSelection() {
    abandonDrag();
    if (m_selection.empty())
        return;
    m_selection.clear();
    viewport()->update();
    emit editStateChanged();
}

void FormCanvas::showStartCell(int row, int col) {
    emit startCellChanged(row, col);
}

void FormCanvas::showEndCell(int row, int col) {
    m_endShown = true;
    emit endCellChanged(row, col);
}

void FormCanvas::showSpan(const CellSpan& cells) {
    showStartCell(cells.row1, cells.col1);
    showEndCell(cells.row2, cells.col2);
}

void FormCanvas::changed() {
    m_document->recordChange();
    emit editStateChanged();
}

void FormCanvas::updateMarks() {
    m_redraw = m_renderForced;
    viewport()->update();
}

void FormCanvas::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_drag) {
        // The right button gives up a drag, as Esc does; a left press means
        // the release of the last drag never came, and it is given up too.
        const bool stale = event->button() == Qt::LeftButton;
        abandonDrag();
        if (!stale)
            return;
    }
    if (event->button() == Qt::LeftButton) {
        if (m_magnifier) {
            requestZoom((m_view.zoom + 10) / 10 * 10);
            return;
        }
        setFocus();
        startDrag(at.x(), at.y());
    } else if (event->button() == Qt::RightButton) {
        if (m_magnifier)
            requestZoom((m_view.zoom - 1) / 10 * 10);
        else
            showContextMenu(at);
    }
}

void FormCanvas::startDrag(int x, int y) {
    if (m_toolMode == kRangeSelect) {
        const auto entries = m_selection.entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const TrackerHit hit = ItemTracker::hitTest(ItemTracker::windowRect(m_view, entries[i]), x, y);
            if (hit != TrackerHit::Nothing) {
                m_drag = std::make_unique<ItemTracker>(
                    ItemTracker::moveOrResize(m_view, m_selection, int(i), hit, x, y));
                return;
            }
        }
    }
    if (!m_selection.empty()) {
        m_selection.clear();
        emit editStateChanged();
    }
    m_drag = std::make_unique<ItemTracker>(ItemTracker::rubberBand(m_view, x, y));
    requestFullRedraw();
}

void FormCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_drag && !(event->buttons() & Qt::LeftButton)) {
        abandonDrag(); // the button was let go where the canvas did not hear it
        return;
    }
    if (m_drag) {
        const ItemTracker::CellChange change = m_drag->track(m_view, at.x(), at.y());
        const CellSpan& cells = m_drag->cells();
        if (change.first)
            showStartCell(cells.row1, cells.col1);
        if (change.last)
            showEndCell(cells.row2, cells.col2);
        updateMarks();
        return;
    }
    if (m_selection.empty()) {
        const CellPoint cell = CanvasGeometry::windowPointToCell(m_view, at.x(), at.y());
        showStartCell(cell.row, cell.col);
        if (m_endShown) {
            m_endShown = false;
            emit endCellBlanked();
        }
    }
    updateCursor(at.x(), at.y());
}

void FormCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag && event->button() == Qt::LeftButton)
        finishDrag();
}

void FormCanvas::finishDrag() {
    std::unique_ptr<ItemTracker> drag = std::move(m_drag);
    if (drag->isRubberBand()) {
        finishRubberBand(*drag);
    } else if (drag->dragged() && drag->entryIndex() < m_selection.size()) {
        const CellSpan& from = drag->startCells();
        const CellSpan& to = drag->cells();
        // A move changes every selected record, a resize only the one dragged.
        const bool move = drag->hit() == TrackerHit::Middle;
        const std::span<const SelectionEntry> edited =
            move ? m_selection.entries() : m_selection.entries().subspan(std::size_t(drag->entryIndex()), 1);
        const auto before = boxesBeforeEdit(edited);
        if (move)
            ItemEdits::move(m_document->model(), m_selection, to.col1 - from.col1, to.row1 - from.row1);
        else
            ItemEdits::resize(m_document->model(), m_selection.entries()[std::size_t(drag->entryIndex())],
                              to);
        changed();
        showEdit(edited, before);
        return;
    }
    requestFullRedraw();
}

void FormCanvas::finishRubberBand(ItemTracker& band) {
    formdesc::FormModel& model = m_document->model();
    if (band.dragged()) {
        band.finishRubberBand(m_view);
        if (m_toolMode == kRangeSelect) {
            ItemPicker::rangeSelect(m_view, model, band.rect(), m_attributes.selectionFilter, m_selection);
        } else {
            const bool room =
                m_toolMode == formdesc::kKindField ? m_document->canAddField() : m_document->canAddFigure();
            if (room && ItemEdits::create(model, m_toolMode, band.cells(), m_attributes, m_selection))
                changed();
        }
    } else if (const auto hit = ItemPicker::pick(m_view, model, band.pressX(), band.pressY(),
                                                 m_attributes.selectionFilter)) {
        m_selection.add(*hit);
    }
    showSpan(band.cells());
    emit editStateChanged();
    if (!m_modeKeep)
        setToolMode(kRangeSelect);
}

void FormCanvas::abandonDrag() {
    if (!m_drag)
        return;
    m_drag.reset();
    requestFullRedraw();
}

void FormCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_magnifier || m_drag)
        return;
    const QPoint at = event->position().toPoint();
    for (const SelectionEntry& entry : m_selection.entries()) {
        if (ItemTracker::hitTest(ItemTracker::windowRect(m_view, entry), at.x(), at.y()) !=
            TrackerHit::Nothing) {
            m_currentKind = entry.kind;
            m_currentIndex = entry.index;
            openPropertySheet(entry.kind);
            return;
        }
    }
}

void FormCanvas::openPropertySheet(int kind) {
    abandonDrag();
    if (kind == 0) {
        m_currentKind = 0;
        m_currentIndex = 0;
    }
    if (!m_sheetOpener)
        return;
    formdesc::FormModel& model = m_document->model();
    const formdesc::FormInfo before = model.form;
    const bool changedByOk = m_sheetOpener(*this, kind);
    // An Apply, or a step that stored, before a Cancel changed the records
    // too: they are recorded for undo and shown like any other change.
    changed();
    const bool formChanged = !formdesc::sameBytes(before, model.form);
    if (kind == 0 && (changedByOk || formChanged))
        m_document->setWindowTitle(FormDocument::titleFor(model.form));
    if (formChanged) {
        recomputeGeometry();
        recomputeScrolling();
    }
    ItemEdits::refresh(model, m_selection);
    requestFullRedraw();
}

void FormCanvas::keyPressEvent(QKeyEvent* event) {
    if (m_drag) {
        if (event->key() == Qt::Key_Escape)
            abandonDrag();
        event->accept();
        return;
    }
    int dCol = 0;
    int dRow = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dCol = -1;
        break;
    case Qt::Key_Right:
        dCol = 1;
        break;
    case Qt::Key_Up:
        dRow = -1;
        break;
    case Qt::Key_Down:
        dRow = 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (m_selection.empty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const auto before = boxesBeforeEdit(m_selection.entries());
    ItemEdits::nudge(m_document->model(), m_selection, dCol, dRow);
    showSpan(m_selection.bounds());
    changed();
    showEdit(m_selection.entries(), before);
    event->accept();
}

void FormCanvas::updateCursor(int x, int y) {
    if (m_magnifier) {
        viewport()->setCursor(magnifierCursor());
        return;
    }
    for (const SelectionEntry& entry : m_selection.entries()) {
        const TrackerHit hit = ItemTracker::hitTest(ItemTracker::windowRect(m_view, entry), x, y);
        if (hit != TrackerHit::Nothing) {
            viewport()->setCursor(trackerCursor(hit));
            return;
        }
    }
    // Over an item a click would take: the move cross, as over a selected one.
    if (m_toolMode == kRangeSelect &&
        ItemPicker::pick(m_view, m_document->model(), x, y, m_attributes.selectionFilter)) {
        viewport()->setCursor(trackerCursor(TrackerHit::Middle));
        return;
    }
    viewport()->unsetCursor();
}

std::vector<platform::Rect> FormCanvas::shownMarks() const {
    // Marks reach a handle's size around the item; those out of sight are skipped.
    const QRect shown =
        viewport()->rect().adjusted(-ItemTracker::kHandleSize - 1, -ItemTracker::kHandleSize - 1,
                                    ItemTracker::kHandleSize + 1, ItemTracker::kHandleSize + 1);
    std::vector<platform::Rect> marked;
    for (const SelectionEntry& entry : m_selection.entries()) {
        const platform::Rect r = ItemTracker::windowRect(m_view, entry);
        if (QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                  QPoint(std::max(r.left, r.right), std::max(r.top, r.bottom)))
                .intersects(shown))
            marked.push_back(r);
    }
    return marked;
}

void FormCanvas::showContextMenu(QPoint at) {
    m_pastePoint = at;
    m_pastePointValid = true;
    selectUnderPointer(at);
    QMenu menu(this);
    menu.setAccessibleName(QStringLiteral("編集"));
    const bool selected = !m_selection.empty();
    menu.addAction(QStringLiteral("切り取り(&T)"), this, &FormCanvas::cutSelection)->setEnabled(selected);
    menu.addAction(QStringLiteral("複写(&C)"), this, &FormCanvas::copySelection)->setEnabled(selected);
    menu.addAction(QStringLiteral("貼り付け(&P)"), this, &FormCanvas::pasteItems)->setEnabled(m_copied);
    menu.addAction(QStringLiteral("削除(&D)"), this, &FormCanvas::deleteSelection)->setEnabled(selected);
    m_contextMenu = &menu;
    menu.exec(viewport()->mapToGlobal(at));
    m_contextMenu = nullptr;
}

void FormCanvas::selectUnderPointer(QPoint at) {
    // An item not yet selected is taken alone, so that the menu acts on it;
    // a click on a selected item keeps the whole selection.
    const auto hit =
        ItemPicker::pick(m_view, m_document->model(), at.x(), at.y(), m_attributes.selectionFilter);
    if (!hit)
        return;
    for (const SelectionEntry& entry : m_selection.entries())
        if (entry.kind == hit->kind && entry.index == hit->index)
            return;
    m_selection.clear();
    m_selection.add(*hit);
    showSpan(hit->cells);
    viewport()->update();
    emit editStateChanged();
}

void FormCanvas::deleteSelection() {
    abandonDrag();
    if (m_selection.empty())
        return;
    ItemEdits::remove(m_document->model(), m_selection);
    changed();
    requestFullRedraw();
}

void FormCanvas::copySelection() {
    if (m_selection.empty())
        return;
    const std::vector<std::uint8_t> block = ClipboardBlock::encode(m_document->model(), m_selection);
    auto* data = new QMimeData; // the clipboard takes it over
    data->setData(QLatin1String(FormDocument::kClipboardFormat),
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    ClipboardOwnership::put(data);
    m_copied = true;
    emit editStateChanged();
}

void FormCanvas::cutSelection() {
    abandonDrag();
    copySelection();
    deleteSelection();
}

void FormCanvas::pasteItems() {
    abandonDrag();
    const QPoint point = m_pastePointValid ? m_pastePoint : QPoint(0, 0);
    m_pastePointValid = false;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    const QByteArray bytes = data->data(QLatin1String(FormDocument::kClipboardFormat));
    const auto items = ClipboardBlock::decode(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    if (!items)
        return;
    const CellPoint target = CanvasGeometry::windowPointToCell(m_view, point.x(), point.y());
    switch (ItemEdits::paste(m_document->model(), *items, target, m_selection)) {
    case PasteResult::OverLimit:
        FormDocument::reportItemLimit();
        return;
    case PasteResult::Unsavable:
        formdesc::messageSink().show(formdesc::kCaptionWarning,
                                     "保存すると内容が変わる値を持つ項目があるため、貼り付けできません",
                                     formdesc::MessageIcon::Exclamation);
        return;
    case PasteResult::Nothing:
        return;
    case PasteResult::Pasted:
        break;
    }
    showSpan(m_selection.bounds());
    changed();
    requestFullRedraw();
}

void FormCanvas::undo() {
    abandonDrag();
    m_document->undo();
}

void FormCanvas::redo() {
    abandonDrag();
    m_document->redo();
}

void FormCanvas::onRecordsRestored() {
    m_drag.reset();
    m_selection.clear();
    recomputeGeometry();
    recomputeScrolling();
    requestFullRedraw();
    emit editStateChanged();
}

} // namespace editor
