#pragma once
// A search object with its own table and a recording front end, set up from FEN.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "search/score.h"
#include "search/search.h"
#include "support/recording_gui.h"

struct SearchHarness {
    explicit SearchHarness(const std::string& fen, const ReleaseProfile& release = currentRelease())
        : table(HashTable_class::create(8u << 20)), search(std::make_unique<Search_class>(release.game.search))
    {
        EXPECT_EQ(search->setUpFromFen(&gui, fen.c_str(), table.get()), CE_SUCCESS) << fen;
        search->arm();
    }

    // Iterative deepening up to `depth` iterations.
    void deepen(std::uint32_t depth)
    {
        search->setDepthLimit(depth);
        search->arm();
        search->iterativeDeepening();
    }
    std::int32_t rootSearch(std::int32_t depth)
    {
        return search->alphaBeta(0, depth, -INFINITE_SCORE, INFINITE_SCORE);
    }

    RecordingGui gui;
    std::unique_ptr<HashTable_class> table;
    std::unique_ptr<Search_class> search;
};
