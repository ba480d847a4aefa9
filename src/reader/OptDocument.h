// One loaded OPT file and the operations on it that do not need a window: open, block display,
// Save ASCII and Save PRJ. The desktop program, the browser preview and the command-line tool
// each own one or more documents; nothing here is global.
//
// What the file holds (its OptModel) changes only when a file is opened. The display, the saves
// and the consistency check walk the file again, each with tables, options and a report
// destination of its own: they are const, so none of them changes the document.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/BlockRecords.h"
#include "reader/ByteOutput.h"
#include "reader/MeshTables.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"
#include "reader/OptWalker.h"
#include "reader/ReportLineMap.h"
#include "reader/ReportSink.h"
#include "reader/Result.h"
#include "reader/TypeNames.h"
#include "reader/WalkOptions.h"

namespace vexlor {

// How a walk ended: over the whole file, or stopped by its limits, and then why ("the file leads
// to more than the 131072 blocks this program reads in one walk").
struct WalkEnd {
    bool Whole = true;
    std::string StopReason;
};

class OptDocument {
  public:
    explicit OptDocument(NumberText numbers = NumberText()) : numbers_(std::move(numbers)) {}

    const NumberText& Numbers() const { return numbers_; }
    // The type-name tables the reports print; read at start-up by the program.
    TypeNameTables& Names() { return names_; }
    const TypeNameTables& Names() const { return names_; }
    // What the open file holds.
    const OptModel& Model() const { return model_; }
    // The open file's bytes.
    const OptStream& Stream() const { return stream_; }

    bool OptLoaded() const { return optLoaded_; }
    // Why the loaded file does not look like an OPT file, as its report's first line after the
    // caption says it (e.g. "its mesh count 21060 is more than its 1204 bytes can hold"); empty
    // when its header is plausible or nothing is loaded.
    const std::string& NotOptReason() const { return notOptReason_; }
    // The file that is loaded now.
    const std::string& CurrentFileName() const { return currentFileName_; }

    // How much work each walk may do (the program keeps the default).
    void SetWalkBudget(const WalkBudget& budget) { budget_ = budget; }

    // Loads the file and walks it with the tree, the draw tables and the problems found kept in
    // the model. On failure the previously loaded file stays loaded, stream, tree and tables
    // included.
    Result Open(const std::string& path);
    // The two halves of Open, for callers that must know before the tree changes whether it
    // will: reading the file, which changes nothing here, and the open of the bytes read.
    static Result ReadFile(const std::string& path, OptStream& stream);
    void Open(OptStream stream, const std::string& path);
    // The walk of a preview: the draw tables only, no tree (the tree keeps what it had).
    Result OpenForPreview(const std::string& path);
    // The open of bytes already in memory; `name` becomes the current file name.
    void OpenBytes(std::vector<uint8_t> bytes, const std::string& name);

    // The report of tree node `node`, appended to `lines`, and what the view shows for it.
    // Nothing (and no lines) when no file is loaded or there is no such node. With `records`,
    // which record each line shows (by its index in `lines`).
    std::optional<ShownBlock> DisplayBlock(int32_t node, std::vector<std::string>& lines,
                                           ReportLineMap* records = nullptr) const;

    // The full report: `caption` as the first line, then the walk's lines, each ended by CR LF.
    // The file appears only when complete; on failure an existing file is left untouched.
    Result SaveAscii(const std::string& path, std::string_view caption) const;
    // The PRJ file: the face count, then one 52-byte record per face.
    Result SavePrj(const std::string& path) const;

    // The same two outputs to any destination; with `records`, which record each report line
    // shows (the caption is line 0).
    void WriteReport(LineOutput& out, std::string_view caption,
                     ReportLineMap* records = nullptr) const;
    void WritePrj(ByteOutput& out) const;

    // One silent walk over the loaded file from its header, telling `observer` what it reads
    // (the export builds its model so), and how it ended.
    WalkEnd Observe(WalkObserver& observer) const;

    // The mesh tables a walk of the loaded file starts from: the vertex tables as the open's walk
    // left them (Tables()).
    MeshTables WalkTables() const { return MeshTables::After(tables_); }
    const MeshTables& Tables() const { return tables_; }
    // A silent walker over the loaded file for walks that start below the header, one mesh at a
    // time (the consistency check); it reads into `tables` and tells `observers` what it reads.
    OptWalker MeshWalker(MeshTables& tables, std::vector<WalkObserver*> observers = {}) const;

  private:
    void WalkOpened(OptStream stream, const std::string& name, bool buildTree);
    WalkOptions Options() const;

    NumberText numbers_;
    TypeNameTables names_;
    OptStream stream_;
    OptModel model_;
    // The mesh tables as the open's walk left them.
    MeshTables tables_;
    WalkBudget budget_;
    bool optLoaded_ = false;
    std::string notOptReason_;
    std::string currentFileName_;
};

}  // namespace vexlor
