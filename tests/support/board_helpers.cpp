#include "support/board_helpers.h"

#include <gtest/gtest.h>

std::unique_ptr<Board_class> boardFrom(const std::string& fen)
{
    auto board = std::make_unique<Board_class>();
    EXPECT_EQ(board->loadFen(fen.c_str()), CE_SUCCESS) << fen;
    return board;
}

std::string fenOf(const Board_class& board)
{
    char fen[FEN_BUFFER_SIZE];
    board.writeFen(fen, sizeof fen);
    return fen;
}

std::unique_ptr<MoveList> generate(Board_class& board)
{
    auto list = std::make_unique<MoveList>();
    list->setSide(board.sideToMove);
    board.generateMoves(*list);
    return list;
}

std::string textOf(Move move)
{
    char text[MOVE_TEXT_SIZE];
    moveToText(move, text);
    return text;
}

std::vector<std::string> moveTexts(const MoveList& list)
{
    std::vector<std::string> texts;
    for (std::uint32_t i = 0; i < list.captureCount; ++i)
        texts.push_back(textOf(list.captures[i]));
    for (std::uint32_t i = 0; i < list.nonCaptureCount; ++i)
        texts.push_back(textOf(list.nonCaptures[i]));
    return texts;
}

Move resolve(Board_class& board, const std::string& text)
{
    auto list = generate(board);
    return findMove(*list, parseMoveText(board.sideToMove, text.c_str()));
}

MoveRecord play(Board_class& board, const std::string& text)
{
    MoveRecord record;
    record.move = resolve(board, text);
    EXPECT_NE(record.move, NO_MOVE) << text;
    if (record.move != NO_MOVE)
        board.makeMove(record);
    board.sideToMove = otherColour(board.sideToMove);
    return record;
}
