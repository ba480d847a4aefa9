// Fuzz target: arbitrary bytes as an OPT file, through the export model builder: one observed
// walk whose events become meshes, levels, face blocks, corners, hardpoints and descriptors.
#include "FuzzInput.h"
#include "export/ExportModelBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::fuzz::OpenedInput input(data, size);
    const vexlor::ExportModel model = vexlor::BuildExportModel(input.Document());
    // A face has at most the four corners of a record, and its level a number the walk counted.
    for (const vexlor::ExportMesh& mesh : model.Meshes)
        for (const vexlor::ExportLevel& level : mesh.Levels) {
            if (level.Number < 1) __builtin_trap();
            for (const vexlor::ExportFaceBlock& block : level.FaceBlocks)
                for (const vexlor::ExportFace& face : block.Faces)
                    if (face.Corners.size() > 4) __builtin_trap();
        }
    return 0;
}
