// One input file's run: its document, its output and its messages.
#include "cli/FileJob.h"

#include <cstdio>

#include "cli/CliOutput.h"

namespace vexlor::cli {

namespace {

// Takes bytes and keeps none: the output of a file whose output file could not be created.
class RefusedOutput : public ByteOutput {
  public:
    void Write(const void*, size_t) override {}
    void WriteAt(int64_t, const void*, size_t) override {}
    bool Failed() const override { return true; }
};

}  // namespace

FileJob::FileJob(const CommandContext& context, std::string input, std::string output)
    : context_(context), input_(std::move(input)), output_(std::move(output)) {}

FileJob::FileJob(const CommandContext& context, std::string input, std::string output,
                 const TypeNameTables& names)
    : context_(context), input_(std::move(input)), output_(std::move(output)), names_(&names) {}

std::unique_ptr<OptDocument> FileJob::Open() {
    if (!unreadable_.empty()) {
        Fail(unreadable_);
        return nullptr;
    }
    if (!OneOfSeveral()) return OpenDocument(context_, input_);
    auto document = std::make_unique<OptDocument>(context_.Numbers);
    document->Names() = *names_;
    const Result opened = document->Open(input_);
    if (!opened.Ok()) {
        Fail(opened);
        return nullptr;
    }
    return document;
}

ByteOutput& FileJob::Out() {
    if (out_) return *out_;
    if (!output_.empty()) {
        file_ = std::make_unique<AtomicFile>();
        // Of several files, the output folders were cleared of leftovers once, before all.
        const Result created = file_->Create(
            output_, OneOfSeveral() ? AtomicFile::Leftovers::Keep : AtomicFile::Leftovers::Remove);
        if (created.Ok()) {
            out_ = file_.get();
            return *out_;
        }
        Fail(created);
        file_.reset();
        fileRefused_ = true;
        direct_ = std::make_unique<RefusedOutput>();
    } else if (OneOfSeveral()) {
        captured_ = std::make_unique<CapturedOutput>();
        out_ = captured_.get();
        return *out_;
    } else {
        direct_ = std::make_unique<StdoutOutput>();
    }
    out_ = direct_.get();
    return *out_;
}

void FileJob::Print(std::string_view text) {
    Out().Write(text.data(), text.size());
}

void FileJob::PrintLines(const std::vector<std::string>& lines) {
    ByteOutput& out = Out();
    for (const std::string& line : lines) {
        out.Write(line.data(), line.size());
        out.Write("\n", 1);
    }
}

int FileJob::Finish() {
    if (fileRefused_) return kExitFailure;
    if (file_) {
        const Result committed = file_->Commit();
        return committed.Ok() ? kExitOk : Fail(committed);
    }
    if (captured_) {
        if (captured_->Failed())
            return Fail("cannot keep the output of " + input_ + " (" + captured_->Reason() + ")");
        return kExitOk;
    }
    if (!OneOfSeveral()) return FinishStdout();
    return kExitOk;
}

int FileJob::Fail(const std::string& message) {
    messages_.push_back(message);
    return OneOfSeveral() ? kExitFailure : cli::Fail(context_, message);
}

void FileJob::Warn(const std::string& message) {
    if (OneOfSeveral())
        messages_.push_back("warning: " + message);
    else
        std::fprintf(stderr, "vexlor: warning: %s\n", message.c_str());
}

int FileJob::Fail(const Result& result) {
    return Fail(FailureLine(result));
}

}  // namespace vexlor::cli
