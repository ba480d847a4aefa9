// The run of "Check OPT": the mesh jump table, a silent re-walk of each mesh to refill its
// tables, CheckMesh on them, and the verdict.
#include "check/ConsistencyCheck.h"

#include <algorithm>
#include <limits>

#include "check/CheckRun.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"

namespace vexlor {

namespace {

// The file position of the face normal or soft vector record that a finding about them names.
void PlaceFields(const OptDocument& document, std::vector<CheckFinding>& findings) {
    constexpr auto kSofts = static_cast<size_t>(RegionIndex(format::kFaceRegions, "softVectors"));
    for (CheckFinding& finding : findings) {
        const bool normal = finding.Kind == FindingKind::NonFiniteFaceNormal;
        if ((!normal && finding.Kind != FindingKind::NonFiniteSoftVector) ||
            finding.BlockOffset < 0)
            continue;
        const BlockRegions block = LocateBlock(document.Stream(), document.Model().GlobalOffset,
                                               finding.BlockOffset, kTypeFace);
        const size_t region = normal ? static_cast<size_t>(format::kFaceNormalsRegion) : kSofts;
        finding.FieldOffset = block.Region(region).RecordOffset(finding.FaceInBlock);
    }
}

int32_t Warnings(const std::vector<CheckFinding>& findings) {
    int64_t count = 0;
    for (const CheckFinding& finding : findings)
        count += finding.Counted ? 0 : 1;
    return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

}  // namespace

CheckOutcome RunConsistencyCheck(const OptDocument& document, VertexNormalCheck mode,
                                 std::vector<std::string>& lines, ContributionSearch search,
                                 std::vector<CheckFinding>* findings) {
    if (!document.OptLoaded()) return {false, 0};
    const OptModel& model = document.Model();
    ReportSink sink(document.Numbers(), &lines, nullptr);
    CheckRun run(sink, model.DrawFaces, mode, search);
    // One walker for the whole run: its work budget covers the run, as it does an open.
    MeshTables tables = document.WalkTables();
    OptWalker walker = document.MeshWalker(tables, {&run.StoredNormalsWatch()});

    sink.ReportLine("Consistency check...");
    sink.ReportLine("");

    // What the open could not read has not been found OK: each problem it found counts.
    const WalkProblems& problems = model.Problems;
    bool openStopped = false;
    for (const WalkProblem& problem : problems.Kept()) {
        CheckFinding finding;
        finding.Kind = FindingKind::FileProblem;
        finding.Counted = true;
        finding.Problem = problem;
        const size_t text = problem.Text.find_first_not_of(' ');
        finding.Text = text == std::string::npos ? problem.Text : problem.Text.substr(text);
        if (problem.Kind == ProblemKind::LeftOut) finding.Text = "!! " + finding.Text + " problems";
        openStopped = openStopped || problem.Kind == ProblemKind::WalkStopped;
        run.NoteFinding(finding);
        sink.ReportLine(finding.Text);
    }
    run.CountFindings(problems.Count());

    const MeshTable& meshes = model.Meshes;
    const auto held = static_cast<int64_t>(meshes.MeshPositions.size());
    bool stopReported = openStopped;
    for (int64_t m = 0; m < held; ++m) {
        // A stopped walk refills no tables: the meshes from here on are not read, so not checked.
        if (walker.Stopped()) break;
        const auto mesh = static_cast<int32_t>(m);
        sink.ReportLine("Checking mesh " + sink.IntText(m) + "...");
        walker.WalkMesh(mesh, meshes.MeshPositions[static_cast<size_t>(m)]);
        if (walker.Stopped() && !stopReported) {
            // Once the budget is spent the rest of the file is not read, so it cannot be
            // vouched for (the open's own stop is listed above).
            CheckFinding stopped;
            stopped.Kind = FindingKind::WalkStopped;
            stopped.Counted = true;
            stopped.Mesh = mesh;
            stopped.Text =
                "!! walk stopped: " + walker.StopReason() + "; what was not read is not checked";
            run.NoteFinding(stopped);
            sink.ReportLine(stopped.Text);
            run.CountFinding();
            stopReported = true;
        }
        run.CheckMesh(mesh, tables);
    }

    // Also when there were no meshes: the verdict is always written.
    sink.ReportLine("");
    if (run.CheckAllOk) {
        sink.ReportLine("All OK!!");
    } else {
        sink.ReportLine("errors were detected!!");
        sink.ReportLine("Number of errors = " + sink.IntText(run.CheckErrorCount));
    }
    PlaceFields(document, run.Findings);
    const int32_t warnings = Warnings(run.Findings);
    if (findings != nullptr) *findings = std::move(run.Findings);
    return {run.CheckAllOk, run.CheckErrorCount, warnings};
}

}  // namespace vexlor
