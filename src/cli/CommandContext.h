// What every command of `vexlor` gets besides its own options.
#pragma once

#include <mutex>
#include <string>

#include "reader/NumberText.h"

namespace vexlor::cli {

// The first failure message of a run, kept so that a command given --json can end with it as
// JSON on standard output (see Fail in CliOutput.h).
class FailureLog {
  public:
    void Add(const std::string& message) {
        const std::lock_guard lock(mutex_);
        if (first_.empty()) first_ = message;
    }
    std::string First() const {
        const std::lock_guard lock(mutex_);
        return first_;
    }

  private:
    mutable std::mutex mutex_;
    std::string first_;
};

struct CommandContext {
    std::string NamesFolder;  // --names DIR; empty for the usual places
    NumberText Numbers;       // the report's number texts, with the user's decimal separator
    // Where Fail(context, ...) keeps the run's failure; may be null.
    FailureLog* Failures = nullptr;
};

}  // namespace vexlor::cli
