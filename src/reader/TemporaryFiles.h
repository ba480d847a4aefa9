// The temporary files and folders of writes in progress (a save's file, an export's folder),
// removed when SIGINT, SIGTERM or SIGHUP ends the process, so that an interrupted write leaves
// nothing behind. The programs call RemoveOnSignals() once at start-up; the writers register what
// they create and unregister it once it is renamed into place or removed.
//
// The handler is the programs' one change to process-wide state: it removes what is registered
// and ends the process as the signal would have. A signal that was ignored stays ignored.
#pragma once

#include <signal.h>

#include <string>

namespace vexlor {

class TemporaryFiles {
  public:
    static void RemoveOnSignals();

    // Registers a temporary file (or a folder, removed with the files in it); returns the handle
    // to unregister it with, or -1 when it could not be registered (too many or too long).
    static int Register(const std::string& path, bool folder);
    static void Unregister(int handle);

    // A temporary file's creation and registration, as one step for the handler: while one is
    // under way in any thread, the handler waits for it (the signals are blocked in the creating
    // thread meanwhile, so that it is never the one that waits). Once a signal has come, no new
    // temporary file may be created: Interrupted() says so.
    class Creation {
      public:
        Creation();
        Creation(const Creation&) = delete;
        Creation& operator=(const Creation&) = delete;
        ~Creation();
        bool Interrupted() const;

      private:
        sigset_t before_;
    };
};

// A registration that ends with its scope or on Release().
class TemporaryName {
  public:
    TemporaryName() = default;
    TemporaryName(const std::string& path, bool folder)
        : handle_(TemporaryFiles::Register(path, folder)) {}
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    TemporaryName(TemporaryName&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
    TemporaryName& operator=(TemporaryName&& other) noexcept {
        if (this != &other) {
            Release();
            handle_ = other.handle_;
            other.handle_ = -1;
        }
        return *this;
    }
    ~TemporaryName() { Release(); }
    void Release() {
        if (handle_ >= 0) TemporaryFiles::Unregister(handle_);
        handle_ = -1;
    }

  private:
    int handle_ = -1;
};

}  // namespace vexlor
