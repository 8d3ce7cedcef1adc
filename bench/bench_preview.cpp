// The preview window's figures: composing and showing one page of the
// rendering benchmark form at 100 %, 500 % and the whole page, and the page
// index of a 100,000-page data file with page changes near its start and end.
//
//   bench_preview [--keep-data] [google benchmark flags]
//
// The form and its data come from make_render_bench.py; the large data files
// are written here into a private temporary folder that is removed at the
// end. ZRK_BENCH_FULL_DATA=1 adds a 100,000-page file of the benchmark form's
// own lines (about 680 MB) besides the ones of short lines. The offscreen
// screen is 1920 x 1080 unless ZRK_BENCH_SCREEN=WxH says otherwise, so that
// the back buffer has the size of a common desktop.
#include <benchmark/benchmark.h>

#include "bench/OffscreenScreen.h"

#include <QApplication>
#include <QScreen>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "formdesc/MessageSink.h"
#include "platform/EventPump.h"
#include "runtime/data/DataPages.h"
#include "runtime/preview/PageView.h"
#include "runtime/preview/PreviewDialog.h"
#include "runtime/preview/PreviewPages.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRenderPages = 32; // the generator's distinct page bodies
constexpr int kIndexPages = 100'000;
constexpr int kRenderRows = 60;
constexpr int kShortRows = 3;

// A three-row form for the short-line files; its page count comes from the
// data alone.
constexpr const char* kThreeRowForm =
    "BASE TITLE=\"INDEX\", SIZE=A4, DIRECTION=P, COLUMN=40, ROW=3, LMARGIN=10, TMARGIN=10, "
    "FONT=\"ＭＳ 明朝\"-10, LTYPE=1-1;\r\n"
    "FIELD LOCATE=(1, 1)-(40, 1);\r\n";

struct BenchData {
    fs::path folder;
    std::string renderForm, renderData;
    std::string threeRowForm;
    // Data files of kIndexPages pages by their rows a page, with a form of
    // as many rows.
    struct IndexFile {
        std::string name, form, data;
        int rows;
    };
    std::vector<IndexFile> indexFiles;
};

BenchData g_data;

long maxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentRssKiB() {
    long size = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Lets the peak resident size (ru_maxrss) start again from the present size,
// so that a peak reached earlier (the data generation, Qt's start-up) does not
// hide the next one. Linux only; false when the kernel refuses.
bool resetPeakRss() {
    std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

// Lines "P0000001-01" ..: every line names its page and row.
void writeShortLines(const std::string& path, int pages, int rows) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string chunk;
    char line[32];
    for (int p = 1; p <= pages; ++p) {
        for (int r = 1; r <= rows; ++r) {
            const int n = std::snprintf(line, sizeof line, "P%07d-%02d\r\n", p, r);
            chunk.append(line, static_cast<std::size_t>(n));
        }
        if (chunk.size() > (1u << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
}

// The benchmark form's pages repeated until there are `pages` of them.
bool writeRepeatedPages(const std::string& source, const std::string& path, int sourcePages, int pages) {
    std::ifstream in(source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty() || pages % sourcePages != 0)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < pages / sourcePages; ++i)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool prepareData() {
    std::string pattern = (fs::temp_directory_path() / "zrk-bench-preview-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return false;
    g_data.folder = pattern;
    const std::string command = std::string("/usr/bin/python3 '") + ZRK_BENCH_DIR +
                                "/make_render_bench.py' '" + pattern + "' " + std::to_string(kRenderPages) +
                                " --layout-pages 1";
    if (std::system(command.c_str()) != 0)
        return false;
    g_data.renderForm = (g_data.folder / "render.zrk").string();
    g_data.renderData = (g_data.folder / "render.dat").string();

    g_data.threeRowForm = (g_data.folder / "three.zrk").string();
    std::ofstream(g_data.threeRowForm, std::ios::binary) << kThreeRowForm;

    const std::string short3 = (g_data.folder / "short3.dat").string();
    const std::string short60 = (g_data.folder / "short60.dat").string();
    writeShortLines(short3, kIndexPages, kShortRows);
    writeShortLines(short60, kIndexPages, kRenderRows);
    g_data.indexFiles.push_back({"short_lines/rows:3", g_data.threeRowForm, short3, kShortRows});
    g_data.indexFiles.push_back({"short_lines/rows:60", g_data.renderForm, short60, kRenderRows});

    if (const char* full = std::getenv("ZRK_BENCH_FULL_DATA"); full && std::string(full) == "1") {
        const std::string path = (g_data.folder / "full60.dat").string();
        if (!writeRepeatedPages(g_data.renderData, path, kRenderPages, kIndexPages))
            return false;
        g_data.indexFiles.push_back({"form_lines/rows:60", g_data.renderForm, path, kRenderRows});
    }
    for (const auto& file : g_data.indexFiles)
        std::fprintf(stderr, "%s: %.1f MB\n", file.data.c_str(), fs::file_size(file.data) / 1e6);
    return true;
}

// The pages of a form and its data, read the way the preview job reads them.
std::unique_ptr<runtime::PreviewPages> openPages(const std::string& form, const std::string& data) {
    auto pages = std::make_unique<runtime::PreviewPages>(form, data, nullptr);
    if (!pages->readForm() || !pages->loadFirstPage())
        return nullptr;
    return pages;
}

// The preview window over the benchmark form, sized as the preview job sizes
// it and shown, with the page index built.
struct ShownPreview {
    std::unique_ptr<runtime::PreviewPages> pages;
    std::unique_ptr<runtime::PreviewDialog> dialog;

    bool open() {
        pages = openPages(g_data.renderForm, g_data.renderData);
        if (!pages)
            return false;
        dialog = std::make_unique<runtime::PreviewDialog>(*pages, runtime::TargetChooser{});
        if (!dialog->buildPageIndex())
            return false;
        dialog->setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(10, 10, -10, -30));
        dialog->show();
        QCoreApplication::processEvents();
        return dialog->isVisible();
    }
};

// zoom 0: the whole page for the view's size.
void setViewZoom(runtime::PageView& view, int zoom) {
    view.setZoom(zoom > 0 ? zoom : view.wholePageZoom());
    QCoreApplication::processEvents();
}

// One page composed into the back buffer and copied to the window: the paint
// that follows a page change, a zoom or a scroll.
void composeAndShow(benchmark::State& state) {
    ShownPreview preview;
    if (!preview.open()) {
        state.SkipWithError("the benchmark form or its data did not open");
        return;
    }
    runtime::PageView& view = preview.dialog->pageView();
    setViewZoom(view, static_cast<int>(state.range(0)));
    const int before = view.compositions();
    for (auto _ : state) {
        view.refresh();
        view.viewport()->repaint();
    }
    if (view.compositions() - before != static_cast<int>(state.iterations()))
        state.SkipWithError("a paint did not compose the page");
    state.counters["zoom_pct"] = view.zoom();
    state.counters["buffer_w"] = view.backBuffer().width();
    state.counters["buffer_h"] = view.backBuffer().height();
    state.counters["view_w"] = view.viewport()->width();
    state.counters["view_h"] = view.viewport()->height();
}

// The next page loaded through the index, then composed and shown.
void nextPageAndShow(benchmark::State& state) {
    ShownPreview preview;
    if (!preview.open()) {
        state.SkipWithError("the benchmark form or its data did not open");
        return;
    }
    runtime::PageView& view = preview.dialog->pageView();
    setViewZoom(view, static_cast<int>(state.range(0)));
    int page = 1;
    for (auto _ : state) {
        page = page % kRenderPages + 1;
        if (!preview.dialog->goToPage(page)) {
            state.SkipWithError("a page did not load");
            break;
        }
        view.viewport()->repaint();
    }
    state.counters["zoom_pct"] = view.zoom();
}

// The index of every page, built as the preview builds it before the window
// first shows.
void buildIndex(benchmark::State& state, const BenchData::IndexFile* file) {
    auto pages = openPages(file->form, file->data);
    if (!pages) {
        state.SkipWithError("the index benchmark's form or data did not open");
        return;
    }
    // The first index, measured apart: its peak memory above the size
    // before, and the growth that stays with it.
    const bool peakReset = resetPeakRss();
    const long rssBefore = currentRssKiB();
    if (!pages->buildIndex()) {
        state.SkipWithError("the index could not be built");
        return;
    }
    const long peakDelta = maxRssKiB() - rssBefore;
    const long heldDelta = currentRssKiB() - rssBefore;
    for (auto _ : state) {
        if (!pages->buildIndex()) {
            state.SkipWithError("the index could not be built");
            break;
        }
    }
    // The index's own size, from an index built the same way.
    const auto index = runtime::buildPageIndex(file->data, file->rows);
    const double indexBytes =
        index ? static_cast<double>(index->entries.capacity() * sizeof(runtime::PageEntry)) : 0;
    state.counters["pages"] = pages->pageCount();
    state.counters["index_KiB"] = indexBytes / 1024;
    if (peakReset)
        state.counters["peak_rss_delta_KiB"] = static_cast<double>(peakDelta);
    state.counters["held_rss_delta_KiB"] = static_cast<double>(heldDelta);
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(fs::file_size(file->data)) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
    if (pages->pageCount() != kIndexPages)
        state.SkipWithError("the index does not hold every page");
}

// One page change through the index: the time must not grow with the page
// number.
void goToPage(benchmark::State& state, const BenchData::IndexFile* file) {
    auto pages = openPages(file->form, file->data);
    if (!pages || !pages->buildIndex()) {
        state.SkipWithError("the index benchmark's form or data did not open");
        return;
    }
    const int target = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (!pages->goTo(target)) {
            state.SkipWithError("the page did not load");
            break;
        }
    }
    state.counters["page"] = pages->currentPage();
}

void registerBenchmarks() {
    // The index first: its peak memory is read before anything bigger ran.
    for (const auto& file : g_data.indexFiles) {
        benchmark::RegisterBenchmark(("buildIndex/" + file.name).c_str(), buildIndex, &file)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("goToPage/" + file.name).c_str(), goToPage, &file)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime()
            ->Arg(1)
            ->Arg(2)
            ->Arg(kIndexPages / 2)
            ->Arg(kIndexPages);
    }
    // Zoom 0 is the whole page.
    benchmark::RegisterBenchmark("composeAndShow/zoom", composeAndShow)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Arg(100)
        ->Arg(500)
        ->Arg(0);
    benchmark::RegisterBenchmark("nextPageAndShow/zoom", nextPageAndShow)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Arg(100);
}

} // namespace

int main(int argc, char** argv) {
    bool keep = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--keep-data")
            keep = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;

    if (!prepareData()) {
        std::fprintf(stderr, "bench_preview: could not write the benchmark data\n");
        if (!g_data.folder.empty())
            fs::remove_all(g_data.folder);
        return 1;
    }
    chooseOffscreenScreen(g_data.folder.string());
    int status = 0;
    {
        int appArgc = 1;
        char name[] = "bench_preview";
        char* appArgv[] = {name, nullptr};
        QApplication app(appArgc, appArgv);
        // Messages would stop the run; record them instead.
        formdesc::RecordingMessageSink messages;
        const formdesc::ScopedMessageSink sink(messages);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        std::fprintf(stderr, "screen %dx%d on %s\n", screen.width(), screen.height(),
                     qPrintable(QGuiApplication::platformName()));

        registerBenchmarks();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        for (const auto& message : messages.messages)
            std::fprintf(stderr, "message: %s\n", message.text.c_str());
        status = messages.messages.empty() ? 0 : 1;
    }
    if (keep)
        std::fprintf(stderr, "data kept in %s\n", g_data.folder.c_str());
    else
        fs::remove_all(g_data.folder);
    return status;
}
