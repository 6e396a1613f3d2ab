#include <gtest/gtest.h>

#include <vector>

#include "app/config.h"
#include "release/release_profile.h"

TEST(CommandLine, TableSizeFromTheWords)
{
    constexpr std::uint32_t MiB = 1048576;
    const std::pair<std::vector<const char*>, std::uint32_t> cases[] = {
        {{}, 8 * MiB},
        {{"-C", "16"}, 16 * MiB},
        {{"-C", "5"}, 8 * MiB},   // below the floor, zero and non-numbers: the default
        {{"-C", "0"}, 8 * MiB},
        {{"-C", "abc"}, 8 * MiB},
        {{"-C", "  +12"}, 12 * MiB},   // strtoul reading: blanks and a sign, digits up to a non-digit
        {{"-C", "24MB"}, 24 * MiB},
        {{"-C", "32", "-C", "16"}, 16 * MiB},   // later options override earlier ones
        {{"-C", "-R", "16"}, 8 * MiB},          // the value is always the next word
        {{"-R", "-C", "16"}, 8 * MiB},          // "-R" eats its value
        {{"-R", "yes", "-C", "16"}, 16 * MiB},
        {{"hello", "-C", "12", "world"}, 12 * MiB},   // unknown words are skipped
        {{"-c", "16"}, 8 * MiB},
        {{"-C", "4095"}, 4095 * MiB},           // beyond 32 bits: capped
        {{"-C", "99999999999999999999999"}, 4095 * MiB},
        {{"-C", "-1"}, 8 * MiB},                // negative: ignored
        {{"-C", "16", "-C", " -64"}, 8 * MiB},  // ... counting as 0, like a non-number
        {{"-C"}, 8 * MiB},                      // no value: ignored
        {{"-C", "16", "-C"}, 16 * MiB},
    };
    for (const auto& [words, bytes] : cases) {
        Config_class config;
        config.parseCommandLine(static_cast<int>(words.size()), words.data());
        std::string text;
        for (const char* word : words)
            text += std::string(word) + " ";
        EXPECT_EQ(config.tableSizeBytes(currentRelease().minHashBytes), bytes) << text;
    }
}
