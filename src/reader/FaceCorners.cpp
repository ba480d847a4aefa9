// The problem lines of a face's corners.
#include "reader/FaceCorners.h"

#include "reader/FormatTables.h"
#include "reader/NumberText.h"

namespace vexlor {

void AppendOutsideIndexLine(std::string& line, CornerTable table, size_t corner, int32_t index,
                            size_t tableSize) {
    const std::string_view name = table == CornerTable::kVertices ? "vertex" : "vertex normal";
    line += "   !! corner ";
    NumberText::AppendInt(line, static_cast<int64_t>(corner));
    line += ": ";
    line += name;
    line += " index ";
    NumberText::AppendInt(line, index);
    line += " is outside the ";
    line += name;
    line += " table (";
    NumberText::AppendInt(line, static_cast<int64_t>(tableSize));
    line += " entries)";
    if (table == CornerTable::kVertices) line += ", drawn at the origin";
}

int64_t IndexPosition(CornerTable table, size_t corner, int64_t record) {
    constexpr int64_t kVertexIndices = FieldOf(format::kFaceIndices, "vertexIndices").Offset;
    constexpr int64_t kNormalIndices = FieldOf(format::kFaceIndices, "vertexNormalIndices").Offset;
    return record + (table == CornerTable::kVertices ? kVertexIndices : kNormalIndices) +
           format::kValueSize * static_cast<int64_t>(corner);
}

}  // namespace vexlor
