// The designer's undo history on a full form (1,024 fields and 1,024
// figures, or room left for a paste):
//  - recording, undoing and redoing a paste of 500 items (250 fields and 250
//    figures appended, then recorded as one step);
//  - the memory that 1,000 undo steps hold, for typical steps (one item moved
//    by a cell) and heavy ones (500 items moved by a cell), as the counter
//    historyBytes.
//
//   bench_undo [google benchmark flags]
#include <benchmark/benchmark.h>

#include "bench/FormGenerator.h"
#include "editor/document/DocumentUi.h"
#include "editor/document/FormDocument.h"

#include <cstring>
#include <memory>

namespace {

using formdesc::FormModel;

constexpr int kPasteEach = 250; // fields, and as many figures
constexpr int kSteps = 1000;

// The benchmarks never open or save: every dialog is cancelled.
class NoDialogs : public editor::DocumentUi {
  public:
    QString chooseFileToOpen(const QString&) override { return {}; }
    QString chooseFileToSave(const QString&, const QString&) override { return {}; }
    QString chooseDataFileToSave(const QString&, const QString&) override { return {}; }
    editor::SaveAnswer askToSaveChanges() override { return editor::SaveAnswer::Cancel; }
};

// A full form with room for the paste: the free slots are empty.
std::unique_ptr<FormModel> formWithRoom() {
    std::unique_ptr<FormModel> form = bench::makeFullForm();
    form->fieldCount -= kPasteEach;
    form->figureCount -= kPasteEach;
    std::memset(&form->fields[form->fieldCount], 0, sizeof(formdesc::FieldInfo) * kPasteEach);
    std::memset(&form->figures[form->figureCount], 0, sizeof(formdesc::FigureInfo) * kPasteEach);
    return form;
}

// Pastes copies of the first items one cell lower, as a paste does.
void paste(FormModel& form) {
    for (int i = 0; i < kPasteEach; ++i) {
        formdesc::FieldInfo field = form.fields[i];
        ++field.startRow;
        ++field.endRow;
        form.appendField(field);
        formdesc::FigureInfo figure = form.figures[i];
        ++figure.startRow;
        ++figure.endRow;
        form.appendFigure(figure);
    }
}

struct Document {
    NoDialogs ui;
    editor::FormDocument document{ui};
};

enum PasteOperation { kRecord, kUndo, kRedo };

void pasteStep(benchmark::State& state) {
    const auto operation = static_cast<PasteOperation>(state.range(0));
    const std::unique_ptr<FormModel> before = formWithRoom();
    const std::unique_ptr<FormModel> after = std::make_unique<FormModel>(*before);
    paste(*after);
    Document d;
    editor::FormDocument& document = d.document;
    document.model() = *before;
    document.clearHistory();
    document.model() = *after;
    document.recordChange();
    for (auto _ : state) {
        switch (operation) {
        case kRecord:
            state.PauseTiming();
            document.model() = *before;
            document.clearHistory();
            document.model() = *after;
            state.ResumeTiming();
            document.recordChange();
            break;
        case kUndo:
            benchmark::DoNotOptimize(document.undo());
            state.PauseTiming();
            document.redo();
            state.ResumeTiming();
            break;
        case kRedo:
            state.PauseTiming();
            document.undo();
            state.ResumeTiming();
            benchmark::DoNotOptimize(document.redo());
            break;
        }
    }
    state.counters["historyBytes"] = static_cast<double>(document.historyBytes());
}

// 1,000 steps that each move `items` items (half fields, half figures) by one
// column, to the right for 100 steps, then back, and so on.
void thousandMoves(benchmark::State& state) {
    const int items = static_cast<int>(state.range(0));
    const std::unique_ptr<FormModel> full = bench::makeFullForm();
    Document d;
    editor::FormDocument& document = d.document;
    for (auto _ : state) {
        state.PauseTiming();
        document.model() = *full;
        document.clearHistory();
        state.ResumeTiming();
        for (int step = 0; step < kSteps; ++step) {
            const int delta = (step / 100) % 2 == 0 ? 1 : -1;
            FormModel& form = document.model();
            for (int n = 0; n < items; ++n) {
                // Items spread over the form, as a selection would be.
                const int index = (step + n * 2) % formdesc::kMaxItems;
                if (n % 2 == 0) {
                    form.fields[index].startCol += delta;
                    form.fields[index].endCol += delta;
                } else {
                    form.figures[index].startCol += delta;
                    form.figures[index].endCol += delta;
                }
            }
            document.recordChange();
        }
    }
    const auto bytes = static_cast<double>(document.historyBytes());
    state.counters["historyBytes"] = bytes;
    state.counters["bytesPerStep"] = bytes / kSteps;
}

} // namespace

BENCHMARK(pasteStep)
    ->ArgName("record0_undo1_redo2")
    ->Arg(kRecord)
    ->Arg(kUndo)
    ->Arg(kRedo)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(thousandMoves)->ArgName("items")->Arg(1)->Arg(500)->Unit(benchmark::kMillisecond);
