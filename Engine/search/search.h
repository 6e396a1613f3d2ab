#pragma once
// The engine's move choice: iterative deepening over a negamax alpha-beta
// search with a transposition table, null-move pruning, check and
// single-reply extensions, killer moves and a capture-only quiescence search.
//
//   alpha_beta.cpp     alphaBeta and quiesce
//   move_picker.cpp    the order moves are tried in (MovePicker)
//   evaluation.cpp     the static score of a position
//   search_driver.cpp  set-up, iterative deepening, results
//   root_lines.cpp     the several best lines of an iteration (MultiPV)
//
// Everything lives in preallocated per-ply records: a search allocates nothing.

#include <atomic>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "release/search_rules.h"
#include "search/evaluation_tables.h"
#include "search/hash_table.h"
#include "search/search_ply.h"

class MovePicker;
class SearchListener;
class SearchTeam;

constexpr std::uint32_t MAX_SEARCH_DEPTH = 256;
constexpr std::uint32_t MAX_MULTI_PV = 256;

class Search_class {
public:
    explicit Search_class(const SearchRules& rules);
    Search_class(const Search_class&) = delete;
    Search_class& operator=(const Search_class&) = delete;

    // --- set-up ------------------------------------------------------------
    // Loads the position text into the search board; on failure returns the
    // board's status and changes nothing else.
    eCeStatus setUpFromFen(SearchListener* gui, const char* fen, HashTable_class* table);
    // Who is told of each thinking line (null: nobody).
    void setListener(SearchListener* listener) { gui_ = listener; }
    // Copies a board (the game's) into the search board.
    void setUpFromBoard(const Board_class& board, HashTable_class* table);
    // A helper of `main` (index 1, 2, ...): its root, table, limits and root
    // moves, searched at depths that vary with the index; it reports nothing.
    void setUpAsHelper(const Search_class& main, std::uint32_t index);
    // The team whose helpers' nodes this search reports with its own (null: none).
    void setTeam(const SearchTeam* team) { team_ = team; }
    // Plies alternate from the root's side to move.
    void assignSides(Colour rootSide);
    // Stops iterative deepening after this iteration (default: no limit).
    void setDepthLimit(std::uint32_t depth) { depthLimit_ = depth; }
    // Ends the search once it has searched this many nodes (0: no limit).
    void setNodeLimit(std::uint64_t nodes) { nodeLimit_ = nodes; }
    // The root searches only these of its moves (count 0: all of them).
    void restrictRootMoves(const Move* moves, std::uint32_t count);
    // Off (the default): a thinking line at each new best root move and one
    // at the end. On: a line at the end of every finished iteration, from
    // depth 1, and the root always searched move by move (no table result
    // stands in for it), so a position searched before still gets its lines.
    void setIterationReports(bool on) { iterationReports_ = on; }
    // How many best root moves each iteration yields with their lines (1 to
    // MAX_MULTI_PV, no more than the root has moves to search). Beyond one,
    // the root is searched once per line, each time without the moves of the
    // lines before, and every finished iteration reports its lines, the best
    // first. Only with iteration reports on; otherwise the search keeps one line.
    void setMultiPv(std::uint32_t lines);
    std::uint32_t rootMoveCount() const { return rootMoveCount_; }
    Move rootMove(std::uint32_t index) const { return rootMoves_[index]; }

    // --- searching -----------------------------------------------------------
    // Lets a search run: set just before the search starts, so that a stop
    // arriving before the search thread gets going is never lost.
    void arm() { running.store(1); }
    // Runs one search to the depth limit, a mate score, or a stop; then
    // prints the table statistics unless they are left to the caller.
    void iterativeDeepening();
    // The game prints the statistics itself, after its move line.
    void leaveStatisticsToCaller() { statisticsAfterSearch_ = false; }
    // Clears `running`; true when this call is the one that stopped a running search.
    bool stop() { return running.exchange(0) == 1; }
    // The next search tries the rest of the expected line first.
    void seedFromBestLine();

    // --- results and inspection ---------------------------------------------
    Move bestMove() const { return bestLine_[0]; }
    std::int32_t bestScore() const { return bestScore_; }
    const Move* bestLine() const { return bestLine_; }
    std::uint32_t bestLineLength() const { return bestLineLength_; }
    // Nodes of this search (read by other threads while it runs).
    std::uint64_t nodeCount() const { return nodeCount_.load(std::memory_order_relaxed); }
    std::uint64_t nodeLimit() const { return nodeLimit_; }
    const SearchRules& rules() const { return rules_; }
    HashTable_class* table() const { return table_; }
    std::uint32_t nullMoveTries() const { return nullMoveTries_; }
    std::uint32_t singleReplyExtensions() const { return singleReplyExtensions_; }
    // Iterations searched a third time with the stop held off (earlier release).
    std::uint32_t forcedResearches() const { return forcedResearches_; }
    Colour rootSide() const { return rootSide_; }
    Board_class& board() { return board_; }
    const Board_class& board() const { return board_; }
    SearchPly& ply(std::uint32_t index) { return plies_[index]; }

    // The static score of the search board: moves generated into ply 0, then evaluate(0).
    std::int32_t staticEvaluation();
    std::int32_t evaluate(std::uint32_t ply);
    // Slots of pieces with terms that depend on moves or hits, grouped by those terms.
    struct DynamicSlots {
        std::uint32_t mobilityOnly = 0;
        std::uint32_t mobilityCrowded = 0;
        std::uint32_t blockedOnly = 0;
        std::uint32_t other = 0;
        DynamicSlots of(std::uint32_t colourSlots) const
        {
            return {mobilityOnly & colourSlots, mobilityCrowded & colourSlots, blockedOnly & colourSlots,
                    other & colourSlots};
        }
    };
    std::int32_t pieceTerms(const DynamicSlots& slots, std::uint32_t mobilityIndex) const;

