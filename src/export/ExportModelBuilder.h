// The ExportModel of the open file, built from one silent walk over it: the walker and its block
// readers tell an observer what they read (WalkObserver.h) and the builder copies the values out.
//
// The rules (README.md, "Export"):
//   - meshes in mesh-table order; a mesh's type (code and name) is that of its first mesh
//     descriptor;
//   - a level of detail is what the walk counts as one (curLOD: 1 for the first, one more after
//     each slot of a type-21 block); a level appears in the model when a face block is read at it,
//     with the lo-res distance that the first type-21 block covering its number gives it;
//   - the texture of a face block is the last texture header (20) or texture header pointer (7)
//     met before it within the same level of the same mesh, in walk order; the name is cut at its
//     first zero byte (a texture name has nine bytes);
//   - a corner takes the vertex its index names when the index is >= 0 and within the vertex
//     table; a corner whose index names no vertex is left out, with one warning per face block.
//     Vertex normals and texture vertices are taken when their indices are >= 0 and within
//     their tables, and left empty otherwise. A face that keeps fewer than 3 corners stays in
//     the model; the export leaves it out with its own warning.
//   - hardpoints and mesh descriptors with their type names from the document's tables (empty
//     for a code that the table does not name).
#pragma once

#include "export/ExportModel.h"
#include "reader/OptDocument.h"

namespace vexlor {

// The model of the file `document` holds (an empty model when none is loaded). The document's
// model, tree and selection stay as they are; its mesh tables are the walk's to use.
ExportModel BuildExportModel(const OptDocument& document);

}  // namespace vexlor
