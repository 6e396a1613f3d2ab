// Iterative deepening: the root is searched at depth 1, 2, 3, ... until a
// mate score, the depth limit, or a stop. The line and score of the last
// finished iteration are the result; an interrupted iteration contributes its
// best root move when it is not worse.

#include <algorithm>

#include "search/score.h"
#include "search/search.h"
#include "search/search_listener.h"
#include "search/search_team.h"

Search_class::Search_class(const SearchRules& rules) : rules_(rules)
{
    resetPlies();
}

void Search_class::resetPlies()
{
    for (std::uint32_t i = 0; i < MAX_PLY; ++i) {
        plies_[i].ply = i;
        plies_[i].mobilityIndex = i / 2;
    }
}

eCeStatus Search_class::setUpFromFen(SearchListener* gui, const char* fen, HashTable_class* table)
{
    gui_ = gui;
    table_ = table;
    const eCeStatus status = board_.loadFen(fen);
    if (status != CE_SUCCESS)
        return status;
    assignSides(board_.sideToMove);
    resetPlies();
    running.store(0);
    return CE_SUCCESS;
}

void Search_class::setUpFromBoard(const Board_class& board, HashTable_class* table)
{
    table_ = table;
    board_.copyFrom(board);
    assignSides(board_.sideToMove);
    resetPlies();
    running.store(0);
}

void Search_class::setUpAsHelper(const Search_class& main, std::uint32_t index)
{
    setUpFromBoard(main.board_, main.table_);
    depthLimit_ = main.depthLimit_;
    nodeLimit_ = main.nodeLimit_;
    restrictRootMoves(main.rootMoves_, main.rootMoveCount_);
    iterationReports_ = main.iterationReports_;
    statisticsAfterSearch_ = false;
    gui_ = nullptr;
    team_ = nullptr;
    helperIndex_ = index;
}

bool Search_class::skipsDepth(std::uint32_t depth) const
{
    // Helpers in blocks of growing size skip depths in blocks of that size,
    // each at another phase: helper k searches depths in runs of size(k),
    // leaving out every other run, so that at any moment the team covers
    // several depths.
    if (helperIndex_ == 0)
        return false;
    constexpr std::uint32_t SIZE[20] = {1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4};
    constexpr std::uint32_t PHASE[20] = {0, 1, 0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 6, 7};
    const std::uint32_t i = (helperIndex_ - 1) % 20;
    return (depth + PHASE[i]) / SIZE[i] % 2 != 0;
}

void Search_class::assignSides(Colour rootSide)
{
    rootSide_ = rootSide;
    for (std::uint32_t i = 0; i < MAX_PLY; ++i)
        plies_[i].setSide(i % 2 == 0 ? rootSide : otherColour(rootSide));
}

std::int32_t Search_class::staticEvaluation()
{
    SearchPly& root = plies_[0];
    board_.sideToMove = root.side;
    board_.generateMoves(root);
    return evaluate(0);
}

void Search_class::reportProgress(std::int32_t depth, std::int32_t score, const Move* line, std::uint32_t length,
                                  std::uint32_t lineNumber)
{
    if (gui_ == nullptr)
        return;
    gui_->thinkingLine = lineNumber;
    gui_->thinkingMultiPv = iterationReports_ ? multiPv_ : 1;
    gui_->thinkingDepth = depth;
    gui_->thinkingNodes = nodeCount() + (team_ != nullptr ? team_->helperNodes() : 0);
    gui_->thinkingScore = score;
    gui_->setThinkingPV(line, length);
    gui_->sendThinking();
}

std::int32_t Search_class::searchRoot(std::int32_t depth)
{
    std::int32_t score = alphaBeta(0, depth, -INFINITE_SCORE, INFINITE_SCORE);
    if (!rules_.researchOutsideWindow)
        return score;
    // The earlier release repeats an iteration whose score fell outside the
    // window; a third try runs even if a stop arrived meanwhile.
    auto outside = [](std::int32_t s) { return s <= -INFINITE_SCORE || s >= INFINITE_SCORE; };
    if (!outside(score))
        return score;
    score = alphaBeta(0, depth, -INFINITE_SCORE, INFINITE_SCORE);
    if (!outside(score))
        return score;
    forcedRunning_ = true;
    ++forcedResearches_;
    score = alphaBeta(0, depth, -INFINITE_SCORE, INFINITE_SCORE);
    forcedRunning_ = false;
    return score;
}

