// Export of an ExportModel through assimp: the model becomes an aiScene, assimp's exporter writes
// it in the chosen format, and the files appear beside each other only when all were written.
// README.md ("Export") describes the scene, the frames and the formats at length.
//
// Scene layout (every format that keeps nodes):
//   root "OPT model"
//     "mesh M" or "mesh M TYPENAME"        one per mesh, in file order, also when it has no face
//       "mesh M LOD N"                     one per exported level of detail with faces, holding one
//                                          mesh per texture in force in that level (named
//                                          "mesh_M_LOD_N_MATERIAL", no spaces: OBJ's groups)
//       "hardpoint K: TYPE TYPENAME"       empty node at the hardpoint's position (K counts the
//                                          model's hardpoints in file order from 0)
//       "descriptor K: TYPE TYPENAME"      empty node at the descriptor's centre, all its fields
//                                          as node metadata (see SceneBuilder.h)
// Level nodes carry the mesh number because readers want node names unique (assimp's glTF writer
// renames a second "LOD 1" to "LOD 1_node"; Blender appends ".001").
// Materials: one per texture name (named after it; no images), "untextured" for faces without.
// Formats without nodes (OBJ, STL, PLY, 3MF) leave the hardpoints and descriptors out, with a
// warning; OBJ and 3MF get an object per level node instead.
//
// Frames: the file's frame is left-handed (the program's view shows x to the right, y up and
// looks along +z), so every export mirrors x, which puts the port side (-x in the file) at +x, the
// model's left in the right-handed frames of the formats. The formats whose world is y up (glTF,
// whose format requires it; FBX and Collada, whose headers assimp writes as Y up; OBJ and PLY,
// whose importers assume it; X, X3D and assimp's own dumps) get (x, y, z) of the file ->
// (-x, z, -y): mirrored, then turned by -90 degrees about x, so z up becomes y up and the nose
// (-y) looks along +z (glTF's front). The others (STL, 3MF, 3DS, STEP) get (-x, y, z), z up.
// ExportOptions::Axes overrides either way.
//
// Units: the numbers are OPT units times ExportOptions::Scale, metres by default (ExportUnits.h);
// FBX, Collada and 3MF declare that unit (3MF only where it has a name for it, else millimetres
// with a warning).
//
// Winding: OPT corners run clockwise around the face normal when the cross product is taken as
// in a right-handed frame (N = -(AB x BC), the rule of the consistency check); once x is mirrored
// they run counter-clockwise, as every format here wants, so a face A B C D keeps its order.
// Triangle-only formats get a quad as A B C + A C D: split along the A-C diagonal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/ExportModel.h"
#include "export/ExportUnits.h"
#include "reader/Result.h"

namespace vexlor {

// One format of assimp's exporter.
struct ExportFormat {
    std::string Id;              // e.g. "glb2"; what ExportOptions::formatId takes
    std::string Description;     // e.g. "GL Transmission Format v. 2 (binary)"
    std::string Extension;       // without the dot, e.g. "glb"
    bool KeepsPolygons = false;  // quads are written as quads; else split along A-C
    bool KeepsNodes = false;     // hardpoints and descriptors are written as nodes
    bool YUp = false;            // written y up (glTF's frame) by default; else z up (OPT's)
};

// Every format that the linked assimp can write, in assimp's order.
std::vector<ExportFormat> ExportFormats();

// The format that a file name's extension chooses (case does not matter): among assimp's formats
// with that extension, glTF 2.0 before glTF 1.0 and binary before text for STL, PLY and FBX
// ("glb" -> glb2, "gltf" -> gltf2, "stl" -> stlb, "ply" -> plyb, "fbx" -> fbx, "obj" -> obj,
// "dae" -> collada, "3mf" -> 3mf); otherwise the first with that extension. Empty when none.
std::string FormatForPath(const std::string& path);

enum class ExportAxes {
    Auto,  // each format's up axis (ExportFormat::YUp)
    Opt,   // always the file's up axis: (x, y, z) -> (-x, y, z), z up, nose along -y
    YUp,   // always (x, y, z) -> (-x, z, -y)
};

inline constexpr int32_t kAllLevels = 0;

struct ExportOptions {
    // An assimp format id (see ExportFormats); empty: chosen by the output's extension.
    std::string FormatId;
    // The level of detail to write: 1 (the default) for the first, N for the N-th, kAllLevels for
    // every level (each under its own "LOD N" node).
    int32_t Lod = 1;
    // Factor on every position: 1.0 / 41 (the default) writes metres (41 units = 1 metre); 1 keeps
    // OPT units (ScaleForUnits gives the scale of a named unit). The formats that can declare a
    // unit declare the one this gives.
    double Scale = 1.0 / kOptUnitsPerMetre;
    ExportAxes Axes = ExportAxes::Auto;
    // Called now and then with the fraction done (0 ... 1). Returning false cancels the export:
    // nothing is written and the result says "Export cancelled".
    std::function<bool(double fraction)> Progress;
};

// What an export wrote. A failed export ("Cannot write file /x/y.glb", with the system's or
// assimp's reason) keeps the warnings found before it failed, and no files.
struct ExportSummary {
    std::string FormatId;               // the format used
    std::vector<std::string> Files;     // the files written, main file first
    std::vector<std::string> Warnings;  // the model's warnings, then the export's
    int64_t Faces = 0;                  // faces written (before any split of quads)
    int64_t Triangles = 0;              // triangles and quads as the format received them
    int64_t Quads = 0;
};

// Writes `model` to `path` (plus side files such as .bin or .mtl beside it). The files are written
// into a temporary folder beside the target and renamed into place only when all were written; on
// failure nothing is left behind and existing files are untouched.
Expected<ExportSummary> ExportToFile(const ExportModel& model, const std::string& path,
                                     const ExportOptions& options = {});
// The same, releasing the model as soon as the scene is built: then the model's memory and the
// writer's are never taken at once.
Expected<ExportSummary> ExportToFile(ExportModel&& model, const std::string& path,
                                     const ExportOptions& options = {});

}  // namespace vexlor
