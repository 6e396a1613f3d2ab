#pragma once
// Strictly legal move generation. Checks and pins are found first from the
// own king; every piece then generates only moves that are legal under them.
// Only king moves, castling squares and en passant need an attack test.
//
// Order is behaviour: pieces in slot order, each piece's rays in table order,
// near to far along a ray, castling last; promotions bishop, rook, knight,
// queen. The search takes moves from the end of each array. Besides its
// moves, every generated piece gets its move tally (under the list's mobility
// index) and its own and enemy hits, which the evaluation reads.
//
// The generator is a template over the instruction-set path and over what it
// writes: every move, the captures with the non-captures only counted, or
// (for perft) only the two counts, leaving pieces and lists untouched. Only the move_generation_<path>.cpp files
// include this header, after move_generation_paths.h and after setting their
// instruction set: it includes nothing itself, and everything it defines is a
// member of the template, so no code built for one path is shared with another.

template <CpuPath P, MoveOutput Out>
class MoveGenerator {
    // Non-captures written to the list; pieces' tallies and hits, and the
    // targets of counted non-captures, recorded.
    static constexpr bool Listing = Out == MoveOutput::List;
    static constexpr bool Recording = Out != MoveOutput::CountAll;

public:
    MoveGenerator(Board_class& board, MoveList& list) : b_(board), list_(list) {}
    void run();

private:
    enum class AttackMode { Full, NonSliding };

