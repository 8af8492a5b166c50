// The user's notice of what saving will change in a file just opened.
#include "app/LoadReport.h"

namespace {
std::string Count(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

const char* StyleName(TLineEnd style) {
    switch (style) {
    case TLineEnd::CrLf: return "CR LF";
    case TLineEnd::Cr: return "CR";
    case TLineEnd::Lf: break;
    }
    return "LF";
}
} // namespace

std::string LoadChangesMessage(const std::string& fileName, const TLoadReport& report, int32_t paraLengthLimit) {
    std::string items;
    if (report.SplitLines)
        items += "\n- " + Count(report.SplitLines, "line is", "lines are") + " longer than " +
                 std::to_string(paraLengthLimit) + " characters and will be saved split into several lines";
    if (report.ZeroByteLines)
        items += "\n- " + Count(report.ZeroByteLines, "line holds", "lines hold") +
                 " zero bytes, which will be saved as spaces";
    if (report.OtherLineEnds)
        items += "\n- " + Count(report.OtherLineEnds, "line end differs", "line ends differ") +
                 " from the first and will be saved as " + StyleName(report.LineEnd);
    if (report.TextAfterEndMark)
        items += "\n- the text after the end-of-file mark (character 26) was not read and will not be saved";
    if (items.empty()) return {};
    return fileName + ": saving will change this file:" + items;
}

std::string LoadTrimHint(const std::string& fileName, const TLoadReport& report) {
    if (!report.TrimmedLines) return {};
    return fileName + ": " + Count(report.TrimmedLines, "line ends", "lines end") +
           " in blanks, which saving will remove";
}
