// The status bar's texts.
#include "view/StatusTexts.h"

namespace vexlor::view {

namespace {

std::string Counted(int64_t n, const char* one, const char* many) {
    return NumberText::IntText(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ModelNumbersText(const ModelNumbers& numbers, const NumberText& format) {
    std::string text = Counted(numbers.Meshes, "mesh", "meshes") + ", " +
                       NumberText::IntText(numbers.FacesShown) + " of " +
                       Counted(numbers.FacesTotal, "face", "faces") + " shown";
    if (numbers.Vertices) text += ", " + Counted(*numbers.Vertices, "vertex", "vertices");
    text += numbers.ShowLod == 0 ? std::string(", all LODs")
                                 : ", LOD " + NumberText::IntText(numbers.ShowLod);
    text += ", " + format.FloatText(numbers.SizeMetres) + " m";
    return text;
}

std::string UnderCursorText(std::optional<int32_t> mesh, std::optional<int64_t> face) {
    if (!mesh || !face) return {};
    return "mesh " + NumberText::IntText(*mesh) + ", face " + NumberText::IntText(*face);
}

}  // namespace vexlor::view
