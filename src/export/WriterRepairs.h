// Mends made to files that assimp 5.2's writers left in the staging folder, each on a complete
// file before it is renamed into place:
// - OBJ: an object line ("o mesh_0_LOD_1") before the groups of each level of each mesh, so
//   that importers which split by object (Blender's default) keep the meshes apart; assimp
//   writes only a group per scene mesh.
// - glTF: KHR_materials_volume, which assimp lists in "extensionsUsed" for every material without
//   a volume, is blanked out with spaces when nothing uses it, which keeps every length and offset
//   of the file. (Not every unused name: FB_ngon_encoding is used by being listed.)
// - X3D: the empty <ImageTexture/> that assimp writes for every material, textured or not, goes.
// - ASCII FBX: the values of a property line follow its four quoted fields as Autodesk's own files
//   have them, joined by bare commas ("A",0.9,0.75,0.45); assimp puts a space after each comma,
//   which readers that split the line at spaces (three.js's) take for a fifth field.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "reader/Result.h"

namespace vexlor::detail {

// Writes `bytes` over the file at `path`. A failure's reason is the system's.
Result WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// `objectOfGroup`: the object each group name belongs to.
Result AddObjObjects(const std::string& path,
                     const std::map<std::string, std::string>& objectOfGroup);

// Blanks `extension` out of the JSON text's "extensionsUsed" when nothing else names it; the text
// keeps its length. False when there was nothing to drop.
bool BlankUnusedExtension(std::string& json, const std::string& extension);

// The same on a .gltf file or the JSON chunk of a .glb file, in place.
Result DropUnusedGltfExtensions(const std::string& path, bool binary);

Result DropEmptyImageTextures(const std::string& path);

Result JoinFbxPropertyValues(const std::string& path);

}  // namespace vexlor::detail
