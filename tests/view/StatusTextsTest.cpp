// The status bar's texts about the view: the model's numbers at the shown level, and the mesh
// and face under the cursor as the mouse finds them.
#include "ViewInputSupport.h"
#include "samples/SampleModels.h"
#include "view/StatusTexts.h"

namespace vexlor::view::testing {
namespace {

TEST(StatusTexts, TheModelsNumbersAtTheShownLevel) {
    OptDocument document;
    document.OpenBytes(vexlor::testing::BuildFighter(), "fighter.opt");
    const auto faces = std::span<const DrawFace>(document.Model().DrawFaces);
    const ModelExtent extent = ComputeModelExtent(faces);
    const NumberText comma(",");
    const ModelNumbers all = CountModelNumbers(faces, 4, 0, extent.Max, extent.Min, 1234);
    EXPECT_EQ(all.FacesShown, all.FacesTotal);
    const ModelNumbers one = CountModelNumbers(faces, 4, 1, extent.Max, extent.Min);
    EXPECT_LT(one.FacesShown, one.FacesTotal);
    EXPECT_GT(one.FacesShown, 0);
    const std::string size = comma.FloatText(ModelSizeMetres(extent.Max, extent.Min));
    EXPECT_EQ(ModelNumbersText(one, comma), "4 meshes, " + std::to_string(one.FacesShown) + " of " +
                                                std::to_string(one.FacesTotal) +
                                                " faces shown, LOD 1, " + size + " m");
    EXPECT_EQ(ModelNumbersText(all, comma), "4 meshes, " + std::to_string(all.FacesTotal) + " of " +
                                                std::to_string(all.FacesTotal) +
                                                " faces shown, 1234 vertices, all LODs, " + size +
                                                " m");
    // A model without faces has no size, whatever its inverted bounds say.
    const ModelExtent none = ComputeModelExtent(std::span<const DrawFace>());
    EXPECT_EQ(ModelNumbersText(CountModelNumbers({}, 1, 1, none.Max, none.Min, 1), comma),
              "1 mesh, 0 of 0 faces shown, 1 vertex, LOD 1, 0 m");
}

using StatusUnderCursor = InputView;

TEST_F(StatusUnderCursor, NamesTheMeshAndFaceTheCursorPointsAt) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    std::string text = "unset";
    QObject::connect(&input, &ViewInput::FaceUnderCursor, [&](qint64 face) {
        text = face < 0 ? UnderCursorText(std::nullopt, std::nullopt)
                        : UnderCursorText(Faces()[size_t(face)].Mesh, face);
    });
    Move(Pixel(At(250, 50)));
    EXPECT_EQ(text, "mesh 1, face 1");
    Move(Pixel(At(-250, 50)));
    EXPECT_EQ(text, "mesh 0, face 0");
    Move(Pixel(At(0, 250)));
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace vexlor::view::testing
