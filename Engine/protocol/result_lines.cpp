#include "protocol/result_lines.h"

const char* resultLine(ResultCode resultCode)
{
    static const char* const kLines[] = {
        "1-0 {White mates}",
        "0-1 {Black mates}",
        "1/2-1/2 {StaleMate}",
        "1/2-1/2 {Draw by repetition}",
        "1/2-1/2 {Draw 50 moves-rule}",
        "1/2-1/2 {Draw insufficient material}",
    };
    const auto index = static_cast<std::uint32_t>(resultCode);
    return index < sizeof kLines / sizeof kLines[0] ? kLines[index] : nullptr;
}
