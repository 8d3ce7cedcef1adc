// The designer canvas's figures: a full render of a form at the item limits
// (1,024 fields and 1,024 figures) into the back buffer at 100 % and 200 %,
// a repaint after a resize, which only copies the buffer, and editing a
// selection of 500 items on that form: one arrow-key step with the render of
// what it changed, one mouse move of a drag with its repaint, and the drop;
// and the
// pointer moving over that form with nothing held (the cursor follows what
// a click there would pick).
//
//   bench_canvas [google benchmark flags]
//
// The offscreen screen is 1920 x 1080 unless ZRK_BENCH_SCREEN=WxH says
// otherwise, so that the back buffer has the size of a common desktop.
#include <benchmark/benchmark.h>

#include "bench/OffscreenScreen.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/FormGenerator.h"
#include "editor/canvas/CanvasRenderer.h"
#include "editor/canvas/FormCanvas.h"
#include "editor/document/DocumentUi.h"
#include "formdesc/MessageSink.h"
#include "platform/Stamps.h"
#include "render/BitmapCache.h"
#include "tests/support/CanvasDriver.h"

namespace {

// The benchmarks never open or save: every dialog is cancelled.
class NoDialogs : public editor::DocumentUi {
  public:
    QString chooseFileToOpen(const QString&) override { return {}; }
    QString chooseFileToSave(const QString&, const QString&) override { return {}; }
    QString chooseDataFileToSave(const QString&, const QString&) override { return {}; }
    editor::SaveAnswer askToSaveChanges() override { return editor::SaveAnswer::Cancel; }
};

// The canvas in a window of its own; as a child it is resized at once, not
// when the window system answers.
struct Canvas {
    NoDialogs ui;
    QWidget window;
    editor::FormCanvas& canvas = *new editor::FormCanvas(ui, &window);

    explicit Canvas(int zoom) {
        std::unique_ptr<formdesc::FormModel> form = bench::makeFullForm();
        canvas.document().model() = *form;
        canvas.recomputeGeometry();
        window.resize(1400, 1000);
        canvas.setGeometry(0, 0, 1200, 800);
        window.show();
        canvas.setZoom(zoom);
        QApplication::processEvents();
    }
};

// The renderer alone, into a buffer as large as the screen.
void fullRender(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    const std::unique_ptr<formdesc::FormModel> form = bench::makeFullForm();
    const QSize screen = QGuiApplication::primaryScreen()->virtualSize();
    QImage buffer(screen, QImage::Format_RGB32);
    editor::CanvasView view;
    view.page = editor::CanvasGeometry::pageGeometry(form->form, 96, 96);
    view.columns = form->form.columns;
    view.rows = form->form.rows;
    view.zoom = zoom;
    const QImage placeholder = editor::CanvasRenderer::placeholderPicture();
    render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
    // Characters and lines by stamps, kept from render to render, as the canvas renders.
    platform::Stamps stamps(96);
    for (auto _ : state)
        editor::CanvasRenderer::render(buffer, 1.0, {*form, view, 96, 96, bitmaps, &placeholder}, &stamps);
    state.counters["fields"] = form->fieldCount;
    state.counters["figures"] = form->figureCount;
}

// A paint of the canvas window that renders the whole form and copies it.
void fullRepaint(benchmark::State& state) {
    Canvas c(static_cast<int>(state.range(0)));
    const long long before = c.canvas.renderCount();
    for (auto _ : state) {
        c.canvas.requestFullRedraw();
        c.canvas.viewport()->repaint();
    }
    state.counters["renders"] = static_cast<double>(c.canvas.renderCount() - before);
}

// A resize that leaves the page where it is, then the paint: a copy only.
void repaintAfterResize(benchmark::State& state) {
    Canvas c(200);
    c.canvas.viewport()->repaint();
    const long long before = c.canvas.renderCount();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        c.canvas.setGeometry(0, 0, wide ? 1250 : 1200, wide ? 850 : 800);
        c.canvas.viewport()->repaint();
    }
    // Must stay 0: a render here would mean the resize did not only copy.
    state.counters["renders"] = static_cast<double>(c.canvas.renderCount() - before);
}

// Selects 500 items (the most a selection takes) with a band over the whole grid.
void selectFiveHundred(editor::FormCanvas& canvas) {
    testsupport::CanvasDriver mouse(canvas);
    mouse.drag(mouse.at(1, 1, 0, 0) - QPoint(3, 3),
               mouse.at(canvas.view().columns, canvas.view().rows) + QPoint(9, 9));
    if (canvas.selection().size() != editor::Selection::kMaxEntries)
        std::fprintf(stderr, "selected %d items\n", canvas.selection().size());
    // The band asked for a full render: done here, before the timed steps.
    canvas.viewport()->repaint();
}

