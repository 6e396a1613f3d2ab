#include "protocol/position_text.h"

#include <cctype>

std::string withMoveCounters(std::string_view fen)
{
    std::size_t fields = 0;
    for (std::size_t i = 0; i < fen.size(); ++i) {
        const bool blank = std::isspace(static_cast<unsigned char>(fen[i])) != 0;
        fields += !blank && (i == 0 || std::isspace(static_cast<unsigned char>(fen[i - 1])) != 0);
    }
    std::string text(fen);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    if (fields == 4)
        text += " 0 1";
    else if (fields == 5)
        text += " 1";
    return text;
}
