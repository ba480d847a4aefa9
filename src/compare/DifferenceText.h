// The words of a comparison, shared by `vexlor diff` and the window's compare panel: one line per
// difference ("offset 0x0000012c  block 17 (face block) mesh 2  face 5  field normal.x  A 0.5
// B -0.5"), the names and values it is made of, the notes on files whose open found problems, and
// the summary line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compare/FileComparison.h"

namespace vexlor {

// "normal.x", "vertexIndices.corner 2", "softVector1.z", "name": the field, and the part of it.
std::string DifferenceFieldName(const FieldSchema& field, int32_t part);
// "face 5", "slot 3", "header", "hardpoint": the record as its region calls it.
std::string RecordName(const RegionSchema& region, int64_t record);
// The value the field (or its part) holds at `at`, exactly: shortest round-trip singles, stored
// offsets as the file positions they give ("empty" for an empty slot), texts in quotes, bytes
// in hex.
std::string FieldValueText(const OptDocument& document, const FieldSchema& field, int32_t part,
                           int64_t at);
// "0x0000012c".
std::string OffsetText(int64_t offset);

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
