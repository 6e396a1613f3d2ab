#include <gtest/gtest.h>

#include <vector>

#include "app/config.h"
#include "app/release_profile.h"

namespace {

std::uint32_t tableBytes(std::vector<const char*> words,
                         const ReleaseProfile& release = currentRelease())
{
    Config_class config;
    if (!words.empty())
        config.parseCommandLine(static_cast<int>(words.size()), words.data());
    return config.tableSizeBytes(release.minHashBytes);
}

constexpr std::uint32_t MiB = 1048576;

} // namespace

TEST(CommandLine, SizesFollowTheHashOption)
{
    EXPECT_EQ(tableBytes({}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-C", "16"}), 16777216u);
    EXPECT_EQ(tableBytes({"-C", "64"}), 64 * MiB);
    EXPECT_EQ(tableBytes({"-C", "8"}), 8 * MiB);
}

TEST(CommandLine, SmallZeroAndNonNumericRequestsGiveTheDefault)
{
    EXPECT_EQ(tableBytes({"-C", "5"}), 8388608u);
    EXPECT_EQ(tableBytes({"-C", "4"}), 8388608u);
    EXPECT_EQ(tableBytes({"-C", "0"}), 8388608u);
    EXPECT_EQ(tableBytes({"-C", "abc"}), 8388608u);
    // strtoul reading: leading blanks and a plus sign are fine, digits stop at a non-digit.
    EXPECT_EQ(tableBytes({"-C", "  +12"}), 12 * MiB);
    EXPECT_EQ(tableBytes({"-C", "24MB"}), 24 * MiB);
}

TEST(CommandLine, LaterOptionsOverrideEarlierOnes)
{
    EXPECT_EQ(tableBytes({"-C", "32", "-C", "16"}), 16 * MiB);
    EXPECT_EQ(tableBytes({"-C", "32", "-C", "0"}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-C", "0", "-C", "12"}), 12 * MiB);
}

TEST(CommandLine, OptionValueIsAlwaysTheNextWord)
{
    // "-C" takes "-R" as its value (read as 0); the "16" that follows is an unknown word.
    EXPECT_EQ(tableBytes({"-C", "-R", "16"}), 8 * MiB);
    // "-R" eats its value, so the "-C" after it is never seen as an option.
    EXPECT_EQ(tableBytes({"-R", "-C", "16"}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-R", "yes", "-C", "16"}), 16 * MiB);
    EXPECT_EQ(tableBytes({"-R", "no"}), 8 * MiB);
}

TEST(CommandLine, UnknownWordsAreSkipped)
{
    EXPECT_EQ(tableBytes({"hello", "-C", "12", "world"}), 12 * MiB);
    EXPECT_EQ(tableBytes({"-c", "16"}), 8 * MiB);
}

TEST(CommandLine, ValuesBeyondThirtyTwoBitsAreCappedAndNegativeOnesIgnored)
{
    const std::uint32_t largest = 4095 * MiB;
    EXPECT_EQ(tableBytes({"-C", "4095"}), largest);
    EXPECT_EQ(tableBytes({"-C", "4096"}), largest);
    EXPECT_EQ(tableBytes({"-C", "99999999999999999999999"}), largest);
    EXPECT_EQ(tableBytes({"-C", "-1"}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-C", " -64"}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-C", "16", "-C", "-1"}), 8 * MiB);   // counts as 0, like a non-number
}

TEST(CommandLine, HashOptionWithoutValueIsIgnored)
{
    EXPECT_EQ(tableBytes({"-C"}), 8 * MiB);
    EXPECT_EQ(tableBytes({"-C", "16", "-C"}), 16 * MiB);
    EXPECT_EQ(tableBytes({"-R"}), 8 * MiB);
}

TEST(CommandLine, EarlierReleaseAcceptsSmallerTables)
{
    EXPECT_EQ(tableBytes({"-C", "1"}, earlierRelease()), 1048576u);
    EXPECT_EQ(tableBytes({"-C", "1"}, currentRelease()), 8388608u);
    EXPECT_EQ(tableBytes({"-C", "0"}, earlierRelease()), 8388608u);
}