    std::int32_t alphaBeta(std::uint32_t ply, std::int32_t depth, std::int32_t alpha, std::int32_t beta);
    std::int32_t quiesce(std::uint32_t ply, std::int32_t alpha, std::int32_t beta);

    // 1 while the search may go on; any other value ends it. Written by other
    // threads to stop the search.
    std::atomic<std::uint8_t> running{0};

private:
    bool keepSearching() const
    {
        return (running.load(std::memory_order_relaxed) == 1 && !nodeLimitReached()) || forcedRunning_;
    }
    bool nodeLimitReached() const { return nodeLimit_ != 0 && nodeCount() >= nodeLimit_; }
    // Counts a node: only this search's thread writes the count; others may read it.
    void countNode() { nodeCount_.store(nodeCount_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
    // A helper leaves out some depths, so that the team's searches spread over several.
    bool skipsDepth(std::uint32_t depth) const;
    // Whether the iteration under way was cut short (a stop or the node limit).
    bool interrupted() const { return running.load() != 1 || nodeLimitReached(); }
    // The root's moves narrowed to the restriction, less the moves of the
    // lines placed before (table results at the root are not used then, nor stored).
    void keepRootMoves(SearchPly& root) const;
    bool rootRestricted(std::uint32_t ply) const { return ply == 0 && (rootMoveCount_ != 0 || placedLines_ != 0); }
    // The root's moves are searched whatever the table holds.
    bool rootSearchedWhole(std::uint32_t ply) const { return ply == 0 && (rootMoveCount_ != 0 || iterationReports_); }
    void setSide(const SearchPly& list) { board_.sideToMove = list.side; }
    void store(const SearchPly& list, std::uint32_t ply, std::int32_t score, std::uint32_t flag, std::uint32_t depth);
    void takeChildLine(SearchPly& list, std::uint32_t ply, Move move);
    // The plies from firstPly on try the moves of `line` first; the ply after
    // the last one seeded starts with no line.
    void seedLine(std::uint32_t firstPly, const Move* line, std::uint32_t length);
    // The plies below try the moves of this ply's best line first.
    void spreadPV(std::uint32_t ply);
    // The steps of alphaBeta: true when the node is decided, with its score.
    bool tableCutoff(SearchPly& list, std::uint32_t ply, std::int32_t depth, std::int32_t& alpha, std::int32_t beta,
                     std::int32_t& score);
    bool nullMoveCutoff(SearchPly& list, std::uint32_t ply, std::int32_t depth, std::int32_t alpha, std::int32_t beta,
                        std::int32_t& score);
    // Makes the picker's next move (NO_MOVE when there is none left) and counts the node.
    Move makeNextMove(SearchPly& list, MovePicker& picker);
    void reportProgress(std::int32_t depth, std::int32_t score, const Move* line, std::uint32_t length,
                        std::uint32_t lineNumber = 1);
    std::int32_t searchRoot(std::int32_t depth);
    // root_lines.cpp: the lines this search yields; one iteration's lines,
    // returning the best one's score with its line in the root's record; the
    // lines reported; the best line placed first after an interrupted iteration.
    std::uint32_t linesToSearch();
    std::int32_t searchLines(std::int32_t depth);
    void reportLines(std::int32_t depth);
    bool everyLineMates() const;
    void placeBestLineFirst();
    void resetPlies();

    const SearchRules& rules_;
    SearchListener* gui_ = nullptr;   // told of each thinking line; may be null
    HashTable_class* table_ = nullptr;
    Colour rootSide_ = WHITE;
    std::atomic<std::uint64_t> nodeCount_{0};
    const SearchTeam* team_ = nullptr;
    std::uint32_t helperIndex_ = 0;   // 0: the main search
    std::uint32_t checkExtensions_ = 0;
    std::uint32_t singleReplyExtensions_ = 0;
    std::uint32_t nullMoveCutoffs_ = 0;
    std::uint32_t nullMoveTries_ = 0;
    Move bestLine_[MAX_PLY] = {};
    std::uint32_t bestLineLength_ = 0;
    std::int32_t bestScore_ = 0;
    SearchPly plies_[MAX_PLY];
    Board_class board_;
    bool nullMoveActive_ = false;
    bool forcedRunning_ = false;   // the earlier release's forced re-search
    std::uint32_t forcedResearches_ = 0;
    bool statisticsAfterSearch_ = true;
    std::uint32_t maxPly_ = 0;
    std::uint32_t depthLimit_ = MAX_SEARCH_DEPTH;
    std::uint64_t nodeLimit_ = 0;
    Move rootMoves_[MAX_NON_CAPTURES] = {};
    std::uint32_t rootMoveCount_ = 0;
    bool iterationReports_ = false;
    // MultiPV: the lines of the last finished iteration, best first, and those
    // of the iteration under way (sized by setMultiPv, never during a search).
    struct RootLine {
        std::int32_t score = 0;
        std::uint32_t length = 0;
        Move moves[MAX_PLY] = {};
    };
    std::vector<RootLine> lines_;
    std::vector<RootLine> newLines_;
    std::uint32_t multiPv_ = 1;
    std::uint32_t lineCount_ = 1;      // the lines of this search
    std::uint32_t finishedLines_ = 0;  // held in lines_
    std::uint32_t placedLines_ = 0;    // the root leaves out the first moves of newLines_ up to here
    EvalTables evalTables_;   // rebuilt when the full-move number changes
    struct GroupCache {
        std::uint32_t typeChanges = 0;   // the board's typeChanges() they were made for
        DynamicSlots slots;              // captured pieces included
    };
    GroupCache groupsOfTypes_{~0u, {}};
};
