// Where a check finding or a walk problem leads: the tree node to choose (by its block), the bytes
// to show in the hex view, and the face to highlight in the 3D view.
#pragma once

#include <cstdint>

#include "check/CheckFinding.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"
#include "reader/WalkProblems.h"

namespace vexlor::inspector {

struct FindingPlace {
    int32_t Node = -1;         // the tree node, when it is known without a search
    int64_t Block = -1;        // else the block, by its file position
    bool FaceBlock = false;    // the block must be a face block
    int32_t Mesh = -1;         // of several nodes with that block, the one of this mesh
    int64_t Offset = -1;       // the byte to show; -1 for the block's first byte
    int64_t Length = 0;        // how many bytes from it to outline
    int32_t FaceInBlock = -1;  // the face of the face block to highlight
    int32_t Corner = -1;       // the corner it is about, 0 ... 3

    bool Leads() const { return Node >= 0 || Block >= 0; }
};

// A finding about a face leads to the face's record; one about the mesh jump table to the root,
// one about a mesh to the mesh's node.
FindingPlace PlaceOfFinding(const CheckFinding& finding, const OptStream& stream,
                            const OptModel& model);
// A problem leads to its block and to the byte it is about; a bad index also to its face and
// corner.
FindingPlace PlaceOfProblem(const WalkProblem& problem, const OptStream& stream,
                            int64_t globalOffset);

// The tree node of the place; -1 when no node has its block.
int32_t NodeOfPlace(const FindingPlace& place, const OptModel& model);

}  // namespace vexlor::inspector
