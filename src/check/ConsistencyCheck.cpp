// The run of "Check OPT": the mesh jump table, a silent re-walk of each mesh to refill its
// tables, CheckMesh on them, and the verdict.
#include "ConsistencyCheck.h"

#include "CheckRun.h"

namespace vexlor {

CheckOutcome CheckOPT(const OptDocument& document, VertexNormalCheck mode,
                      std::vector<std::string>& lines, ContributionSearch search,
                      std::vector<CheckFinding>* findings) {
    if (!document.OptLoaded()) return {false, 0};
    const OptModel& model = document.Model();
    ReportSink sink(document.Numbers(), &lines, nullptr);
    CheckRun run(sink, model.DrawFaces, mode, search);
    // One walker for the whole run: its work budget covers the run, as it does an open.
    MeshTables tables = document.WalkTables();
    OptWalker walker = document.MeshWalker(tables);

    sink.ReportLine("Consistency check...");
    sink.ReportLine("");

    // The header's mesh count, cut to the table entries that lie in the file.
    const MeshTable& meshes = model.Meshes;
    const auto held = static_cast<int64_t>(meshes.MeshPositions.size());
    if (held < meshes.DeclaredCount) {
        CheckFinding cut;
        cut.Kind = FindingKind::UnreadMeshes;
        cut.Counted = true;
        cut.Text = "!! mesh jump table at offset " + sink.IntText(meshes.Position) +
                   ": the file holds " + sink.IntText(held) + " of " +
                   sink.IntText(meshes.DeclaredCount) + ", the rest are not checked";
        run.NoteFinding(cut);
        sink.ReportLine(cut.Text);
        run.CountFinding();
    }

    bool stopReported = false;
    for (int64_t m = 0; m < held; ++m) {
        const auto mesh = static_cast<int32_t>(m);
        sink.ReportLine("Checking mesh " + sink.IntText(m) + "...");
        walker.WalkMesh(mesh, meshes.MeshPositions[static_cast<size_t>(m)]);
        if (walker.Stopped() && !stopReported) {
            // Once the budget is spent the rest of the file is not read, so it cannot be
            // vouched for.
            CheckFinding stopped;
            stopped.Kind = FindingKind::WalkStopped;
            stopped.Counted = true;
            stopped.Mesh = mesh;
            stopped.Text =
                "!! walk stopped: the file's slots lead to far more blocks than the file holds; "
                "what was not read is not checked";
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
    if (findings != nullptr) *findings = std::move(run.Findings);
    return {run.CheckAllOk, run.CheckErrorCount};
}

}  // namespace vexlor