// One arrow key on 500 selected items, the undo step it records and the
// repaint that follows, which renders only the pixels the items covered
// before and cover now ("renders" full renders must stay 0).
void arrowStep(benchmark::State& state) {
    Canvas c(100);
    selectFiveHundred(c.canvas);
    testsupport::CanvasDriver keys(c.canvas);
    bool right = false;
    const long long before = c.canvas.renderCount();
    const long long regions = c.canvas.regionRenderCount();
    for (auto _ : state) {
        right = !right;
        keys.key(right ? Qt::Key_Right : Qt::Key_Left);
        c.canvas.viewport()->repaint();
    }
    state.counters["selected"] = c.canvas.selection().size();
    state.counters["renders"] = static_cast<double>(c.canvas.renderCount() - before);
    state.counters["regions"] = static_cast<double>(c.canvas.regionRenderCount() - regions);
}

// Dragging 500 selected items: one mouse move (the snapping and the cell
// displays) and the repaint of the window with the marks and the outline.
void dragStep(benchmark::State& state) {
    Canvas c(100);
    selectFiveHundred(c.canvas);
    testsupport::CanvasDriver mouse(c.canvas);
    const editor::SelectionEntry& first = c.canvas.selection().entries()[0];
    const QPoint from = mouse.at(first.cells.col1, first.cells.row1);
    mouse.press(from);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        mouse.move(from + QPoint(step * 3, step * 2));
        c.canvas.viewport()->repaint();
    }
    mouse.release(from);
    state.counters["selected"] = c.canvas.selection().size();
}

// Letting go of a drag of 500 items: the records move, the undo step is
// recorded and what they covered before and cover now is rendered again.
void dragDrop(benchmark::State& state) {
    Canvas c(100);
    selectFiveHundred(c.canvas);
    testsupport::CanvasDriver mouse(c.canvas);
    bool away = false;
    const long long before = c.canvas.renderCount();
    const long long regions = c.canvas.regionRenderCount();
    for (auto _ : state) {
        state.PauseTiming();
        const editor::SelectionEntry& first = c.canvas.selection().entries()[0];
        const QPoint from = mouse.at(first.cells.col1, first.cells.row1);
        away = !away;
        const QPoint to = from + QPoint(away ? c.canvas.view().page.cellW : -c.canvas.view().page.cellW, 0);
        mouse.press(from);
        mouse.move(to);
        state.ResumeTiming();
        mouse.release(to);
        c.canvas.viewport()->repaint();
    }
    state.counters["selected"] = c.canvas.selection().size();
    state.counters["renders"] = static_cast<double>(c.canvas.renderCount() - before);
    state.counters["regions"] = static_cast<double>(c.canvas.regionRenderCount() - regions);
}

// The pointer moving over a full form with no button held: the cell display
// and the cursor, which asks what a click there would pick.
void pointerMove(benchmark::State& state) {
    Canvas c(100);
    testsupport::CanvasDriver mouse(c.canvas);
    const QPoint from = mouse.at(1, 1);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 200;
        mouse.move(from + QPoint(step * 5, step * 3));
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    QTemporaryDir folder;
    chooseOffscreenScreen(folder.path().toStdString());
    int appArgc = 1;
    char name[] = "bench_canvas";
    char* appArgv[] = {name, nullptr};
    QApplication app(appArgc, appArgv);
    formdesc::RecordingMessageSink messages;
    const formdesc::ScopedMessageSink sink(messages);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    std::fprintf(stderr, "screen %dx%d on %s\n", screen.width(), screen.height(),
                 qPrintable(QGuiApplication::platformName()));

    benchmark::RegisterBenchmark("fullRender/zoom", fullRender)
        ->Unit(benchmark::kMillisecond)
        ->Arg(100)
        ->Arg(200);
    benchmark::RegisterBenchmark("fullRepaint/zoom", fullRepaint)
        ->Unit(benchmark::kMillisecond)
        ->Arg(100)
        ->Arg(200);
    benchmark::RegisterBenchmark("repaintAfterResize", repaintAfterResize)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("edit500/arrowStep", arrowStep)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("edit500/dragStep", dragStep)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("edit500/dragDrop", dragDrop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("pointerMove", pointerMove)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& message : messages.messages)
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
    return messages.messages.empty() ? 0 : 1;
}
