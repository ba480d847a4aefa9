// Shared pieces of the view tests: models built as OPT files and loaded the way the main window
// loads them, a shown view window, and reading the colours of a frame.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "view/ViewState.h"
#include "view/ViewWindow.h"
#include "view/Wireframe.h"

namespace vexlor::view::testing {

using vexlor::testing::FaceInput;
using vexlor::testing::OptBuilder;
using vexlor::testing::V3;

inline FaceInput QuadFace() {
    FaceInput f;
    f.Vertex = {0, 1, 2, 3};
    return f;
}

// A square in the z = 0 plane from (x0, y0) to (x1, y1).
inline std::vector<V3> Square(float x0, float y0, float x1, float y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
}

// A mesh of one quad: its root jump block holding a vertex block and a face block.
inline int64_t AddSquareMesh(OptBuilder& b, const std::vector<V3>& corners,
                             std::vector<int64_t> extra = {}) {
    extra.insert(extra.begin(), {b.AddVertices(corners), b.AddFaces({QuadFace()})});
    return b.AddJump(0, extra);
}

// A square in the plane z = `z` from (x0, y0) to (x1, y1), counter-clockwise seen from +z.
inline std::vector<V3> SquareAt(float x0, float y0, float x1, float y1, float z) {
    return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
}

// A mesh of one quad with the given stored face normal.
inline int64_t AddSquareMeshFacing(OptBuilder& b, const std::vector<V3>& corners, V3 normal) {
    FaceInput face = QuadFace();
    face.Normal = normal;
    return b.AddJump(0, {b.AddVertices(corners), b.AddFaces({face})});
}

// Mesh 0 a square left of the origin, mesh 1 one right of it, and a hardpoint (type 5) of mesh
// 0 at the origin. The coordinates run from -300 to 300, so the view box is -400 ... 400.
struct TwoMeshModel {
    OptBuilder b{0x3000};
    int64_t hardpoint = 0;
    std::vector<uint8_t> bytes;
    TwoMeshModel() {
        hardpoint = b.AddHardpoint(5, {0, 0, 0});
        const int64_t mesh0 = AddSquareMesh(b, Square(-300, -100, -100, 100), {hardpoint});
        const int64_t mesh1 = AddSquareMesh(b, Square(100, -100, 300, 100));
        b.SetMeshes({mesh0, mesh1});
        bytes = b.Build();
    }
};

// A closed box 200 wide in x, 600 long in y and 100 high in z, centred on the origin.
inline std::vector<uint8_t> BoxModel() {
    OptBuilder b(0);
    const std::vector<V3> corners = {{-100, -300, -50}, {100, -300, -50}, {100, 300, -50},
                                     {-100, 300, -50},  {-100, -300, 50}, {100, -300, 50},
                                     {100, 300, 50},    {-100, 300, 50}};
    std::vector<FaceInput> sides;
    for (const std::array<int32_t, 4> side : {std::array<int32_t, 4>{0, 3, 2, 1},
                                              {4, 5, 6, 7},
                                              {0, 1, 5, 4},
                                              {2, 3, 7, 6},
                                              {1, 2, 6, 5},
                                              {0, 4, 7, 3}}) {
        FaceInput face;
        face.Vertex = side;
        sides.push_back(face);
    }
    b.SetMeshes({b.AddJump(0, {b.AddVertices(corners), b.AddFaces(sides)})});
    return b.Build();
}

// Pixel columns and rows of model points on the 457 x 417 panel with the box -400 ... 400 and
// the camera at rest.
inline int ColumnOf(float x) {
    return static_cast<int>((x + 400.0f) / 800.0f * 457.0f);
}
inline int RowOf(float y) {
    return static_cast<int>((400.0f - y) / 800.0f * 417.0f);
}

enum class Hue { Black, Red, Cyan, Other };
inline Hue HueOf(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (r == 0 && g == 0 && b == 0) return Hue::Black;
    if (r == 255 && g == 0 && b == 0) return Hue::Red;
    if (r == 0 && g == 255 && b == 255) return Hue::Cyan;
    return Hue::Other;
}

// The bounding box of the pixels that pass `match`; empty when none does.
inline QRect PixelsWhere(const QImage& image, const std::function<bool(QRgb)>& match) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
inline QRect PixelsOf(const QImage& image, Hue hue) {
    return PixelsWhere(image, [hue](QRgb c) { return HueOf(c) == hue; });
}
// Colours as OpenGL makes bytes of them, within one step.
inline bool Near(QRgb c, int r, int g, int b) {
    return std::abs(qRed(c) - r) <= 1 && std::abs(qGreen(c) - g) <= 1 &&
           std::abs(qBlue(c) - b) <= 1;
}

// The view window shown on the screen over a document of its own, with the load sequence of
// the main window.
class ShownView : public ::testing::Test {
  protected:
    ShownView() : form(view) {
        form.SetModel(&document.Model());
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void Load(const std::vector<uint8_t>& bytes) {
        document.OpenBytes(bytes, "model.opt");
        form.Selection().ShowLod = 1;
        form.SetupScene();
        form.Selection().CurrentMesh = 0;
        form.Redraw();
    }
    // Chooses a tree node as the main window does: its mesh red, its marker shown.
    bool Choose(int32_t node) {
        std::vector<std::string> lines;
        const std::optional<ShownBlock> shown = document.DisplayBlock(node, lines);
        if (!shown) return false;
        SelectBlock(form.Selection(), *shown, view.ExtentMax, view.ExtentMin);
        return true;
    }
    // The tree node of the first block of this type.
    int32_t NodeOfType(int32_t type) const {
        const auto& table = document.Model().BlockTable;
        for (size_t k = 0; k < table.size(); ++k) {
            if (table[k].Type == type) return static_cast<int32_t>(k);
        }
        ADD_FAILURE() << "no block of type " << type;
        return 0;
    }

    std::span<const DrawFace> Faces() const {
        return std::span<const DrawFace>(document.Model().DrawFaces);
    }

    ViewState view;
    OptDocument document;
    ViewWindow form;
};

}  // namespace vexlor::view::testing
