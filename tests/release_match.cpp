// A match of the earlier release against the current one through the
// self-play relay, colours alternating. Games end by result, resignation,
// mate, stalemate, the move limit, or a loss on time (the earlier release's
// forced re-search of an interrupted iteration can overrun any clock);
// an illegal move or a crash fails the run.
// Usage: kelp-release-match [GAMES] [SECONDS_PER_GAME]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "release/version.h"
#include "support/engine_process.h"
#include "support/self_play.h"

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 6;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    double score = 0;
    int finished = 0;
    for (int game = 0; game < games; ++game) {
        const bool currentWhite = game % 2 == 0;
        const EngineCommand current{kelpBinary(), {}};
        const EngineCommand earlier{earlierKelpBinary(), {}};
        const GameRecord record = playGame({.white = currentWhite ? current : earlier,
                                            .black = currentWhite ? earlier : current, .movesPerSession = 0,
                                            .baseMs = seconds * 1000, .maxPlies = 200,
                                            .moveTimeoutMs = seconds * 1000 + 10000});
        if (record.reason == EndReason::Illegal || record.reason == EndReason::Crash) {
            std::printf("game %d broke the rules:\n%s\n", game + 1, record.summary().c_str());
            return 1;
        }
        const std::string& result = record.result;   // a loss on time included
        finished += result != "*";
        score += result == "1/2-1/2" ? 0.5 : result == (currentWhite ? "1-0" : "0-1") ? 1 : 0;
        const char* pairing = currentWhite ? KELP_CURRENT_VERSION " - " KELP_EARLIER_VERSION
                                           : KELP_EARLIER_VERSION " - " KELP_CURRENT_VERSION;
        std::printf("game %d: %s %s {%s, %s} %zu plies\n", game + 1, pairing, result.c_str(), record.comment.c_str(),
                    endReasonName(record.reason), record.moves.size());
        std::fflush(stdout);
    }
    std::printf(KELP_CURRENT_VERSION " scored %.1f of %d finished games (of %d)\n", score, finished, games);
    return 0;
}
