// A deadline of a test's own, for tests that wait on threads or processes: a fault that makes them
// hang ends the test program after a few seconds, with the test's name, instead of at ctest's
// timeout minutes later. EndAsHung does the same for a run a test has already seen outlive its
// own deadline, naming the run.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace vexlor::testing {

// Ends the test program at once, naming the running test and, when given, `what` in it that did
// not finish within `limit`.
[[noreturn]] inline void EndAsHung(std::chrono::seconds limit, const std::string& what = {}) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "%s.%s%s%s did not finish within %lld s: it hangs\n",
                 test != nullptr ? test->test_suite_name() : "?",
                 test != nullptr ? test->name() : "?", what.empty() ? "" : ": ", what.c_str(),
                 static_cast<long long>(limit.count()));
    std::fflush(stderr);
    std::_Exit(1);
}

class Deadline {
  public:
    explicit Deadline(std::chrono::seconds limit = std::chrono::seconds(15))
        : watcher_([this, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (finished_.wait_for(lock, limit, [this] { return done_; })) return;
              EndAsHung(limit);
          }) {}
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        finished_.notify_one();
        watcher_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread watcher_;  // last: started once the members it uses are ready
};

}  // namespace vexlor::testing
