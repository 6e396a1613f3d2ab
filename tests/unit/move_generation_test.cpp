#include <gtest/gtest.h>

#include "board/perft.h"
#include "support/board_helpers.h"

namespace {

std::uint64_t perftOf(const std::string& fen, std::uint32_t depth, CpuPath path)
{
    auto board = boardFrom(fen);
    EXPECT_TRUE(board->setCpuPath(path));
    return perft(*board, depth);
}

} // namespace

// On every instruction-set path this processor runs.
TEST(Perft, KnownCountsOfStandardPositions)
{
    for (std::uint32_t p = 0; p < CPU_PATH_COUNT; ++p) {
        const auto path = static_cast<CpuPath>(p);
        if (!cpuPathAvailable(path))
            continue;
        SCOPED_TRACE(cpuPathName(path));
        const std::uint64_t start[] = {1, 20, 400, 8902, 197281};
        for (std::uint32_t d = 0; d < 5; ++d)
            EXPECT_EQ(perftOf(START_FEN, d, path), start[d]);
        const std::uint64_t kiwipete[] = {1, 48, 2039, 97862};
        for (std::uint32_t d = 0; d < 4; ++d)
            EXPECT_EQ(perftOf("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", d, path),
                      kiwipete[d]);
        const std::uint64_t endgame[] = {1, 14, 191, 2812, 43238, 674624};
        for (std::uint32_t d = 0; d < 6; ++d)
            EXPECT_EQ(perftOf("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", d, path), endgame[d]);
        EXPECT_EQ(perftOf("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 4, path), 422333u);
        EXPECT_EQ(perftOf("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, path), 62379u);
        EXPECT_EQ(perftOf("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, path), 89890u);
    }
}

// Every legal move and nothing else, in generation order: captures, then
// non-captures; pieces in slot order, rays near to far, castling last,
// promotions bishop, rook, knight, queen.
TEST(MoveGeneration, ExactListsInOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"3r2k1/4P3/8/8/8/8/8/K7 w - - 0 1",
         "e7d8b e7d8r e7d8n e7d8q e7e8b e7e8r e7e8n e7e8q a1b1 a1b2 a1a2"},
        // Double check: only the king.
        {"4r1k1/8/8/8/1b6/8/2Q5/4K3 w - - 0 1", "e1f1 e1f2 e1d1"},
        // Pinned pieces keep to the pinning line.
        {"4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1", "e1f1 e1f2 e1d2 e1d1"},
        {"3r2k1/8/8/8/8/8/3R4/3K4 w - - 0 1", "d2d8 d2d3 d2d4 d2d5 d2d6 d2d7 d1e1 d1e2 d1c2 d1c1"},
        // En passant: not when it bares the king along the fifth rank, nor without a pawn to take.
        {"4k3/8/8/KP1pP2r/8/8/8/8 w - d6 0 2", "e5d6 a5b6 a5a6 a5a4 a5b4 b5b6 e5e6"},
        {"4k3/8/8/K2pP2r/8/8/8/8 w - d6 0 2", "a5b5 a5b6 a5a6 a5a4 a5b4 e5e6"},
        {"4k3/8/7r/K2pP3/8/8/8/8 w - d6 0 2", "e5d6 a5b5 a5a4 a5b4 e5e6"},
        {"4k3/8/8/4P3/8/8/8/4K3 w - d6 0 2", "e5e6 e1f1 e1f2 e1e2 e1d2 e1d1"},
        // Castling: not through an attacked square (b1 may be attacked), not out of check,
        // not over pieces, not without the rook at home.
        {"4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "a1b1 a1c1 a1d1 a1a2 a1a3 a1a4 a1a5 a1a6 a1a7 a1a8 e1e2 e1d2 e1d1 "
                                              "h1h2 h1h3 h1h4 h1h5 h1h6 h1h7 h1h8 h1g1 h1f1 e1c1"},
        {"1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "a1b1 a1c1 a1d1 a1a2 a1a3 a1a4 a1a5 a1a6 a1a7 a1a8 e1f1 e1f2 e1e2 "
                                               "e1d2 e1d1 h1h2 h1h3 h1h4 h1h5 h1h6 h1h7 h1h8 h1g1 h1f1 e1g1 e1c1"},
        {"4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1f1 e1f2 e1d2 e1d1"},
        {"4k3/8/8/8/8/8/8/RN2K1NR w KQ - 0 1", "a1a2 a1a3 a1a4 a1a5 a1a6 a1a7 a1a8 b1c3 b1a3 b1d2 e1f1 e1f2 e1e2 "
                                               "e1d2 e1d1 g1h3 g1f3 g1e2 h1h2 h1h3 h1h4 h1h5 h1h6 h1h7 h1h8"},
        {"4k3/8/8/8/8/8/8/4K3 w KQ - 0 1", "e1f1 e1f2 e1e2 e1d2 e1d1"},
        // Pawns on their last rank (only from a FEN) have no steps.
        {"P3k3/8/8/8/8/8/8/4K2p w - - 0 1", "e1f1 e1f2 e1e2 e1d2 e1d1"},
        {"P3k3/8/8/8/8/8/8/4K2p b - - 0 1", "e8f8 e8d8 e8d7 e8e7 e8f7"},
        // Mate and stalemate: nothing.
        {"R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", ""},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", ""},
    };
    for (const auto& [fen, expected] : cases) {
        auto board = boardFrom(fen);
        std::string moves;
        for (const std::string& move : moveTexts(*generate(*board)))
            moves += (moves.empty() ? "" : " ") + move;
        EXPECT_EQ(moves, expected) << fen;
    }
}
