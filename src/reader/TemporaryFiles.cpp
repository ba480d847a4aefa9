// The registry of temporary files and the signal handler that removes them. The handler may only
// make async-signal-safe calls: the registry is a fixed table of paths, each slot claimed and
// given back through an atomic state, and folders are emptied with getdents64 and unlinkat.
#include "reader/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace vexlor {

namespace {

constexpr int kSlots = 256;
constexpr size_t kPathBytes = 4096;

enum SlotState : int { kFree, kFilling, kFile, kFolder };

struct Slot {
    std::atomic<int> State{kFree};
    char Path[kPathBytes];
};

// The one table of the process: the handler cannot be given anything else.
Slot slots[kSlots];
// Creations under way, and whether a signal has come.
std::atomic<int> creating{0};
std::atomic<bool> interrupted{false};

sigset_t CleanUpSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

void RemoveFolder(const char* path) {
    // A writer in another thread may add a file while the folder is emptied: a few passes.
    for (int pass = 0; pass < 3; ++pass) {
        const int folder = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) return;
        alignas(8) char entries[4096];
        for (;;) {
            const long got = syscall(SYS_getdents64, folder, entries, sizeof entries);
            if (got <= 0) break;
            for (long at = 0; at < got;) {
                struct Entry {
                    uint64_t Inode;
                    int64_t Next;
                    unsigned short Length;
                    unsigned char Type;
                    char Name[1];
                };
                const auto* entry = reinterpret_cast<const Entry*>(entries + at);
                const char* name = entry->Name;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                    unlinkat(folder, name, 0);
                at += entry->Length;
            }
        }
        close(folder);
        if (rmdir(path) == 0) return;
    }
}

void RemoveAll() {
    for (Slot& slot : slots) {
        const int state = slot.State.load();
        if (state == kFile)
            unlink(slot.Path);
        else if (state == kFolder)
            RemoveFolder(slot.Path);
    }
}

void OnSignal(int signal) {
    interrupted.store(true);
    // A file being created in another thread is registered in a moment; a second at the most.
    for (int wait = 0; wait < 1000 && creating.load() > 0; ++wait) {
        const timespec millisecond{0, 1000000};
        nanosleep(&millisecond, nullptr);
    }
    RemoveAll();
    // The handler was installed to run once (SA_RESETHAND): the signal, blocked until the handler
    // returns, then ends the process with its own status.
    raise(signal);
}

}  // namespace

void TemporaryFiles::RemoveOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
}

int TemporaryFiles::Register(const std::string& path, bool folder) {
    if (path.empty() || path.size() >= kPathBytes) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int free = kFree;
        if (!slots[i].State.compare_exchange_strong(free, kFilling)) continue;
        std::memcpy(slots[i].Path, path.c_str(), path.size() + 1);
        slots[i].State.store(folder ? kFolder : kFile);
        return i;
    }
    return -1;
}

void TemporaryFiles::Unregister(int handle) {
    if (handle >= 0 && handle < kSlots) slots[handle].State.store(kFree);
}

TemporaryFiles::Creation::Creation() {
    const sigset_t signals = CleanUpSignals();
    pthread_sigmask(SIG_BLOCK, &signals, &before_);
    creating.fetch_add(1);
}

TemporaryFiles::Creation::~Creation() {
    creating.fetch_sub(1);
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

bool TemporaryFiles::Creation::Interrupted() const {
    return interrupted.load();
}

}  // namespace vexlor
