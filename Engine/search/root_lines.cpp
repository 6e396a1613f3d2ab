// MultiPV: the several best root moves of an iteration, each with its exact
// score and line. The root is searched with the full window once per line,
// each time without the first moves of the lines found before it, and the
// lines are kept best first. An iteration cut short leaves the lines of the
// last finished one.

#include <algorithm>

#include "search/score.h"
#include "search/search.h"

void Search_class::setMultiPv(std::uint32_t lines)
{
    multiPv_ = std::clamp(lines, 1u, MAX_MULTI_PV);
    if (multiPv_ > 1 && lines_.size() < multiPv_) {   // here, so that the search allocates nothing
        lines_.resize(multiPv_);
        newLines_.resize(multiPv_);
    }
}

std::uint32_t Search_class::linesToSearch()
{
    if (multiPv_ == 1 || !iterationReports_)
        return 1;
    // No more lines than the root has moves to search.
    SearchPly& root = plies_[0];
    setSide(root);
    board_.generateMoves(root);
    keepRootMoves(root);
    return std::clamp(root.moveCount(), 1u, multiPv_);
}

std::int32_t Search_class::searchLines(std::int32_t depth)
{
    SearchPly& root = plies_[0];
    std::int32_t score = 0;
    std::uint32_t found = 0;
    bool cut = false;
    for (; found < lineCount_; ++found) {
        // Each line's search tries the line of the same rank last time first.
        if (found < finishedLines_)
            seedLine(0, lines_[found].moves, lines_[found].length);
        placedLines_ = found;
        score = searchRoot(depth);
        placedLines_ = 0;
        cut = interrupted();
        if (cut || root.pvLength == 0)
            break;
        // Among the lines found so far after those as good: a later search
        // may score a move above an earlier line (the table has learnt meanwhile).
        RootLine& line = newLines_[found];
        line.score = score;
        line.length = root.pvLength;
        std::copy(root.pv, root.pv + root.pvLength, line.moves);
        const auto begin = newLines_.begin();
        const auto place = std::upper_bound(begin, begin + found, score,
                                            [](std::int32_t s, const RootLine& other) { return s > other.score; });
        std::rotate(place, begin + found, begin + found + 1);
    }
    if (found == 0)
        return score;   // cut short in the first line, or no move at the root: the root's record as it stands
    if (!cut) {
        std::swap(lines_, newLines_);
        finishedLines_ = found;
    }
    // The best line found (of the finished lines when cut short) goes to the root's record.
    const RootLine& best = cut ? newLines_[0] : lines_[0];
    root.pvLength = best.length;
    std::copy(best.moves, best.moves + best.length, root.pv);
    return best.score;
}

void Search_class::reportLines(std::int32_t depth)
{
    if (finishedLines_ == 0) {   // one line, or no iteration finished yet
        reportProgress(depth, bestScore_, bestLine_, bestLineLength_);
        return;
    }
    for (std::uint32_t k = 0; k < finishedLines_; ++k)
        reportProgress(depth, lines_[k].score, lines_[k].moves, lines_[k].length, k + 1);
}

bool Search_class::everyLineMates() const
{
    return std::all_of(lines_.begin(), lines_.begin() + finishedLines_,
                       [](const RootLine& line) { return isMateScore(line.score); });
}

void Search_class::placeBestLineFirst()
{
    if (finishedLines_ == 0)
        return;
    // The best line, from the iteration cut short, comes first; the earlier
    // lines follow it without the one of its move (or without the last one).
    const auto begin = lines_.begin();
    const auto end = begin + finishedLines_;
    auto same = std::find_if(begin, end, [this](const RootLine& line) { return line.moves[0] == bestLine_[0]; });
    if (same == end)
        same = end - 1;
    std::rotate(begin, same, same + 1);
    lines_[0].score = bestScore_;
    lines_[0].length = bestLineLength_;
    std::copy(bestLine_, bestLine_ + bestLineLength_, lines_[0].moves);
}