    static int bitCount(Bitboard b)
    {
#if KELP_CPU_DISPATCH
        // Without POPCNT the library call costs more than a few shifts.
        if constexpr (P == CpuPath::Portable) {
            b = b - ((b >> 1) & 0x5555555555555555ULL);
            b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
            b = (b + (b >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
            return static_cast<int>((b * 0x0101010101010101ULL) >> 56);
        }
#endif
        return std::popcount(b);
    }
    // Sliding attacks: bit extraction on the BMI2 path, magic multiplication elsewhere.
    Bitboard rookAttacks(Square s, Bitboard occupied) const
    {
#if KELP_CPU_DISPATCH
        if constexpr (P == CpuPath::Bmi2) {
            const PextEntry& e = pext_->rook[s];
            return e.attacks[_pext_u64(occupied, e.mask)];
        }
#endif
        return rookAttacksMagic(s, occupied);
    }
    Bitboard bishopAttacks(Square s, Bitboard occupied) const
    {
#if KELP_CPU_DISPATCH
        if constexpr (P == CpuPath::Bmi2) {
            const PextEntry& e = pext_->bishop[s];
            return e.attacks[_pext_u64(occupied, e.mask)];
        }
#endif
        return bishopAttacksMagic(s, occupied);
    }

    void findChecksAndPins();
    const Piece_class* attackerOf(Square square) const;
    bool isAttacked(Square square, Bitboard occupied, Bitboard enemyPawns) const;
    Bitboard safeKingTargets(Square from, Bitboard targets) const;
    // The queen step along which a pinned piece may still move (0: not pinned).
    std::int32_t pinDelta(Square square) const;

    void preparePawnSets();
    void generateSliderMoves(Piece_class& piece, std::uint32_t index);
    void generateKnightMoves(Piece_class& knight, std::uint32_t index);
    void generateKingMoves(Piece_class& king, std::uint32_t index);
    std::uint32_t countQuietPawns(std::uint32_t firstSlot);
    void generateFreePawnMoves(Piece_class& pawn);
    void generatePawnMoves(Piece_class& pawn);
    std::uint32_t pawnCaptures(const Piece_class& pawn, std::int32_t pin);
    bool addEnPassant(const Piece_class& pawn, Square target);
    void addDoubleStep(Square from, Square passed, std::int32_t forward, std::uint32_t& tally);
    void generateCastling();
    bool castlingPiecesInPlace(Square kingHome, Square rookHome) const;

    // A piece's tally of moves; when non-captures are only counted, also their
    // count and targets. False when no move is left to write.
    bool recordTally(Piece_class& piece, std::uint32_t index, Bitboard quiet, Bitboard captures)
    {
        piece.mobility[mobilityIndex_] = static_cast<std::uint32_t>(bitCount(quiet | captures));
        if constexpr (!Listing) {
            quietCount_ += static_cast<std::uint32_t>(bitCount(quiet));
            list_.quietTargets[index] = quiet;
            return captures != 0;
        }
        return true;
    }
    // Counting all: a piece's non-captures and captures, by their target sets.
    void countOnly(Bitboard quiet, Bitboard captures)
    {
        quietCount_ += static_cast<std::uint32_t>(bitCount(quiet));
        captureTally_ += static_cast<std::uint32_t>(bitCount(captures));
    }
    void addCapture(Move move)
    {
        if constexpr (Recording)
            *captureCursor_++ = move;
        else
            ++captureTally_;
    }
    // A pawn's non-capture on the step-by-step path: listed, or counted with
    // its target square recorded.
    void addPawnMove(Move move)
    {
        if constexpr (Listing) {
            *quietCursor_++ = move;
        } else {
            ++quietCount_;
            if constexpr (Recording)
                (moveFlags(move) & MOVE_TWO_SQUARE ? list_.pawnDoubleStepTargets : list_.pawnStepTargets) |=
                    squareBit(moveTo(move));
        }
    }
    void addPromotions(Square from, Square to, std::uint32_t flags);
    // Listing: the moves of one ray in `targets` (within the ray), near to far.
    void listRay(Square from, int direction, Bitboard targets)
    {
        while (targets != 0) {
            const Square to = risingDirection(direction) ? lowestSquare(targets) : highestSquare(targets);
            targets ^= squareBit(to);
            *quietCursor_++ = encodeMove(from, to, 0, 0);
        }
    }
    // A step piece's moves to `targets` in the order of its ray set.
    void addStepMoves(std::uint32_t raySetIndex, Square from, Bitboard quiet, Bitboard captures)
    {
        if (!Listing && (captures & (captures - 1)) == 0) {
            addCapture(encodeMove(from, lowestSquare(captures), 0, MOVE_CAPTURE));   // the one capture
            return;
        }
        const RaySet& rays = raySet(raySetIndex, from);
        for (std::uint32_t r = 0; r < rays.count; ++r) {
            const Square to = from + rays.rays[r].delta;
            if (Listing && (quiet & squareBit(to)))
                *quietCursor_++ = encodeMove(from, to, 0, 0);
            else if (captures & squareBit(to))
                addCapture(encodeMove(from, to, 0, MOVE_CAPTURE));
        }
    }

    Board_class& b_;
    MoveList& list_;
    const PextTables* pext_ = nullptr;
    Colour side_ = WHITE;
    Colour opponent_ = BLACK;
    std::uint32_t us_ = 0;     // colour indices of the two sides
    std::uint32_t them_ = 1;
    Piece_class* king_ = nullptr;
    Square kingSquare_ = 0;
    std::uint32_t status_ = 0;
    bool inCheck_ = false;
    Bitboard occupied_ = 0;
    Bitboard own_ = 0;
    Bitboard enemy_ = 0;
    Bitboard enPassantBit_ = 0;
    Bitboard checkMask_ = 0;           // where a non-king move ends a check: the checker and the squares between
    Bitboard legal_ = ~Bitboard{0};    // targets allowed to a non-king move: all, or checkMask_ in check
    Bitboard pinned_ = 0;              // own pieces pinned to the king
    std::int32_t excludedKingDelta_ = 0;   // the king's step straight away from a sliding checker
    std::uint32_t mobilityIndex_ = 0;
    Move* captureCursor_ = nullptr;
    Move* quietCursor_ = nullptr;
    std::uint32_t quietCount_ = 0;
    std::uint32_t captureTally_ = 0;   // counting all: the captures
    // Not in check, for every pawn at once, each set by the pawn's own square:
    // can step (not onto the last rank), can promote by a step, can double-step,
    // push stopped by an own or an enemy piece.
    Bitboard stepFrom_ = 0;
    Bitboard promoteFrom_ = 0;
    Bitboard doubleFrom_ = 0;
    Bitboard blockedByOwnFrom_ = 0;
    Bitboard blockedByEnemyFrom_ = 0;

    static constexpr Bitboard kRank1 = 0x00000000000000ffULL;
    static constexpr Bitboard kRank8 = 0xff00000000000000ULL;
    static constexpr Bitboard kFileA = 0x0101010101010101ULL;
    static constexpr Bitboard kFileH = 0x8080808080808080ULL;
};

template <CpuPath P>
void generateMovesWith(Board_class& board, MoveList& list, MoveOutput output)
{
    switch (output) {
    case MoveOutput::List:
        MoveGenerator<P, MoveOutput::List>(board, list).run();
        break;
    case MoveOutput::CountNonCaptures:
        MoveGenerator<P, MoveOutput::CountNonCaptures>(board, list).run();
        break;
    case MoveOutput::CountAll:
        MoveGenerator<P, MoveOutput::CountAll>(board, list).run();
        break;
    }
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::run()
{
    if constexpr (P == CpuPath::Bmi2)
        pext_ = b_.pextTables_;
    side_ = list_.side;
    opponent_ = list_.opponent;
    us_ = side_ - 1;
    them_ = opponent_ - 1;
    list_.nonCapturesListed = Listing;
    if constexpr (!Listing && Recording) {
        list_.castlingGenerated = 0;
        list_.pawnStepTargets = 0;
        list_.pawnDoubleStepTargets = 0;
    }
    captureCursor_ = list_.captures;
    quietCursor_ = list_.nonCaptures;
    mobilityIndex_ = list_.mobilityIndex;
    king_ = b_.blocks_[us_].king;
    kingSquare_ = king_->square;
    occupied_ = b_.colourBB_[0] | b_.colourBB_[1];
    own_ = b_.colourBB_[us_];
    enemy_ = b_.colourBB_[them_];
    enPassantBit_ = b_.enPassantSquare != NO_SQUARE ? squareBit(b_.enPassantSquare) : 0;

    findChecksAndPins();
    inCheck_ = status_ & STATUS_IN_CHECK;
    if (inCheck_)
        legal_ = checkMask_;

    const std::uint32_t firstSlot = side_ == WHITE ? 0 : 16;
    if (status_ & STATUS_DOUBLE_CHECK) {
        if constexpr (!Listing && Recording) {
            for (Bitboard& targets : list_.quietTargets)
                targets = 0;   // only the king moves
        }
        generateKingMoves(*king_, static_cast<std::uint32_t>(king_ - b_.pieces_) - firstSlot);
    } else {
        std::uint32_t live = (b_.liveSlots_ >> firstSlot) & 0xffff;
        if (!inCheck_) {
            preparePawnSets();
            // Counting, the pawns that add no move to a list are done first.
            if constexpr (!Listing)
                live = (live & ~(b_.slotsByType_[PAWN] >> firstSlot)) | countQuietPawns(firstSlot);
        }
        for (; live != 0; live &= live - 1) {
            const auto index = static_cast<std::uint32_t>(std::countr_zero(live));
            Piece_class& piece = *b_.pieceSlots_[firstSlot + index];
            switch (piece.type) {
            case PAWN:
                if (inCheck_ || (pinned_ & squareBit(piece.square)))
                    generatePawnMoves(piece);
                else
                    generateFreePawnMoves(piece);
                break;
            case KNIGHT:
                generateKnightMoves(piece, index);
                break;
            case KING:
                generateKingMoves(piece, index);
                break;
            default:
                generateSliderMoves(piece, index);
                break;
            }
        }
        if (!inCheck_)
            generateCastling();
    }

    const auto captures = Recording ? static_cast<std::uint32_t>(captureCursor_ - list_.captures) : captureTally_;
    const auto nonCaptures = Listing ? static_cast<std::uint32_t>(quietCursor_ - list_.nonCaptures) : quietCount_;
    list_.captureCount = captures;
    list_.nonCaptureCount = nonCaptures;
    if (captures == 0 && nonCaptures == 0)
        status_ |= (status_ & STATUS_IN_CHECK) ? STATUS_CHECKMATED : STATUS_STALEMATED;
    b_.statusFlags = status_;
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::findChecksAndPins()
{
    if (const Piece_class* checker = attackerOf(kingSquare_)) {
        checkMask_ = squareBit(checker->square);
        status_ |= STATUS_IN_CHECK;
    }
    const std::uint32_t* enemy = b_.blocks_[them_].typeCount;
    if (enemy[QUEEN] + enemy[ROOK] + enemy[BISHOP] == 0)
        return;

    // Sliders that see the king give check; those that see it through exactly
    // one own piece pin that piece to the line. Only sliders on the king's
    // lines can do either.
    const AttackTables& tables = attackTables();
    const Bitboard straight = b_.pieceBB_[them_][QUEEN] | b_.pieceBB_[them_][ROOK];
    const Bitboard diagonal = b_.pieceBB_[them_][QUEEN] | b_.pieceBB_[them_][BISHOP];
    Bitboard checkers = 0;
    Bitboard pinners = 0;
    if (tables.rookRays[kingSquare_] & straight) {
        const Bitboard lines = rookAttacks(kingSquare_, occupied_);
        checkers |= lines & straight;
        pinners |= rookAttacks(kingSquare_, occupied_ ^ (lines & own_)) & straight;
    }
    if (tables.bishopRays[kingSquare_] & diagonal) {
        const Bitboard lines = bishopAttacks(kingSquare_, occupied_);
        checkers |= lines & diagonal;
        pinners |= bishopAttacks(kingSquare_, occupied_ ^ (lines & own_)) & diagonal;
    }
    for (Bitboard p = pinners & ~checkers; p != 0; p &= p - 1)
        pinned_ |= squaresBetween(kingSquare_, lowestSquare(p)) & own_;
    if (checkers == 0)
        return;
    if ((status_ & STATUS_IN_CHECK) || (checkers & (checkers - 1))) {
        // Double check: only king moves follow.
        status_ |= (status_ & STATUS_IN_CHECK) ? STATUS_DOUBLE_CHECK
                                               : STATUS_IN_CHECK | STATUS_SLIDING_CHECK | STATUS_DOUBLE_CHECK;
        return;
    }
    // One sliding checker: it may be taken or blocked on the squares between.
    const Square checker = lowestSquare(checkers);
    checkMask_ = squaresBetween(kingSquare_, checker) | squareBit(checker);
    excludedKingDelta_ = -directionDelta(tables.direction[kingSquare_][checker]);
    status_ |= STATUS_IN_CHECK | STATUS_SLIDING_CHECK;
}

// The pawn or knight (or adjacent king) that attacks the own king's square, in
// ray-table order: the order decides which checker is reported.
template <CpuPath P, MoveOutput Out>
const Piece_class* MoveGenerator<P, Out>::attackerOf(Square square) const
{
    const AttackTables& tables = attackTables();
    if (!((tables.pawn[us_][square] & b_.pieceBB_[them_][PAWN]) | (tables.knight[square] & b_.pieceBB_[them_][KNIGHT]) |
          (tables.king[square] & b_.pieceBB_[them_][KING])))
        return nullptr;
    const RaySet& kingRays = raySet(KING, square);
    if (tables.pawn[us_][square] & b_.pieceBB_[them_][PAWN]) {
        const std::int32_t right = side_ == WHITE ? 9 : -9;
        const std::int32_t left = side_ == WHITE ? 7 : -7;
        for (std::uint32_t r = 0; r < kingRays.count; ++r) {
            const std::int32_t delta = kingRays.rays[r].delta;
            if (delta != right && delta != left)
                continue;
            const Piece_class* piece = b_.squares_[square + delta];
            if (piece != nullptr && piece->colour == opponent_ && piece->type == PAWN)
                return piece;
        }
    }
    if (tables.knight[square] & b_.pieceBB_[them_][KNIGHT]) {
        const RaySet& jumps = raySet(KNIGHT, square);
        for (std::uint32_t r = 0; r < jumps.count; ++r) {
            const Piece_class* piece = b_.squares_[square + jumps.rays[r].delta];
            if (piece != nullptr && piece->colour == opponent_ && piece->type == KNIGHT)
                return piece;
        }
    }
    const RaySet& lines = raySet(QUEEN, square);
    if (lines.count > 0) {
        const Piece_class* piece = b_.squares_[square + lines.rays[0].delta];
        if (piece != nullptr && piece->colour == opponent_ && piece->type == KING)
            return piece;
    }
    return nullptr;
}

template <CpuPath P, MoveOutput Out>
bool MoveGenerator<P, Out>::isAttacked(Square square, Bitboard occupied, Bitboard enemyPawns) const
{
    const AttackTables& tables = attackTables();
    if ((tables.pawn[us_][square] & enemyPawns) || (tables.knight[square] & b_.pieceBB_[them_][KNIGHT]) ||
        (tables.king[square] & b_.pieceBB_[them_][KING]))
        return true;
    const Bitboard queens = b_.pieceBB_[them_][QUEEN];
    const Bitboard straight = queens | b_.pieceBB_[them_][ROOK];
    const Bitboard diagonal = queens | b_.pieceBB_[them_][BISHOP];
    return ((tables.rookRays[square] & straight) && (rookAttacks(square, occupied) & straight)) ||
           ((tables.bishopRays[square] & diagonal) && (bishopAttacks(square, occupied) & diagonal));
}

// The targets (next to the king, at `from`) that no enemy piece attacks once
// the king has left its square: pawns, knights and the king ruled out for all
// targets at once, then the sliders target by target.
template <CpuPath P, MoveOutput Out>
Bitboard MoveGenerator<P, Out>::safeKingTargets(Square from, Bitboard targets) const
{
    const AttackTables& tables = attackTables();
    const Bitboard pawns = b_.pieceBB_[them_][PAWN];
    Bitboard attacked = opponent_ == BLACK ? ((pawns & ~kFileA) >> 9) | ((pawns & ~kFileH) >> 7)
                                           : ((pawns & ~kFileA) << 7) | ((pawns & ~kFileH) << 9);
    for (Bitboard k = b_.pieceBB_[them_][KING]; k != 0; k &= k - 1)
        attacked |= tables.king[lowestSquare(k)];
    for (Bitboard n = b_.pieceBB_[them_][KNIGHT]; n != 0; n &= n - 1)
        attacked |= tables.knight[lowestSquare(n)];
    targets &= ~attacked;

    const Bitboard queens = b_.pieceBB_[them_][QUEEN];
    const Bitboard straight = queens | b_.pieceBB_[them_][ROOK];
    const Bitboard diagonal = queens | b_.pieceBB_[them_][BISHOP];
    const Bitboard withoutKing = occupied_ ^ squareBit(from);
    for (Bitboard t = targets; t != 0; t &= t - 1) {
        const Square to = lowestSquare(t);
        if (((tables.rookRays[to] & straight) && (rookAttacks(to, withoutKing) & straight)) ||
            ((tables.bishopRays[to] & diagonal) && (bishopAttacks(to, withoutKing) & diagonal)))
            targets ^= squareBit(to);
    }
    return targets;
}

template <CpuPath P, MoveOutput Out>
std::int32_t MoveGenerator<P, Out>::pinDelta(Square square) const
{
    if (!(pinned_ & squareBit(square)))
        return 0;
    return directionDelta(attackTables().direction[kingSquare_][square]);
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generateSliderMoves(Piece_class& piece, std::uint32_t index)
{
    const AttackTables& tables = attackTables();
    const Square from = piece.square;
    const PieceType type = piece.type;
    Bitboard attacks = 0;
    if (type != BISHOP)
        attacks |= rookAttacks(from, occupied_);
    if (type != ROOK)
        attacks |= bishopAttacks(from, occupied_);
    if (pinned_ & squareBit(from)) {
        // Only along the pin line, towards the king or the pinner.
        const int d = tables.direction[kingSquare_][from];
        attacks &= tables.ray[d][from] | tables.ray[(d + 4) & 7][from];
    }
    const Bitboard quiet = attacks & ~occupied_ & legal_;
    const Bitboard captures = attacks & enemy_ & legal_;
    if constexpr (!Recording) {
        countOnly(quiet, captures);
        return;
    }
    piece.ownHits = static_cast<std::uint32_t>(bitCount(attacks & own_));
    piece.enemyHits = static_cast<std::uint32_t>(bitCount(captures));
    if (!recordTally(piece, index, quiet, captures))
        return;
    if constexpr (!Listing) {
        if ((captures & (captures - 1)) == 0) {
            addCapture(encodeMove(from, lowestSquare(captures), 0, MOVE_CAPTURE));
            return;
        }
    }
    // Ray by ray in the piece's order: the non-captures near to far, then the
    // capture at the end of the ray (at most one per ray).
    const int* directions = type == QUEEN ? kQueenDirections : type == ROOK ? kRookDirections : kBishopDirections;
    const int directionCount = type == QUEEN ? 8 : 4;
    for (int i = 0; i < directionCount; ++i) {
        const int d = directions[i];
        const Bitboard ray = tables.ray[d][from];
        if constexpr (Listing)
            listRay(from, d, quiet & ray);
        if (const Bitboard hit = captures & ray)
            addCapture(encodeMove(from, lowestSquare(hit), 0, MOVE_CAPTURE));
    }
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generateKnightMoves(Piece_class& knight, std::uint32_t index)
{
    const Square from = knight.square;
    if (pinned_ & squareBit(from)) {
        // A pinned knight cannot move at all.
        if constexpr (Recording) {
            knight.ownHits = 0;
            knight.enemyHits = 0;
            knight.mobility[mobilityIndex_] = 0;
            if constexpr (!Listing)
                list_.quietTargets[index] = 0;
        }
        return;
    }
    const Bitboard jumps = attackTables().knight[from];
    const Bitboard quiet = jumps & ~occupied_ & legal_;
    const Bitboard captures = jumps & enemy_ & legal_;
    if constexpr (!Recording) {
        countOnly(quiet, captures);
        return;
    }
    knight.ownHits = static_cast<std::uint32_t>(bitCount(jumps & own_));
    knight.enemyHits = static_cast<std::uint32_t>(bitCount(captures));
    if (recordTally(knight, index, quiet, captures))
        addStepMoves(KNIGHT, from, quiet, captures);
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generateKingMoves(Piece_class& king, std::uint32_t index)
{
    // Own pieces next to the king are neither moves nor counted: nothing
    // reads the king's hit counts.
    if constexpr (Recording) {
        king.ownHits = 0;
        king.enemyHits = 0;
    }
    const Square from = king.square;
    Bitboard targets = attackTables().king[from] & ~own_;
    if (excludedKingDelta_ != 0) {
        const Square away = from + excludedKingDelta_;
        if (away >= 0 && away < 64)
            targets &= ~squareBit(away);
    }
    targets = safeKingTargets(from, targets);
    const Bitboard quiet = targets & ~occupied_;
    const Bitboard captures = targets & enemy_;
    if constexpr (!Recording) {
        countOnly(quiet, captures);
        return;
    }
    if (recordTally(king, index, quiet, captures))
        addStepMoves(KING, from, quiet, captures);
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::preparePawnSets()
{
    const Bitboard pawns = b_.pieceBB_[us_][PAWN];
    const Bitboard empty = ~occupied_;
    const Bitboard free = pawns & ~pinned_;
    // Double steps from the first two ranks, as the pawn rules here have it.
    Bitboard singles, doubles, freeStepTargets, freeDoubleTargets;
    if (side_ == WHITE) {
        const Bitboard ahead = pawns << 8;
        singles = ahead & empty;
        doubles = ((singles & 0x0000000000ffff00ULL) << 8) & empty;
        stepFrom_ = (singles & ~kRank8) >> 8;
        promoteFrom_ = (singles & kRank8) >> 8;
        doubleFrom_ = doubles >> 16;
        blockedByOwnFrom_ = (ahead & own_) >> 8;
        blockedByEnemyFrom_ = (ahead & enemy_) >> 8;
        freeStepTargets = singles & (free << 8);
        freeDoubleTargets = doubles & (free << 16);
    } else {
        const Bitboard ahead = pawns >> 8;
        singles = ahead & empty;
        doubles = ((singles & 0x00ffff0000000000ULL) >> 8) & empty;
        stepFrom_ = (singles & ~kRank1) << 8;
        promoteFrom_ = (singles & kRank1) << 8;
        doubleFrom_ = doubles << 16;
        blockedByOwnFrom_ = (ahead & own_) << 8;
        blockedByEnemyFrom_ = (ahead & enemy_) << 8;
        freeStepTargets = singles & (free >> 8);
        freeDoubleTargets = doubles & (free >> 16);
    }
    if constexpr (!Listing) {
        // The unpinned pawns' non-captures, counted and recorded at once (a
        // set of four promotions counts four).
        quietCount_ += static_cast<std::uint32_t>(bitCount(freeStepTargets) + bitCount(freeDoubleTargets) +
                                                  3 * bitCount(freeStepTargets & (kRank1 | kRank8)));
        if constexpr (Recording) {
            list_.pawnStepTargets = freeStepTargets;
            list_.pawnDoubleStepTargets = freeDoubleTargets;
        }
    }
}

// Counting: the tallies and hits of the unpinned pawns with nothing to
// capture, which add no move to a list (their non-captures are counted by
// preparePawnSets); counting all, the unpinned pawns' captures too, but for
// en passant (which needs the king test). Returns the slots (from firstSlot)
// of the other pawns, which the slot-ordered loop does.
template <CpuPath P, MoveOutput Out>
std::uint32_t MoveGenerator<P, Out>::countQuietPawns(std::uint32_t firstSlot)
{
    const Bitboard targets = Recording ? enemy_ | enPassantBit_ : enPassantBit_;
    const Bitboard capturers = side_ == WHITE ? ((targets >> 7) & ~kFileA) | ((targets >> 9) & ~kFileH)
                                              : ((targets << 7) & ~kFileH) | ((targets << 9) & ~kFileA);
    const Bitboard pawns = b_.pieceBB_[us_][PAWN];
    const Bitboard elsewhere = pawns & (capturers | pinned_);
    if constexpr (!Recording) {
        // Each pawn's capture to each side counts one, or four onto the last rank.
        const Bitboard bulk = pawns & ~elsewhere;
        const Bitboard left = (side_ == WHITE ? (bulk & ~kFileA) << 7 : (bulk & ~kFileA) >> 9) & enemy_;
        const Bitboard right = (side_ == WHITE ? (bulk & ~kFileH) << 9 : (bulk & ~kFileH) >> 7) & enemy_;
        captureTally_ += static_cast<std::uint32_t>(bitCount(left) + bitCount(right) +
                                                    3 * (bitCount(left & (kRank1 | kRank8)) +
                                                         bitCount(right & (kRank1 | kRank8))));
    }
    const Bitboard steps = stepFrom_ | promoteFrom_;
    for (Bitboard quiet = Recording ? pawns & ~elsewhere : 0; quiet != 0; quiet &= quiet - 1) {
        const Square from = lowestSquare(quiet);
        Piece_class& pawn = *b_.squares_[from];
        pawn.ownHits = static_cast<std::uint32_t>((blockedByOwnFrom_ >> from) & 1);
        pawn.enemyHits = static_cast<std::uint32_t>((blockedByEnemyFrom_ >> from) & 1);
        pawn.mobility[mobilityIndex_] =
            static_cast<std::uint32_t>(((steps >> from) & 1) + ((doubleFrom_ >> from) & 1));
    }
    std::uint32_t others = 0;
    for (Bitboard p = elsewhere; p != 0; p &= p - 1)
        others |= 1u << (static_cast<std::uint32_t>(b_.squares_[lowestSquare(p)] - b_.pieces_) - firstSlot);
    return others;
}

// A pawn that is neither pinned nor facing a check: its steps read off the
// sets worked out for all pawns, in the order of generatePawnMoves.
template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generateFreePawnMoves(Piece_class& pawn)
{
    const Square from = pawn.square;
    std::uint32_t tally = 0;
    if (attackTables().pawn[us_][from] & (enemy_ | enPassantBit_))
        tally = pawnCaptures(pawn, 0);
    const Bitboard bit = squareBit(from);
    if constexpr (Listing) {
        const std::int32_t forward = side_ == WHITE ? 8 : -8;
        if (stepFrom_ & bit) {
            *quietCursor_++ = encodeMove(from, from + forward, 0, MOVE_PAWN);
            ++tally;
            if (doubleFrom_ & bit) {
                *quietCursor_++ = encodeMove(from, from + 2 * forward, static_cast<std::uint32_t>(from + forward),
                                             MOVE_PAWN | MOVE_TWO_SQUARE);
                ++tally;
            }
        } else if (promoteFrom_ & bit) {
            addPromotions(from, from + forward, MOVE_PAWN | MOVE_PROMOTION);
            ++tally;
        }
    } else {
        tally += static_cast<std::uint32_t>(((stepFrom_ | promoteFrom_) >> from) & 1) +
                 static_cast<std::uint32_t>((doubleFrom_ >> from) & 1);
    }
    if constexpr (Recording) {
        pawn.ownHits = static_cast<std::uint32_t>((blockedByOwnFrom_ >> from) & 1);
        pawn.enemyHits = static_cast<std::uint32_t>((blockedByEnemyFrom_ >> from) & 1);
        pawn.mobility[mobilityIndex_] = tally;
    }
}

// A pinned pawn, or any pawn while in check: step by step.
template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generatePawnMoves(Piece_class& pawn)
{
    const bool white = side_ == WHITE;
    const Square from = pawn.square;
    const std::int32_t forward = white ? 8 : -8;
    const std::int32_t pin = pinDelta(from);
    std::uint32_t ownHits = 0;
    std::uint32_t enemyHits = 0;
    std::uint32_t tally = 0;

    // Capture steps, in ray-set order: towards the h-file first.
    if (attackTables().pawn[us_][from] & (enemy_ | enPassantBit_))
        tally = pawnCaptures(pawn, pin);

    // The forward step, and the double step from the second rank.
    const Square to = from + forward;
    if (to >= 0 && to < 64 && (pin == 0 || pin == forward || pin == -forward)) {
        if (occupied_ & squareBit(to)) {
            if (enemy_ & squareBit(to))
                ++enemyHits;
            else
                ++ownHits;
        } else if (legal_ & squareBit(to)) {
            if (white ? to >= 56 : to <= 7) {
                addPromotions(from, to, MOVE_PAWN | MOVE_PROMOTION);
                ++tally;
            } else {
                addPawnMove(encodeMove(from, to, 0, MOVE_PAWN));
                ++tally;
                addDoubleStep(from, to, forward, tally);
            }
        } else {
            addDoubleStep(from, to, forward, tally);   // in check, the double step may still block
        }
    }
    if constexpr (Recording) {
        pawn.ownHits = ownHits;
        pawn.enemyHits = enemyHits;
        pawn.mobility[mobilityIndex_] = tally;
    }
}

// A pawn's captures (en passant included), in ray-set order; returns how many
// it adds to the pawn's tally (four promotions count once).
template <CpuPath P, MoveOutput Out>
std::uint32_t MoveGenerator<P, Out>::pawnCaptures(const Piece_class& pawn, std::int32_t pin)
{
    const bool white = side_ == WHITE;
    const Square from = pawn.square;
    std::uint32_t tally = 0;
    const std::int32_t steps[2] = {white ? 9 : -7, white ? 7 : -9};
    for (const std::int32_t delta : steps) {
        const Square to = from + delta;
        // The step must stay on the board (no wrap to the other edge).
        if (delta == steps[0] ? fileOf(from) == 7 : fileOf(from) == 0)
            continue;
        if (pin != 0 && delta != pin && delta != -pin)
            continue;
        if (enemy_ & squareBit(to)) {
            if (!(legal_ & squareBit(to)))
                continue;
            if (white ? to >= 56 : to <= 7)
                addPromotions(from, to, MOVE_PAWN | MOVE_CAPTURE | MOVE_PROMOTION);
            else
                addCapture(encodeMove(from, to, 0, MOVE_PAWN | MOVE_CAPTURE));
            ++tally;
        } else if (to == b_.enPassantSquare && !(occupied_ & squareBit(to)) &&
                   (!inCheck_ || (checkMask_ & b_.pieceBB_[them_][PAWN]))) {
            // In check, only when the checker is the pawn that can be taken.
            if (addEnPassant(pawn, to))
                ++tally;
        }
    }
    return tally;
}

template <CpuPath P, MoveOutput Out>
bool MoveGenerator<P, Out>::addEnPassant(const Piece_class& pawn, Square target)
{
    const Square from = pawn.square;
    const Square victimSquare = side_ == WHITE ? target - 8 : target + 8;
    const Piece_class* victim = b_.squares_[victimSquare];
    if (victim == nullptr || victim->colour != opponent_ || victim->type != PAWN)
        return false;   // an en passant square without a pawn to take

    // The own king must not stand attacked once the capture is played.
    const Bitboard after = occupied_ ^ squareBit(from) ^ squareBit(target) ^ squareBit(victimSquare);
    const Bitboard enemyPawns = b_.pieceBB_[them_][PAWN] & ~squareBit(victimSquare);
    if (isAttacked(kingSquare_, after, enemyPawns))
        return false;
    addCapture(encodeMove(from, target, static_cast<std::uint32_t>(victimSquare),
                          MOVE_PAWN | MOVE_CAPTURE | MOVE_EN_PASSANT));
    return true;
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::addDoubleStep(Square from, Square passed, std::int32_t forward, std::uint32_t& tally)
{
    const bool onSecondRank = side_ == WHITE ? from < 16 : from >= 48;
    const Square further = passed + forward;
    if (onSecondRank && !(occupied_ & squareBit(further)) && (legal_ & squareBit(further))) {
        addPawnMove(encodeMove(from, further, static_cast<std::uint32_t>(passed), MOVE_PAWN | MOVE_TWO_SQUARE));
        ++tally;
    }
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::addPromotions(Square from, Square to, std::uint32_t flags)
{
    if constexpr (!Listing) {
        if (!(flags & MOVE_CAPTURE)) {
            quietCount_ += 4;
            if constexpr (Recording)
                list_.pawnStepTargets |= squareBit(to);
            return;
        }
    }
    if constexpr (!Recording) {
        captureTally_ += 4;
        return;
    }
    Move*& cursor = (flags & MOVE_CAPTURE) ? captureCursor_ : quietCursor_;
    for (const PieceType type : {BISHOP, ROOK, KNIGHT, QUEEN})
        *cursor++ = encodeMove(from, to, type, flags);
}

template <CpuPath P, MoveOutput Out>
bool MoveGenerator<P, Out>::castlingPiecesInPlace(Square kingHome, Square rookHome) const
{
    const Piece_class* king = b_.squares_[kingHome];
    const Piece_class* rook = b_.squares_[rookHome];
    return king == king_ && rook != nullptr && rook->colour == side_ && rook->type == ROOK;
}

template <CpuPath P, MoveOutput Out>
void MoveGenerator<P, Out>::generateCastling()
{
    const std::uint32_t kingSide = side_ == WHITE ? CASTLE_WK : CASTLE_BK;
    const std::uint32_t queenSide = side_ == WHITE ? CASTLE_WQ : CASTLE_BQ;
    if (!(b_.castlingRights & (kingSide | queenSide)))
        return;
    const CastlingSquares& sq = kCastlingSquares[us_];
    const Bitboard enemyPawns = b_.pieceBB_[them_][PAWN];
    auto safe = [&](Square s) { return !isAttacked(s, occupied_, enemyPawns); };
    auto empty = [&](Square s) { return !(occupied_ & squareBit(s)); };

    // Rights are kept as read; the king and rook must really stand at home.
    if ((b_.castlingRights & kingSide) && castlingPiecesInPlace(sq.king, sq.kingSideRook) && empty(sq.f) &&
        empty(sq.g) && safe(sq.f) && safe(sq.g)) {
        if constexpr (Listing) {
            *quietCursor_++ = encodeMove(sq.king, sq.g, 0, MOVE_CASTLE | MOVE_TWO_SQUARE);
        } else {
            ++quietCount_;
            if constexpr (Recording)
                list_.castlingGenerated |= 1;
        }
    }
    if ((b_.castlingRights & queenSide) && castlingPiecesInPlace(sq.king, sq.queenSideRook) && empty(sq.b) &&
        empty(sq.c) && empty(sq.d) && safe(sq.d) && safe(sq.c)) {
        if constexpr (Listing) {
            *quietCursor_++ = encodeMove(sq.king, sq.c, 0, MOVE_CASTLE);
        } else {
            ++quietCount_;
            if constexpr (Recording)
                list_.castlingGenerated |= 2;
        }
    }
}
