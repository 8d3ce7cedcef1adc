#include "editor/document/UndoHistory.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace editor {

namespace {

using formdesc::FormModel;

// The records are compared and restored as one block of bytes.
static_assert(std::is_trivially_copyable_v<FormModel>);
constexpr std::size_t kModelBytes = sizeof(FormModel);
// Equal blocks are skipped with memcmp; only differing ones are read byte by byte.
constexpr std::size_t kBlock = 256;
// A gap this short costs less inside a run than the header of a new run.
constexpr std::uint32_t kMergeGap = 3;

const std::uint8_t* bytesOf(const FormModel& model) {
    return reinterpret_cast<const std::uint8_t*>(&model);
}

std::uint8_t* bytesOf(FormModel& model) {
    return reinterpret_cast<std::uint8_t*>(&model);
}

std::size_t varintSize(std::uint32_t value) {
    std::size_t size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

void putVarint(std::uint8_t*& out, std::uint32_t value) {
    while (value >= 0x80) {
        *out++ = static_cast<std::uint8_t>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<std::uint8_t>(value);
}

std::uint32_t getVarint(const std::uint8_t*& in) {
    std::uint32_t value = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
}

} // namespace

UndoHistory::UndoHistory(std::size_t budgetBytes)
    : m_budget(budgetBytes), m_baseline(std::make_unique<FormModel>()) {}

UndoHistory::~UndoHistory() = default;

void UndoHistory::reset(const FormModel& model) {
    *m_baseline = model;
    m_steps.clear();
    m_undoable = 0;
    m_bytes = 0;
}

bool UndoHistory::record(const FormModel& model) {
    findRuns(model);
    if (m_runs.empty())
        return false;
    dropRedoTail();
    Step step = encodeRuns(model);
    // Only the runs differ, so only they are copied into the baseline.
    std::uint8_t* baseline = bytesOf(*m_baseline);
    const std::uint8_t* now = bytesOf(model);
    for (const Run& run : m_runs)
        std::memcpy(baseline + run.begin, now + run.begin, run.end - run.begin);
    m_bytes += storageOf(step);
    m_steps.push_back(std::move(step));
    ++m_undoable;
    keepWithinBudget();
    return true;
}

bool UndoHistory::differsFrom(const FormModel& model) const {
    return std::memcmp(m_baseline.get(), &model, kModelBytes) != 0;
}

bool UndoHistory::undo(FormModel& model) {
    record(model);
    if (!canUndo())
        return false;
    --m_undoable;
    apply(m_steps[m_undoable], model);
    return true;
}

bool UndoHistory::redo(FormModel& model) {
    record(model);
    if (!canRedo())
        return false;
    apply(m_steps[m_undoable], model);
    ++m_undoable;
    return true;
}

void UndoHistory::findRuns(const FormModel& model) {
    m_runs.clear();
    const std::uint8_t* before = bytesOf(*m_baseline);
    const std::uint8_t* now = bytesOf(model);
    for (std::size_t block = 0; block < kModelBytes; block += kBlock) {
        const std::size_t end = std::min(block + kBlock, kModelBytes);
        if (std::memcmp(before + block, now + block, end - block) == 0)
            continue;
        for (std::size_t i = block; i < end; ++i) {
            if (before[i] == now[i])
                continue;
            const auto at = static_cast<std::uint32_t>(i);
            if (!m_runs.empty() && at - m_runs.back().end <= kMergeGap)
                m_runs.back().end = at + 1;
            else
                m_runs.push_back({at, at + 1});
        }
    }
}

UndoHistory::Step UndoHistory::encodeRuns(const FormModel& model) const {
    std::size_t size = 0;
    std::uint32_t previousEnd = 0;
    for (const Run& run : m_runs) {
        const std::uint32_t length = run.end - run.begin;
        size += varintSize(run.begin - previousEnd) + varintSize(length) + length;
        previousEnd = run.end;
    }
    Step step;
    step.delta.resize(size);
    std::uint8_t* out = step.delta.data();
    const std::uint8_t* before = bytesOf(*m_baseline);
    const std::uint8_t* now = bytesOf(model);
    previousEnd = 0;
    for (const Run& run : m_runs) {
        putVarint(out, run.begin - previousEnd);
        putVarint(out, run.end - run.begin);
        for (std::uint32_t i = run.begin; i < run.end; ++i)
            *out++ = before[i] ^ now[i];
        previousEnd = run.end;
    }
    return step;
}

void UndoHistory::apply(const Step& step, FormModel& model) {
    // The model equals the baseline here (record() ran first), so the same
    // XOR takes both to the other side of the step.
    std::uint8_t* baseline = bytesOf(*m_baseline);
    std::uint8_t* now = bytesOf(model);
    const std::uint8_t* in = step.delta.data();
    const std::uint8_t* const end = in + step.delta.size();
    std::uint32_t at = 0;
    while (in < end) {
        at += getVarint(in);
        const std::uint32_t length = getVarint(in);
        for (std::uint32_t i = 0; i < length; ++i, ++at) {
            baseline[at] ^= in[i];
            now[at] ^= in[i];
        }
        in += length;
    }
}

void UndoHistory::dropRedoTail() {
    while (m_steps.size() > m_undoable) {
        m_bytes -= storageOf(m_steps.back());
        m_steps.pop_back();
    }
}

void UndoHistory::keepWithinBudget() {
    // Called right after a step was added, when every step can be undone.
    while (m_bytes > m_budget && m_steps.size() > 1) {
        m_bytes -= storageOf(m_steps.front());
        m_steps.pop_front();
        --m_undoable;
    }
}

std::size_t UndoHistory::storageOf(const Step& step) {
    return sizeof(Step) + step.delta.capacity();
}

} // namespace editor
