// One loaded OPT file and the operations on it that do not need a window: open, block display,
// Save ASCII and Save PRJ. The desktop program, the browser preview and the command-line tool
// each own one or more documents; nothing here is global.
#pragma once

#include <string>
#include <string_view>

#include "FileOutput.h"
#include "ModelStore.h"
#include "OptStream.h"
#include "Vexlor_Utils.h"

namespace vexlor {

struct OperationResult {
    bool ok = true;
    std::string message;  // the toolkit-style message, e.g. "Cannot open file /x/y.opt"
    std::string reason;   // the system's reason, when there is one
};

class OptDocument {
  public:
    explicit OptDocument(NumberText numbers = NumberText()) : sink_(std::move(numbers)) {}

    ModelStore& Store() { return store_; }
    const ModelStore& Store() const { return store_; }
    ReportSink& Sink() { return sink_; }
    const ReportSink& Sink() const { return sink_; }
    OptStream& Stream() { return stream_; }

    bool OptLoaded() const { return optLoaded_; }
    // Why the loaded file does not look like an OPT file, as its report's first line after the
    // caption says it (e.g. "its mesh count 21060 is more than its 1204 bytes can hold"); empty
    // when its header is plausible or nothing is loaded.
    const std::string& NotOptReason() const { return notOptReason_; }
    // The file that is loaded now.
    const std::string& CurrentFileName() const { return currentFileName_; }

    // Loads the file and walks it with the tree and the draw tables built. On failure the
    // previously loaded file stays loaded, stream, tree and tables included.
    OperationResult Open(const std::string& path);
    // The two halves of Open, for callers that must know before the tree changes whether it
    // will: reading the file, which changes nothing here, and the open of the bytes read.
    static OperationResult ReadFile(const std::string& path, OptStream& stream);
    void Open(OptStream stream, const std::string& path);
    // What every open does first, also one that then fails: the report list is cleared and the
    // draw counters start again.
    void StartOpen() { PrepareOpen(); }
    // The walk of a preview: the draw tables only, no tree (the tree keeps its root).
    OperationResult OpenForPreview(const std::string& path);
    // The same walk over bytes already in memory; `name` becomes the current file name.
    void OpenBytes(std::vector<uint8_t> bytes, const std::string& name);

    // Shows the report of tree node `node` in the report list. False when there is no such node.
    // Before any file is loaded the list says "?? no opt loaded!".
    bool DisplayBlock(int32_t node);

    // Clears the list and writes an empty line and "?? no opt loaded!" to it.
    void ReportNoOptLoaded();

    // The full report: `caption` as the first line, then the walk's lines, each ended by CR LF.
    // The file appears only when complete; on failure an existing file is left untouched.
    OperationResult SaveAscii(const std::string& path, std::string_view caption);
    // The PRJ file: the face count, then one 52-byte record per face.
    OperationResult SavePrj(const std::string& path);

    // The same two outputs to any destination.
    void WriteReport(LineOutput& out, std::string_view caption);
    void WritePrj(ByteOutput& out);

  private:
    // What the saves' re-walks would otherwise disturb in the view: the red mesh and the markers.
    struct ViewSnapshot {
        int32_t currentMesh;
        MarkerBoxData markerBox;
        HardpointMarkerData hardpointMarker;
    };
    void PrepareOpen(bool buildTree = true);
    OperationResult Load(const std::string& path, bool buildTree);
    void WalkOpened(OptStream stream, const std::string& name);
    ViewSnapshot TakeViewSnapshot() const;
    void RestoreViewSnapshot(const ViewSnapshot& snapshot);
    OperationResult CommitSave(AtomicFile& file, const std::string& path);

    OptStream stream_;
    ModelStore store_;
    ReportSink sink_;
    bool optLoaded_ = false;
    std::string notOptReason_;
    std::string currentFileName_;
};

}  // namespace vexlor
