// Shared helpers of the reader tests: load a built file into a document and collect what the
// report, the PRJ export and the block display produce, in memory.
#pragma once

#include <string>
#include <vector>

#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"

namespace vexlor::testing {

inline void Load(OptDocument& document, const std::vector<uint8_t>& bytes,
                 const std::string& name = "model.opt") {
    document.OpenBytes(bytes, name);
}

// The Save ASCII bytes for the loaded file, with `caption` as the first line.
inline std::string ReportBytes(const OptDocument& document,
                               const std::string& caption = "OPTvexlor - model.opt") {
    MemoryOutput bytes;
    CrLfLineOutput lines(bytes);
    document.WriteReport(lines, caption);
    return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

// The report split at CR LF (the caption line included).
inline std::vector<std::string> ReportLines(const OptDocument& document) {
    const std::string text = ReportBytes(document);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

inline std::vector<uint8_t> PrjBytes(const OptDocument& document) {
    MemoryOutput bytes;
    document.WritePrj(bytes);
    return bytes.Bytes();
}

inline std::vector<std::string> DisplayLines(const OptDocument& document, int32_t node) {
    std::vector<std::string> lines;
    if (!document.DisplayBlock(node, lines)) return {"<no such node>"};
    return lines;
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& piece) {
    for (const std::string& line : lines)
        if (line.find(piece) != std::string::npos) return true;
    return false;
}

}  // namespace vexlor::testing