void Search_class::iterativeDeepening()
{
    if (helperIndex_ == 0)
        table_->zeroCounters();
    bestLineLength_ = 0;
    nodeCount_.store(0, std::memory_order_relaxed);
    nullMoveTries_ = 0;
    nullMoveCutoffs_ = 0;
    forcedResearches_ = 0;
    lineCount_ = linesToSearch();
    finishedLines_ = 0;

    const std::uint32_t lastDepth = std::min(depthLimit_, MAX_SEARCH_DEPTH);
    std::uint32_t depth = 1;
    bool searched = false;
    bool cutShort = false;         // the last iteration was stopped before its end
    std::uint32_t completed = 0;   // the deepest iteration finished and reported
    std::int32_t lastScore = 0;
    for (; depth <= lastDepth && !interrupted(); ++depth) {
        if (skipsDepth(depth))
            continue;
        maxPly_ = 0;
        checkExtensions_ = 0;
        singleReplyExtensions_ = 0;
        lastScore = lineCount_ > 1 ? searchLines(static_cast<std::int32_t>(depth))
                                   : searchRoot(static_cast<std::int32_t>(depth));
        searched = true;
        cutShort = interrupted();
        if (cutShort)
            continue;   // stopped: the loop ends with the interrupted depth counted
        // The iteration finished: it is the result, and its line is tried first next time.
        const SearchPly& root = plies_[0];
        bestScore_ = lastScore;
        bestLineLength_ = root.pvLength;
        std::copy(root.pv, root.pv + root.pvLength, bestLine_);
        seedLine(1, bestLine_ + 1, std::max(bestLineLength_, 1u) - 1);
        if (iterationReports_) {
            if (bestLineLength_ == 0)
                break;   // no move at the root: nothing deeper to search
            completed = depth;
            reportLines(static_cast<std::int32_t>(depth));
        }
        if (lineCount_ > 1 ? everyLineMates() : isMateScore(bestScore_))
            break;   // without counting up the depth
    }

    // An interrupted iteration counts when its best root move is not worse
    // than the last finished one's, or when none finished (the score left
    // from an earlier search says nothing about this one).
    const SearchPly& root = plies_[0];
    const bool noneFinished = bestLineLength_ == 0;
    if (searched && (lastScore >= bestScore_ || noneFinished) && root.pvLength > 0) {
        bestScore_ = lastScore;
        bestLineLength_ = root.pvLength;
        std::copy(root.pv, root.pv + root.pvLength, bestLine_);
        if (cutShort && lineCount_ > 1)
            placeBestLineFirst();
    }

    // With a line per iteration a last one is sent when the search was cut
    // short (its nodes and time as they end), at the depth finished, or depth
    // 0 when the root has no move.
    if (!iterationReports_)
        reportProgress(static_cast<std::int32_t>(depth) - 1, bestScore_, bestLine_, bestLineLength_);
    else if (cutShort || completed == 0)
        reportLines(static_cast<std::int32_t>(std::max(completed, bestLineLength_ > 0 ? 1u : 0u)));
    if (statisticsAfterSearch_)
        table_->printStatistics();
}

void Search_class::restrictRootMoves(const Move* moves, std::uint32_t count)
{
    rootMoveCount_ = std::min<std::uint32_t>(count, MAX_NON_CAPTURES);
    std::copy(moves, moves + rootMoveCount_, rootMoves_);
}

namespace {

// Takes the moves `drop` names out of the root's lists, the others keeping their order.
template <class Drop>
void dropRootMoves(SearchPly& root, Drop drop)
{
    root.captureCount =
        static_cast<std::uint32_t>(std::remove_if(root.captures, root.captures + root.captureCount, drop) -
                                   root.captures);
    root.nonCaptureCount =
        static_cast<std::uint32_t>(std::remove_if(root.nonCaptures, root.nonCaptures + root.nonCaptureCount, drop) -
                                   root.nonCaptures);
}

} // namespace

void Search_class::keepRootMoves(SearchPly& root) const
{
    if (rootMoveCount_ != 0) {
        auto named = [this](Move move) {
            return std::find(rootMoves_, rootMoves_ + rootMoveCount_, move) != rootMoves_ + rootMoveCount_;
        };
        // A restriction that names none of the moves here restricts nothing.
        if (std::any_of(root.captures, root.captures + root.captureCount, named) ||
            std::any_of(root.nonCaptures, root.nonCaptures + root.nonCaptureCount, named))
            dropRootMoves(root, [&](Move move) { return !named(move); });
    }
    if (placedLines_ != 0) {
        dropRootMoves(root, [this](Move move) {
            return std::any_of(newLines_.begin(), newLines_.begin() + placedLines_,
                               [move](const RootLine& line) { return line.moves[0] == move; });
        });
    }
}

void Search_class::seedFromBestLine()
{
    // The game has gone on by bestLine[0] and, as expected, bestLine[1].
    if (bestLineLength_ >= 3)
        seedLine(0, bestLine_ + 2, bestLineLength_ - 2);
}
