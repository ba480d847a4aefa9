// Where findings and problems lead.
#include "inspector/plain/FindingPlace.h"

#include <algorithm>
#include <cstdint>

#include "reader/BlockLayout.h"
#include "reader/BlockTypes.h"
#include "reader/FormatTables.h"
#include "reader/RecordPlaces.h"

namespace vexlor::inspector {

FindingPlace PlaceOfFinding(const CheckFinding& finding, const OptStream& stream,
                            const OptModel& model) {
    FindingPlace place;
    if (finding.BlockOffset >= 0) {
        place.Block = finding.BlockOffset;
        place.FaceBlock = true;
        place.Mesh = finding.Mesh;
        place.Offset = finding.RecordOffset;
        // The face's index record: its vertex, edge, texture vertex and vertex normal indices;
        // for a face normal or soft vectors that are not finite, their record.
        place.Length = format::kFaceIndices.RecordSize;
        if (finding.FieldOffset >= 0) {
            place.Offset = finding.FieldOffset;
            place.Length = finding.Kind == FindingKind::NonFiniteSoftVector
                               ? 2 * format::kVectorSize
                               : format::kVectorSize;
        }
        place.FaceInBlock = finding.FaceInBlock;
        place.Corner = finding.Corner;
    } else if (finding.Problem) {
        place = PlaceOfProblem(*finding.Problem, stream, model.GlobalOffset);
    } else if (finding.Mesh >= 0) {
        const std::vector<int32_t>& meshes = model.Tree.Node(0).Children;
        if (static_cast<size_t>(finding.Mesh) < meshes.size())
            place.Node = meshes[static_cast<size_t>(finding.Mesh)];
    }
    return place;
}

FindingPlace PlaceOfProblem(const WalkProblem& problem, const OptStream& stream,
                            int64_t globalOffset) {
    FindingPlace place;
    if (problem.Kind == ProblemKind::LeftOut) return place;
    place.Block = problem.Block;
    place.Offset = problem.Offset;
    // These point at one int32: an index, a slot, the header's size field.
    const bool field = problem.Kind == ProblemKind::BadIndex ||
                       problem.Kind == ProblemKind::LeadsBack ||
                       problem.Kind == ProblemKind::OutsideFile ||
                       (problem.Kind == ProblemKind::ShortFile && problem.Offset > 0);
    place.Length = field ? format::kValueSize : 0;
    if (problem.Kind == ProblemKind::BadIndex) {
        // The index lies in a face's record of the face block: that face, and its corner.
        const std::optional<BytePlace> index = PlaceInLayout(
            DescribeBlock(stream, globalOffset, problem.Block, kTypeFace), problem.Offset);
        if (index && index->Record.Region == format::kFaceIndicesRegion &&
            index->Record.Record <= INT32_MAX) {
            place.FaceBlock = true;
            place.FaceInBlock = static_cast<int32_t>(index->Record.Record);
            place.Corner = index->Part;
        }
    }
    return place;
}

int32_t NodeOfPlace(const FindingPlace& place, const OptModel& model) {
    const auto nodes = static_cast<int32_t>(
        std::min(model.BlockTable.size(), static_cast<size_t>(model.Tree.Count())));
    if (place.Node >= 0) return place.Node < nodes ? place.Node : -1;
    if (place.Block < 0) return -1;
    int32_t found = -1;
    for (int32_t k = 0; k < nodes; ++k) {
        const BlockEntry& entry = model.BlockTable[static_cast<size_t>(k)];
        if (entry.Offset != place.Block || (place.FaceBlock && entry.Type != kTypeFace)) continue;
        if (place.Mesh < 0 || entry.Mesh == place.Mesh) return k;
        if (found < 0) found = k;
    }
    return found;
}

}  // namespace vexlor::inspector
