// The report line matcher.
#include "inspector/plain/LineMatcher.h"

namespace vexlor::inspector {

namespace {

constexpr uint8_t kMiddleDot = 0xB7;

std::array<uint8_t, 256> FoldTable() {
    std::array<uint8_t, 256> fold{};
    for (size_t c = 0; c < fold.size(); ++c) {
        const bool upperAscii = c >= 'A' && c <= 'Z';
        const bool upperLatin1 = c >= 0xC0 && c <= 0xDE && c != 0xD7;
        fold[c] = static_cast<uint8_t>(upperAscii || upperLatin1 ? c + 0x20 : c);
    }
    fold[0] = kMiddleDot;
    return fold;
}

}  // namespace

LineMatcher::LineMatcher(std::string_view needle) : fold_(FoldTable()) {
    needle_.reserve(needle.size());
    for (const char c : needle)
        needle_.push_back(static_cast<char>(fold_[static_cast<uint8_t>(c)]));
    skip_.fill(needle_.size());
    for (size_t i = 0; i + 1 < needle_.size(); ++i)
        skip_[static_cast<uint8_t>(needle_[i])] = needle_.size() - 1 - i;
}

size_t LineMatcher::Find(std::string_view line, size_t from) const {
    const size_t m = needle_.size();
    if (m == 0 || from > line.size() || line.size() - from < m) return npos;
    const auto* text = reinterpret_cast<const uint8_t*>(line.data());
    const auto* pattern = reinterpret_cast<const uint8_t*>(needle_.data());
    const uint8_t last = pattern[m - 1];
    for (size_t at = from; at + m <= line.size();) {
        const uint8_t tail = fold_[text[at + m - 1]];
        if (tail == last) {
            size_t j = 0;
            while (j + 1 < m && fold_[text[at + j]] == pattern[j])
                ++j;
            if (j + 1 >= m) return at;
        }
        at += skip_[tail];
    }
    return npos;
}

void LineMatcher::MatchRows(const ReportLines& lines, size_t first, size_t last,
                            std::vector<int32_t>& rows) const {
    if (needle_.empty()) return;
    for (auto line = lines.At(first); line != lines.end() && line.Row() < last; ++line)
        if (Matches(*line)) rows.push_back(static_cast<int32_t>(line.Row()));
}

}  // namespace vexlor::inspector
