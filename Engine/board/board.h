#pragma once
// One chess position and everything move generation, make/unmake and the
// evaluation read from it: the square array, the 32 piece slots (white 0..15,
// black 16..31, filled in the order pieces are added), per-colour counts and
// material, the FEN state and the incrementally kept position key.
//
// The rules of chess live in these files:
//   fen.cpp              reading and writing positions
//   move_generator.h     legal moves, checks, pins, attacks, castling, en passant
//                        (compiled per instruction-set path, move_generation_*.cpp)
//   move_generation.cpp  the path dispatch and the questions asked outside a generation
//   make_move.cpp        playing and taking back moves, the null move
//   draw_rules.cpp       fifty moves, insufficient material, repetition

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "board/bitboards.h"
#include "board/cpu_path.h"
#include "board/move.h"
#include "board/move_list.h"
#include "board/move_record.h"
#include "board/object.h"
#include "board/piece.h"
#include "board/piece_score.h"
#include "board/types.h"
#include "board/zobrist.h"

struct PextTables;
enum class MoveOutput;   // what a generation writes (move_generation_paths.h)

constexpr std::size_t FEN_TEXT_LIMIT = 100;    // longest FEN text accepted
constexpr std::size_t FEN_BUFFER_SIZE = 128;   // room for any FEN writeFen produces
constexpr const char START_FEN[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// statusFlags bits set by a move generation.
constexpr std::uint32_t STATUS_IN_CHECK = 1;
constexpr std::uint32_t STATUS_DOUBLE_CHECK = 2;
constexpr std::uint32_t STATUS_OWN_PIECE_ON_RAY = 4;   // scratch bit of the pin scan
constexpr std::uint32_t STATUS_SLIDING_CHECK = 8;
constexpr std::uint32_t STATUS_CHECKMATED = 16;
constexpr std::uint32_t STATUS_STALEMATED = 32;

struct ColourBlock {
    std::uint32_t pieceCount = 0;          // pieces on the board, king included
    Piece_class* king = nullptr;
    std::uint32_t typeCount[6] = {};       // by piece type
    std::int32_t material = 0;             // values of the pieces added (not kept by make/unmake)
};

class Board_class final : private Object_class {
public:
    Board_class();
    Board_class(const Board_class&) = delete;
    Board_class& operator=(const Board_class&) = delete;

    void dump() const override;

    // --- position set-up -------------------------------------------------
    // Removes every piece and resets the FEN state (side to move and key stay).
    void clear();
    // Puts a piece (colour, type and square set) into the next free slot of its
    // colour. Refused (invalid position) when the colour already has 16 pieces,
    // the square is off the board or occupied.
    eCeStatus addPiece(const Piece_class& piece);
    // Clears the board and reads a FEN text: 0 on success, 2 (invalid position)
    // for malformed text or a position without exactly one king per colour.
    eCeStatus loadFen(const char* text);
    void loadStartPosition();
    // Writes the position as FEN into a buffer of bufferSize (at least FEN_BUFFER_SIZE).
    void writeFen(char* buffer, std::size_t bufferSize) const;
    // Copies another board's position; piece slots are refilled in order,
    // skipping captured pieces.
    void copyFrom(const Board_class& other);
    // Grants each castling right whose king and rook stand on their home squares.
    void deriveCastlingRights();
    void computeHashKey();
    std::uint64_t computedHashKey() const;

    void setSideToMove(Colour colour) { sideToMove = colour; }
    void addFullmoves(std::int32_t delta);

    // --- move generation -------------------------------------------------
    // Fills the list with the legal moves of list.side and sets statusFlags.
    // With listNonCaptures false the captures are listed as usual but the
    // non-captures are only counted (everything else is the same); the list
    // then answers for them through generatedQuietMove.
    void generateMoves(MoveList& list, bool listNonCaptures = true);
    // The number of legal moves of list.side: only the list's two counts and
    // statusFlags are written (no move, no piece's tallies or hits). For perft.
    std::uint32_t countMoves(MoveList& list);
    // For a list generated without its non-captures, in this same position:
    // true when the generation counted the non-capture `move`.
    bool generatedQuietMove(const MoveList& list, Move move) const;
    // Does a piece of colour `by` attack the square?
    bool attacks(Colour by, Square square) const;
    // A position that can be played on: one king per colour, and the side not
    // to move is not in check (its king could be taken). Moves and searches
    // from any other position would capture a king.
    bool isLegalPosition() const;
    // The instruction set this board generates moves with (selectedCpuPath()
    // unless set); an unavailable path is refused. Every path gives the same moves.
    bool setCpuPath(CpuPath path);
    CpuPath cpuPath() const { return cpuPath_; }

    // --- making moves ----------------------------------------------------
    // Plays record.move (a generated move of sideToMove); the caller switches sideToMove.
    void makeMove(MoveRecord& record);
    void unmakeMove(const MoveRecord& record);
    void makeNullMove(MoveRecord& record);
    void unmakeNullMove(const MoveRecord& record);

    // --- end-of-game rules -----------------------------------------------
    bool isFiftyMoveDraw() const;
    // The key of a position of this board's pawn structure as the repetition
    // rule compares positions: its en passant square counts only when a pawn
    // of `side` (to move there) stands beside the pawn that moved two squares.
    std::uint64_t repetitionKey(std::uint64_t key, Square enPassant, Colour side) const;
    std::uint64_t repetitionKey() const { return repetitionKey(hashKey, enPassantSquare, sideToMove); }
    bool isInsufficientMaterial() const;
    bool hasMatingMaterial(Colour colour) const;

    // --- queries ---------------------------------------------------------
    // Cross-checks squares, slots, counts, material, kings and the key; on a
    // failure describes the first mismatch in `why`.
    // keySide: the side to move the key stands for, when it is not sideToMove
    // (around makeMove and unmakeMove the caller switches sideToMove itself).
    bool isConsistent(char* why = nullptr, std::size_t whySize = 0, Colour keySide = 0) const;
    const ColourBlock& block(Colour colour) const { return blocks_[colour - 1]; }
    Piece_class* pieceAt(Square square) const { return squares_[square]; }
    Piece_class* pieceSlot(std::uint32_t slot) const { return pieceSlots_[slot]; }
    // Keeps the sum of the table's score over the pieces on the board from now
    // on (null: no sum is kept).
    void setPieceScoreTable(const PieceScoreTable* table)
    {
        pieceScoreTable_ = table;
        pieceScoreStale_ = true;
        ++pieceScoreEpoch_;   // sums saved in move records no longer apply
    }
    std::int32_t pieceScore() const
    {
        if (pieceScoreStale_)
            recomputePieceScore();
        return pieceScore_;
    }
    // Slots of the pieces of a type (captured ones included; see liveSlots).
    std::uint32_t slotsOfType(PieceType type) const { return slotsByType_[type]; }
    // Changes whenever slotsOfType may have changed (a promotion made or
    // taken back, a piece added, the board cleared): lets a reader keep what
    // it derives from the sets.
    std::uint32_t typeChanges() const { return typeChanges_; }
    // Bit n set while slot n holds a piece that is on the board.
    std::uint32_t liveSlots() const { return liveSlots_; }
    Bitboard occupied() const { return colourBB_[0] | colourBB_[1]; }
    std::uint32_t pieceCount(Colour colour) const { return blocks_[colour - 1].pieceCount; }

    // Position state, read freely by the search and the evaluation.
    std::uint64_t hashKey = 0;
    Colour sideToMove = WHITE;
    std::int32_t fullmoveNumber = 0;
    std::int32_t halfmoveClock = 0;
    Square enPassantSquare = NO_SQUARE;
    std::int32_t materialBalance = 0;   // white minus black, kept by make/unmake
    std::uint32_t castlingRights = 0;
    std::uint8_t hasCastled[2] = {};    // white, black
    Move lastMove = NO_MOVE;
    std::uint32_t statusFlags = 0;      // from the last generateMoves

private:
    ColourBlock& blockOf(Colour colour) { return blocks_[colour - 1]; }
    void toggle(std::uint64_t key) { hashKey ^= key; }
    static std::uint32_t slotBit(const Piece_class* piece) { return 1u << piece->slot; }
    // Flips a piece's bits on the given squares in the colour and type sets.
    void flipBits(const Piece_class& piece, Bitboard squares)
    {
        colourBB_[piece.colour - 1] ^= squares;
        pieceBB_[piece.colour - 1][piece.type] ^= squares;
    }
    // What make and unmake change pieces with (make_move.cpp). Making updates
    // the key and the piece score too; unmaking restores them from the record.
    enum class Way { Make, Unmake };
    template <Way way> void putPiece(Piece_class& piece, Square square);
    template <Way way> void removePiece(Piece_class& piece);
    template <Way way> void movePiece(Piece_class& piece, Square to);
    template <Way way> void retypePiece(Piece_class& piece, PieceType type);
    void setEnPassantSquare(Square square);
    void setCastlingRights(std::uint32_t rights);

    const ZobristKeys& keys_;
    Piece_class pieces_[32];            // storage behind the slots
    Piece_class* pieceSlots_[32] = {};
    Piece_class* squares_[64] = {};
    ColourBlock blocks_[2];
    std::uint32_t liveSlots_ = 0;
    std::uint32_t slotsByType_[6] = {};
    std::uint32_t typeChanges_ = 0;
    const PieceScoreTable* pieceScoreTable_ = nullptr;
    mutable std::int32_t pieceScore_ = 0;
    mutable bool pieceScoreStale_ = true;
    std::uint32_t pieceScoreEpoch_ = 0;
    void recomputePieceScore() const;
    std::int32_t scoreOf(const Piece_class& piece) const
    {
        return pieceScoreTable_->of(piece.code, piece.square, piece.moveCount);
    }
    Bitboard colourBB_[2] = {};     // squares of each colour's pieces
    Bitboard pieceBB_[2][6] = {};   // by colour and piece type

    CpuPath cpuPath_ = selectedCpuPath();
    const PextTables* pextTables_ = nullptr;   // built when the path needs them

    // Move generation reads the position directly (move_generator.h).
    template <CpuPath P, MoveOutput Out> friend class MoveGenerator;
};

// True when the key stood on the board before: it equals the key of at least
// two records of the history (each record keeps the key before its move).
bool isThreefoldRepetition(std::uint64_t key, const MoveRecord* history, std::uint32_t count);
// The number of history records with this key.
std::uint32_t countKeyInHistory(std::uint64_t key, const MoveRecord* history, std::uint32_t count);
