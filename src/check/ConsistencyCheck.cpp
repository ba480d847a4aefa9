// The run of "Check OPT": the mesh jump table, a silent re-walk of each mesh to refill its
// tables, CheckMesh on them, and the verdict.
#include "ConsistencyCheck.h"

#include <algorithm>

#include "CheckRun.h"
#include "opt_file.h"

namespace vexlor {

namespace {

// The re-walks overwrite what the view shows (the red mesh, the markers); a check leaves it be.
struct ViewState {
    int32_t currentMesh;
    MarkerBoxData markerBox;
    HardpointMarkerData hardpointMarker;
};

ViewState TakeViewState(const ModelStore& store) {
    return {store.CurrentMesh, store.MarkerBox, store.HardpointMarker};
}

void RestoreViewState(ModelStore& store, const ViewState& view) {
    store.CurrentMesh = view.currentMesh;
    store.MarkerBox = view.markerBox;
    store.HardpointMarker = view.hardpointMarker;
}

}  // namespace

CheckOutcome CheckOPT(OptDocument& document, VertexNormalCheck mode, ContributionSearch search) {
    if (!document.OptLoaded()) {
        document.ReportNoOptLoaded();
        return {false, 0};
    }
    ModelStore& store = document.Store();
    ReportSink& sink = document.Sink();
    OptStream& stream = document.Stream();
    const ViewState view = TakeViewState(store);
    CheckRun run(sink, store, mode, search);
    OptFile walker(stream, store, sink);

    stream.SeekOpt(14);
    const int32_t numJumps = stream.ReadInt32();
    stream.SeekOpt(18);
    const int64_t meshTable = walker.AdjustOffset(stream.ReadInt32());

    sink.ClearList();
    sink.ReportToFile = false;
    sink.ReportToList = true;
    sink.ReportLine("Consistency check...");
    sink.ReportLine("");

    // The header's mesh count, cut to the table entries that lie in the file.
    const int64_t meshes =
        numJumps > 0 ? std::min<int64_t>(numJumps, stream.BytesFrom(meshTable) / 4) : 0;
    if (meshes < numJumps) {
        sink.ReportLine("!! mesh jump table at offset " + sink.IntText(meshTable) +
                        ": the file holds " + sink.IntText(meshes) + " of " +
                        sink.IntText(numJumps) + ", the rest are not checked");
        run.CountFinding();
    }

    sink.ReportToList = false;
    store.WritePrj = false;
    store.BuildTree = false;
    store.FillDrawTables = false;
    bool stopReported = false;
    for (int64_t m = 0; m < meshes; ++m) {
        store.CurrentMesh = static_cast<int32_t>(m);
        store.MeshFaceBase = 0;
        store.curLOD = 1;
        stream.SeekOpt(meshTable + 4 * m);
        const int64_t meshPosition = walker.AdjustOffset(stream.ReadInt32());
        sink.ReportToList = true;
        sink.ReportLine("Checking mesh " + sink.IntText(m) + "...");
        sink.ReportToList = false;
        walker.WalkJumpBlock(meshPosition, 0);
        sink.ReportToList = true;
        if (walker.Stopped() && !stopReported) {
            // The walk's budget covers the whole run, as it does for the open: once spent, the
            // rest of the file is not read, so it cannot be vouched for.
            sink.ReportLine(
                "!! walk stopped: the file's slots lead to far more blocks than the file holds; "
                "what was not read is not checked");
            run.CountFinding();
            stopReported = true;
        }
        run.CheckMesh();
    }

    // Also when there were no meshes: the verdict is always written.
    sink.ReportToList = true;
    sink.ReportLine("");
    if (run.CheckAllOk) {
        sink.ReportLine("All OK!!");
    } else {
        sink.ReportLine("errors were detected!!");
        sink.ReportLine("Number of errors = " + sink.IntText(run.CheckErrorCount));
    }
    RestoreViewState(store, view);
    return {run.CheckAllOk, run.CheckErrorCount};
}

}  // namespace vexlor
