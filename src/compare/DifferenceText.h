// The words of a comparison, shared by `vexlor diff` and the window's compare panel: one line per
// difference (a differing field reads as the repair's change of it: "offset 2620: block 5 (face
// block at 810), mesh 0, faceNormals[3].normal: 0 0 1 -> 0 0 -1", A's value before the arrow),
// the names and values it is made of, the notes on files whose open found problems, and the
// summary line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/FileComparison.h"
#include "reader/FieldChange.h"

namespace vexlor {

// "normal.x", "vertexIndices.corner 2", "softVector1.z", "name": the field, and the part of it.
std::string DifferenceFieldName(const FieldSchema& field, int32_t part);
// "face 5", "slot 3", "header", "hardpoint": the record as its region calls it.
std::string RecordName(const RegionSchema& region, int64_t record);
// The value the field (or its part) holds at `at`, exactly: shortest round-trip singles, stored
// offsets as the file positions they give ("empty" for an empty slot), texts in quotes, bytes
// in hex; a field of several values (part -1) gives them all, separated by spaces ("0 0 -1").
std::string FieldValueText(const OptDocument& document, const FieldSchema& field, int32_t part,
                           int64_t at);
// "300": file positions read as the report writes them.
std::string OffsetText(int64_t offset);
// Where the difference lies in the file of `side`, as a changed field's place.
FieldPlace DifferencePlace(const OptDocument& document, const FieldDifference& difference,
                           CompareSide side);

std::string DifferenceLine(const OptDocument& a, const OptDocument& b,
                           const FieldDifference& difference);
std::string DifferenceLine(const OptDocument& a, const OptDocument& b,
                           const UnmatchedRecords& records);
std::string DifferenceLine(const OptDocument& a, const OptDocument& b, const UnmatchedBlock& block);

// "A: the open found 3 problems ("!!" lines); what it could not read is not compared", for each
// file whose open found any.
std::vector<std::string> ProblemNotes(const FileComparison& comparison);
// "no differences", or "5 differences: 3 field values, 1 record range, 1 block only in A, 0
// blocks only in B".
std::string ComparisonSummary(const FileComparison& comparison);

}  // namespace vexlor
