// Open, block display and the two saves over one loaded file.
#include "reader/OptDocument.h"

#include "reader/AtomicFile.h"
#include "reader/HeaderCheck.h"
#include "reader/OpenObservers.h"
#include "reader/PrjWriter.h"
#include "reader/ReportWriter.h"

namespace vexlor {

namespace {

OperationResult CommitSave(AtomicFile& file, const std::string& path) {
    if (file.Failed() || !file.Commit()) return {false, "Cannot write file " + path, file.Reason()};
    return {};
}

}  // namespace

WalkOptions OptDocument::Options() const {
    WalkOptions options;
    options.Budget = budget_;
    return options;
}

OperationResult OptDocument::ReadFile(const std::string& path, OptStream& stream) {
    std::string reason;
    if (!stream.LoadFile(path, reason)) return {false, "Cannot open file " + path, reason};
    return {};
}

void OptDocument::WalkOpened(OptStream stream, const std::string& name, bool buildTree) {
    stream_ = std::move(stream);
    currentFileName_ = name;
    model_.DrawFaces.clear();
    model_.Problems.Clear();
    model_.VertexCount = 0;
    tables_ = MeshTables();
    DrawTableFiller draws(model_);
    ProblemRecorder problems(model_.Problems);
    WalkOptions options = Options();
    options.BuildTree = buildTree;
    options.Observers = {&draws};
    // A preview keeps no problems: the window shows those of the open file.
    if (buildTree) options.Observers.push_back(&problems);
    OptWalker(stream_, tables_, options, &model_).RMain();
    if (buildTree) model_.Problems.Finish();
    optLoaded_ = true;
    notOptReason_ = vexlor::NotOptReason(stream_);
}

OperationResult OptDocument::Open(const std::string& path) {
    OptStream loaded;
    const OperationResult read = ReadFile(path, loaded);
    if (!read.ok) return read;
    Open(std::move(loaded), path);
    return {};
}

void OptDocument::Open(OptStream stream, const std::string& path) {
    WalkOpened(std::move(stream), path, true);
}

OperationResult OptDocument::OpenForPreview(const std::string& path) {
    OptStream loaded;
    const OperationResult read = ReadFile(path, loaded);
    if (!read.ok) return read;
    WalkOpened(std::move(loaded), path, false);
    return {};
}

void OptDocument::OpenBytes(std::vector<uint8_t> bytes, const std::string& name) {
    WalkOpened(OptStream(std::move(bytes)), name, true);
}

std::optional<ShownBlock> OptDocument::DisplayBlock(int32_t node, std::vector<std::string>& lines,
                                                    ReportLineMap* records) const {
    if (!optLoaded_ || node < 0 || node >= model_.Tree.Count() ||
        static_cast<size_t>(node) >= model_.BlockTable.size())
        return std::nullopt;
    const BlockEntry entry = model_.BlockTable[static_cast<size_t>(node)];
    ReportSink sink(numbers_, &lines, nullptr);
    sink.ReportListLine("This block is in MESH " + NumberText::IntText(entry.Mesh));
    ReportWriter report(sink, names_, ReportWriter::Mode::kBlockDisplay, records);
    WalkOptions options = Options();
    options.Observers = {&report};
    MeshTables tables;
    OptWalker walker(stream_, tables, options);
    walker.SetGlobalOffset(model_.GlobalOffset);
    return walker.ShowBlock(entry);
}

void OptDocument::WriteReport(LineOutput& out, std::string_view caption,
                              ReportLineMap* records) const {
    ReportSink sink(numbers_, nullptr, &out);
    sink.ReportLine(caption);
    ReportWriter report(sink, names_, ReportWriter::Mode::kWalk, records);
    Observe(report);
}

void OptDocument::WritePrj(ByteOutput& out) const {
    PrjWriter prj(out);
    Observe(prj);
    prj.Finish();
}

bool OptDocument::Observe(WalkObserver& observer) const {
    WalkOptions options = Options();
    options.Observers = {&observer};
    MeshTables tables = WalkTables();
    OptWalker walker(stream_, tables, options);
    walker.RMain();
    return !walker.Stopped();
}

OptWalker OptDocument::MeshWalker(MeshTables& tables) const {
    OptWalker walker(stream_, tables, Options());
    walker.SetGlobalOffset(model_.GlobalOffset);
    return walker;
}

OperationResult OptDocument::SaveAscii(const std::string& path, std::string_view caption) const {
    AtomicFile file;
    if (!file.Create(path)) return {false, "Cannot create file " + path, file.Reason()};
    CrLfLineOutput lines(file);
    WriteReport(lines, caption);
    return CommitSave(file, path);
}

OperationResult OptDocument::SavePrj(const std::string& path) const {
    AtomicFile file;
    if (!file.Create(path)) return {false, "Cannot create file " + path, file.Reason()};
    WritePrj(file);
    return CommitSave(file, path);
}

}  // namespace vexlor
