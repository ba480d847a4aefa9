// The files of one export: assimp writes them into a staging folder beside the target, through
// an IOSystem that notices every failed write, and they are renamed into place together.
#pragma once

#include <assimp/IOSystem.hpp>

#include <memory>
#include <string>
#include <vector>

#include "reader/Result.h"
#include "reader/TemporaryFiles.h"

namespace vexlor::detail {

// Real files, with every failure (open, write, flush, close) remembered. Relative paths are taken
// from the staging folder, so side files land beside the main file whatever the working folder.
class CheckedIOSystem : public Assimp::IOSystem {
  public:
    explicit CheckedIOSystem(std::string folder) : folder_(std::move(folder)) {}

    bool Exists(const char* file) const override;
    char getOsSeparator() const override { return '/'; }
    Assimp::IOStream* Open(const char* file, const char* mode = "rb") override;
    void Close(Assimp::IOStream* stream) override;

    // Called by the streams.
    void Fail(const std::string& file, int error);
    bool Failed() const { return !failedFile_.empty(); }
    const std::string& FailedFile() const { return failedFile_; }
    const std::string& Reason() const { return reason_; }

  private:
    std::string Resolve(const char* file) const;

    std::string folder_;
    std::string failedFile_;
    std::string reason_;
};

// A temporary folder beside the target (beside the file it names, when the target is a symbolic
// link: the link stays), named with the process id. Removed, with everything in it, when destroyed
// or when SIGINT, SIGTERM or SIGHUP ends the process; after SIGKILL, by the next write into the
// folder (RemoveLeftovers).
class StagingFolder {
  public:
    StagingFolder() = default;
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    ~StagingFolder();

    // Checks the target (MayReplace) and creates the folder beside it; a failure's reason says
    // why either failed.
    Result Create(const std::string& target);
    const std::string& Folder() const { return folder_; }
    // Where the exporter writes the main file: the target's name inside the folder.
    std::string StagedMain() const;
    // The target's name alone, as given (a link's, not its target's): what the exporter is given
    // (CheckedIOSystem takes it from the folder), so that a side file named after it is named
    // after the output ("ship.mtl" for "ship" or "ship.obj"), not after a dot in the folder's
    // path nor after the file a link names.
    const std::string& TargetName() const { return targetName_; }

    // Moves every file of the folder into place, side files first and the main file last: the main
    // file to the target (the file a link names), side files beside the target as named (beside
    // the link), where a reader that opens the name given looks for them;
    // all or nothing: on failure the files already moved are taken back and the files they
    // replaced restored ("Cannot create file" or "Cannot write file" and the file). The value:
    // the targets written, main file first.
    Expected<std::vector<std::string>> Commit();

  private:
    void Remove();
    // A file of the target's folder, named as the target was (no "./" for a bare name).
    std::string Beside(const std::string& name) const;

    std::string target_;        // as named
    std::string targetFolder_;  // of the file written: a link's target's folder
    std::string targetName_;    // as named
    std::string written_;       // the file written in place of the target: links resolved
    std::string folder_;
    TemporaryName registered_;
};

}  // namespace vexlor::detail
