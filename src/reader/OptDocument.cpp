// Open, block display and the two saves over one loaded file.
#include "OptDocument.h"

#include "HeaderCheck.h"
#include "opt_file.h"

namespace vexlor {

void OptDocument::PrepareOpen(bool buildTree) {
    store_.DrawFaceCount = 0;
    store_.ShowLod = 1;
    sink_.ClearList();
    sink_.ReportToList = false;
    sink_.ReportToFile = false;
    store_.WritePrj = false;
    store_.BuildTree = buildTree;
    store_.FillDrawTables = true;
}

void OptDocument::WalkOpened(OptStream stream, const std::string& name) {
    stream_ = std::move(stream);
    currentFileName_ = name;
    OptFile(stream_, store_, sink_).RMain();
    sink_.ReportToFile = false;
    optLoaded_ = true;
    notOptReason_ = vexlor::NotOptReason(stream_);
    store_.ShownFaceCount = store_.DrawFaceCount;
    store_.WritePrj = false;
}

OperationResult OptDocument::Open(const std::string& path) {
    return Load(path, true);
}

OperationResult OptDocument::OpenForPreview(const std::string& path) {
    return Load(path, false);
}

OperationResult OptDocument::ReadFile(const std::string& path, OptStream& stream) {
    std::string reason;
    if (!stream.LoadFile(path, reason)) return {false, "Cannot open file " + path, reason};
    return {};
}

void OptDocument::Open(OptStream stream, const std::string& path) {
    PrepareOpen(true);
    WalkOpened(std::move(stream), path);
}

OperationResult OptDocument::Load(const std::string& path, bool buildTree) {
    PrepareOpen(buildTree);
    OptStream loaded;
    OperationResult read = ReadFile(path, loaded);
    if (!read.ok) return read;
    WalkOpened(std::move(loaded), path);
    return {};
}

void OptDocument::OpenBytes(std::vector<uint8_t> bytes, const std::string& name) {
    PrepareOpen();
    WalkOpened(OptStream(std::move(bytes)), name);
}

void OptDocument::ReportNoOptLoaded() {
    sink_.ClearList();
    sink_.ReportToList = true;
    sink_.ReportLine("");
    sink_.ReportLine("?? no opt loaded!");
}

bool OptDocument::DisplayBlock(int32_t node) {
    if (node < 0 || node >= store_.Tree.Count() ||
        static_cast<size_t>(node) >= store_.BlockTable.size())
        return false;
    store_.CurrentTreeNode = node;
    if (!optLoaded_) {
        ReportNoOptLoaded();
        return true;
    }
    sink_.ClearList();
    sink_.ReportToList = true;
    sink_.ReportToFile = false;
    store_.HardpointMarkerShown = false;
    store_.MarkerBoxShown = false;
    const BlockEntry entry = store_.BlockTable[static_cast<size_t>(node)];
    store_.CurrentMesh = entry.Mesh;
    sink_.ReportListLine("This block is in MESH " + NumberText::IntText(store_.CurrentMesh));
    OptFile(stream_, store_, sink_).ShowBlock(entry);
    return true;
}

OptDocument::ViewSnapshot OptDocument::TakeViewSnapshot() const {
    return {store_.CurrentMesh, store_.MarkerBox, store_.HardpointMarker};
}

void OptDocument::RestoreViewSnapshot(const ViewSnapshot& snapshot) {
    store_.CurrentMesh = snapshot.currentMesh;
    store_.MarkerBox = snapshot.markerBox;
    store_.HardpointMarker = snapshot.hardpointMarker;
}

void OptDocument::WriteReport(LineOutput& out, std::string_view caption) {
    const ViewSnapshot view = TakeViewSnapshot();
    sink_.ReportToList = false;
    sink_.ReportToFile = true;
    store_.WritePrj = false;
    store_.FillDrawTables = false;
    sink_.SetReportFile(&out);
    sink_.ReportLine(caption);
    store_.BuildTree = false;
    OptFile(stream_, store_, sink_).RMain();
    sink_.SetReportFile(nullptr);
    sink_.ReportToFile = false;
    sink_.ReportToList = true;
    RestoreViewSnapshot(view);
}

void OptDocument::WritePrj(ByteOutput& out) {
    const ViewSnapshot view = TakeViewSnapshot();
    sink_.ReportToList = false;
    sink_.ReportToFile = false;
    store_.WritePrj = true;
    store_.FillDrawTables = false;
    store_.BuildTree = false;
    OptFile(stream_, store_, sink_, &out).RMain();
    store_.WritePrj = false;
    RestoreViewSnapshot(view);
}

OperationResult OptDocument::CommitSave(AtomicFile& file, const std::string& path) {
    if (file.Failed() || !file.Commit()) return {false, "Cannot write file " + path, file.Reason()};
    return {};
}

OperationResult OptDocument::SaveAscii(const std::string& path, std::string_view caption) {
    sink_.ReportToList = false;
    sink_.ReportToFile = true;
    AtomicFile file;
    if (!file.Create(path)) return {false, "Cannot create file " + path, file.Reason()};
    CrLfLineOutput lines(file);
    WriteReport(lines, caption);
    return CommitSave(file, path);
}

OperationResult OptDocument::SavePrj(const std::string& path) {
    AtomicFile file;
    if (!file.Create(path)) return {false, "Cannot create file " + path, file.Reason()};
    const int64_t shown = store_.ShownFaceCount;
    WritePrj(file);
    OperationResult result = CommitSave(file, path);
    if (!result.ok) store_.ShownFaceCount = shown;
    return result;
}

}  // namespace vexlor
