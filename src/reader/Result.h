// How an operation that can fail says so, the one way for every layer: Result is success, or a
// one-line message ("Cannot write file /x/y.glb") and the system's reason when there is one;
// Expected<T> adds the value the operation gives. The walk's findings in a file are no failure
// of an operation: they stay WalkProblems.
#pragma once

#include <string>
#include <utility>

namespace vexlor {

class Result {
  public:
    // Success.
    Result() = default;
    static Result Failure(std::string message, std::string reason = {}) {
        return Result(std::move(message), std::move(reason));
    }

    bool Ok() const { return failed_ == false; }
    // One line that says what failed, with the file it concerns; empty on success.
    const std::string& Message() const { return message_; }
    // The system's (or a library's) reason, e.g. "Permission denied"; may be empty.
    const std::string& Reason() const { return reason_; }

  private:
    Result(std::string message, std::string reason)
        : failed_(true), message_(std::move(message)), reason_(std::move(reason)) {}

    bool failed_ = false;
    std::string message_;
    std::string reason_;
};

// A value, or the Result of a failure. A failure may keep what the operation gathered before it
// failed (an export's warnings); otherwise its value is T's default.
template <class T>
class Expected {
  public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Result failure, T gathered = T())
        : value_(std::move(gathered)), result_(std::move(failure)) {}

    bool Ok() const { return result_.Ok(); }
    const Result& Status() const { return result_; }
    const std::string& Message() const { return result_.Message(); }
    const std::string& Reason() const { return result_.Reason(); }

    const T& Value() const& { return value_; }
    T& Value() & { return value_; }
    T&& Value() && { return std::move(value_); }
    const T* operator->() const { return &value_; }
    T* operator->() { return &value_; }

  private:
    T value_;
    Result result_;
};

}  // namespace vexlor
