#include "formdesc/SignalCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace formdesc {

namespace {

// A job holds a data copy and one output file at a time; PNG pages are
// written one after the other.
constexpr int kSlots = 8;
constexpr std::size_t kPathBytes = 4096;

enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char file[kPathBytes];
    char folder[kPathBytes];
};

Slot g_slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slot states");

extern "C" void removeFilesAndRaise(int signal) {
    for (Slot& slot : g_slots) {
        if (slot.state.load() != kArmed)
            continue;
        ::unlink(slot.file);
        if (slot.folder[0] != '\0')
            ::rmdir(slot.folder);
    }
    // The handler was reset on entry: the signal, raised again, ends the
    // process as it would have without us once the handler returns.
    ::raise(signal);
}

} // namespace

int SignalCleanup::add(const std::string& file, const std::string& folder) {
    if (file.empty() || file.size() >= kPathBytes || folder.size() >= kPathBytes)
        return kNoSlot;
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling))
            continue;
        std::memcpy(slot.file, file.c_str(), file.size() + 1);
        std::memcpy(slot.folder, folder.c_str(), folder.size() + 1);
        slot.state.store(kArmed);
        return i;
    }
    return kNoSlot;
}

void SignalCleanup::release(int slot) {
    if (slot >= 0 && slot < kSlots)
        g_slots[slot].state.store(kFree);
}

void SignalCleanup::installHandlers() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler {};
        handler.sa_handler = removeFilesAndRaise;
        handler.sa_flags = SA_RESETHAND;
        sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    }
}

} // namespace formdesc
