// Open, block display and the two saves over one loaded file.
#include "reader/OptDocument.h"

#include "reader/AtomicFile.h"
#include "reader/HeaderCheck.h"
#include "reader/OpenObservers.h"
#include "reader/PrjWriter.h"
#include "reader/ReportWriter.h"

namespace vexlor {

WalkOptions OptDocument::Options() const {
    WalkOptions options;
    options.Budget = budget_;
    return options;
}

Result OptDocument::ReadFile(const std::string& path, OptStream& stream) {
    const Result loaded = stream.LoadFile(path);
    if (!loaded.Ok()) return Result::Failure("Cannot open file " + path, loaded.Reason());
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
    OptWalker(stream_, tables_, options, &model_).Walk();
    if (buildTree) model_.Problems.Finish();
    optLoaded_ = true;
    notOptReason_ = vexlor::NotOptReason(stream_);
}

Result OptDocument::Open(const std::string& path) {
    OptStream loaded;
    const Result read = ReadFile(path, loaded);
    if (!read.Ok()) return read;
    Open(std::move(loaded), path);
    return {};
}

void OptDocument::Open(OptStream stream, const std::string& path) {
    WalkOpened(std::move(stream), path, true);
}

Result OptDocument::OpenForPreview(const std::string& path) {
    OptStream loaded;
    const Result read = ReadFile(path, loaded);
    if (!read.Ok()) return read;
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

WalkEnd OptDocument::Observe(WalkObserver& observer) const {
    WalkOptions options = Options();
    options.Observers = {&observer};
    MeshTables tables = WalkTables();
    OptWalker walker(stream_, tables, options);
    walker.Walk();
    return {!walker.Stopped(), walker.StopReason()};
}

OptWalker OptDocument::MeshWalker(MeshTables& tables, std::vector<WalkObserver*> observers) const {
    WalkOptions options = Options();
    options.Observers = std::move(observers);
    OptWalker walker(stream_, tables, options);
    walker.SetGlobalOffset(model_.GlobalOffset);
    return walker;
}

Result OptDocument::SaveAscii(const std::string& path, std::string_view caption) const {
    AtomicFile file;
    if (Result created = file.Create(path); !created.Ok()) return created;
    CrLfLineOutput lines(file);
    WriteReport(lines, caption);
    return file.Commit();
}

Result OptDocument::SavePrj(const std::string& path) const {
    AtomicFile file;
    if (Result created = file.Create(path); !created.Ok()) return created;
    WritePrj(file);
    return file.Commit();
}

}  // namespace vexlor
