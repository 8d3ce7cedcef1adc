#pragma once

#include "formdesc/FormModel.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// The undo history of one form. It keeps a copy of the records as of the last
// recorded step (the baseline); each step holds only the byte runs in which
// the records differ from the state before, as the XOR of old and new bytes,
// so that one delta turns the later state into the earlier and back. A paste
// of 500 items costs about 130 KB, moving one item a few bytes.
namespace editor {

class UndoHistory {
  public:
    static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

    // The oldest steps are dropped while the history holds more than
    // budgetBytes; the newest step is always kept.
    explicit UndoHistory(std::size_t budgetBytes = kDefaultBudget);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Forgets every step; the given records become the baseline.
    void reset(const formdesc::FormModel& model);
    // Turns the difference between the baseline and the model into one step
    // and drops the steps that could be redone. False when nothing changed.
    bool record(const formdesc::FormModel& model);
    // Records unrecorded changes first, so that they can be redone, then puts
    // back the state before the newest step. False when there is none.
    bool undo(formdesc::FormModel& model);
    // Puts back the state after the next undone step. Unrecorded changes are
    // recorded first, which leaves nothing to redo.
    bool redo(formdesc::FormModel& model);

    // True when the model holds changes that were not recorded.
    bool differsFrom(const formdesc::FormModel& model) const;
    bool canUndo() const { return m_undoable > 0; }
    bool canRedo() const { return m_undoable < m_steps.size(); }
    std::size_t undoSteps() const { return m_undoable; }
    std::size_t redoSteps() const { return m_steps.size() - m_undoable; }
    // Bytes held by the steps (the baseline, one copy of the records, aside).
    std::size_t bytes() const { return m_bytes; }
    std::size_t budget() const { return m_budget; }

  private:
    // The runs of one step, each as the varint gap from the end of the run
    // before, the varint length, then the XOR bytes.
    struct Step {
        std::vector<std::uint8_t> delta;
    };
    struct Run {
        std::uint32_t begin;
        std::uint32_t end;
    };

    void findRuns(const formdesc::FormModel& model);
    Step encodeRuns(const formdesc::FormModel& model) const;
    void apply(const Step& step, formdesc::FormModel& model);
    void dropRedoTail();
    void keepWithinBudget();
    static std::size_t storageOf(const Step& step);

    std::size_t m_budget;
    std::unique_ptr<formdesc::FormModel> m_baseline;
    std::deque<Step> m_steps;
    // Steps [0, m_undoable) can be undone, the rest redone.
    std::size_t m_undoable = 0;
    std::size_t m_bytes = 0;
    std::vector<Run> m_runs; // scratch space of record()
};

} // namespace editor
