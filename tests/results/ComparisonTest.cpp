#include "results/Comparison.h"

#include <gtest/gtest.h>

namespace vexo::comparison {
namespace {

TEST(Summary, MedianOfOddAndEvenCountsRangeAndSpread) {
    const Summary odd = summarize({30, 10, 20}), even = summarize({400, 100, 300, 200});
    EXPECT_EQ(std::vector<double>({double(odd.count), odd.median, odd.lowest, odd.highest,
                                   odd.spread(), even.median, even.spread()}),
              std::vector<double>({3, 20, 10, 30, 1.0, 250, 300.0 / 250.0}));
    EXPECT_EQ(summarize({7}).spread(), 0);
    EXPECT_EQ(summarize(std::vector<double>{}).count, 0u);
    EXPECT_EQ(summarize({0, 0, 5}).spread(), 0); // a median of 0 has no spread
}

struct RankCase {
    const char* name;
    std::size_t m, n; // n == 0: the median of m values
    std::size_t k;
    double confidence;
};

class IntervalRanks : public testing::TestWithParam<RankCase> {};

// K and its confidence from the binomial and rank-sum tables (two-sided, 5 %).
TEST_P(IntervalRanks, MatchTheTables) {
    const RankCase& c = GetParam();
    const IntervalRank rank = c.n == 0 ? medianRank(c.m) : ratioRank(c.m, c.n);
    EXPECT_EQ(rank.k, c.k);
    EXPECT_NEAR(rank.confidence, c.confidence, 5e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Comparison, IntervalRanks,
    testing::Values(RankCase{"Median3", 3, 0, 1, 0.75}, RankCase{"Median5", 5, 0, 1, 0.9375},
                    RankCase{"Median6", 6, 0, 1, 0.96875}, RankCase{"Median10", 10, 0, 2, 0.9785},
                    RankCase{"Median20", 20, 0, 6, 0.9586}, RankCase{"Ratio3x3", 3, 3, 1, 0.9},
                    RankCase{"Ratio4x4", 4, 4, 1, 68.0 / 70},
                    RankCase{"Ratio5x5", 5, 5, 3, 244.0 / 252},
                    RankCase{"Ratio3x5SameAs5x3", 5, 3, 1, 54.0 / 56},
                    RankCase{"Ratio10x10", 10, 10, 24, 0.9567},
                    RankCase{"Ratio20x20", 20, 20, 128, 0.9509},
                    // Beyond the exact counts, the normal approximation (the exact K is 597).
                    RankCase{"Ratio40x40", 40, 40, 596, 0.9509}),
    [](const testing::TestParamInfo<RankCase>& row) { return std::string(row.param.name); });

TEST(RatioTest, FiveRunsAgainstFiveByHand) {
    // The 25 ratios of {20..24} to {10..14}: the 3rd lowest is 20/13 (after 20/14 and 21/14),
    // the 3rd highest 22/10 (after 24/10 and 23/10); K = 3 for 5 and 5 runs.
    const RatioTest test = compareWithBaseline({22, 20, 24, 21, 23}, {10, 11, 12, 13, 14});
    ASSERT_TRUE(test.interval);
    EXPECT_DOUBLE_EQ(test.interval->low, 20.0 / 13);
    EXPECT_DOUBLE_EQ(test.interval->high, 22.0 / 10);
    EXPECT_NEAR(test.interval->confidence, 244.0 / 252, 1e-12);
    EXPECT_DOUBLE_EQ(*test.ratio, 22.0 / 12);
    EXPECT_EQ(verdictText(test), "interval 153.8 to 220.0 % (96.8 % confidence): different");

    const RatioTest same = compareWithBaseline({99, 101, 100, 103, 98}, {100, 102, 97, 101, 99});
    EXPECT_EQ(same.outcome, RatioTest::Outcome::NoDifference);
    EXPECT_TRUE(same.interval->low < 1 && same.interval->high > 1);
}

TEST(RatioTest, TooFewRunsAreNotTested) {
    const RatioTest two = compareWithBaseline({200, 240}, {100, 110, 120});
    EXPECT_TRUE(two.outcome == RatioTest::Outcome::TooFewRuns && !two.interval);
    EXPECT_DOUBLE_EQ(*two.ratio, 2.0); // the ratio is still given
    EXPECT_EQ(verdictText(two), "cannot be tested: 2 runs against 3 (3 each are needed)");
    // Three against three cannot reach 95 %, however far apart: the interval says what it has.
    const RatioTest three = compareWithBaseline({200, 240, 220}, {100, 110, 120});
    EXPECT_TRUE(three.outcome == RatioTest::Outcome::TooFewForLevel && !three.different());
    EXPECT_EQ(verdictText(three), "interval 166.7 to 240.0 % (only 90.0 % confidence from 3 runs "
                                  "against 3): not tested");
    EXPECT_EQ(compareWithBaseline({0, 10, 12}, {10, 11, 12}).outcome,
              RatioTest::Outcome::ZeroScore);

    EXPECT_EQ(medianIntervalText({100, 90}), "untested: 2 run(s)");
    EXPECT_EQ(medianIntervalText({100, 90, 104, 98, 101}), "-10.0 to +4.0 % (93.8 %)");
}

TEST(ScoreCells, ReadTheirLeadingNumber) {
    EXPECT_EQ(scoreValue(std::string("1234")), 1234);
    EXPECT_EQ(scoreValue(std::string("57(1024x768@32 Bit /w High textures)")), 57);
    EXPECT_EQ(scoreValue(std::string("9223372036854775807")), 9223372036854775807.0);
    EXPECT_FALSE(scoreValue(std::nullopt));
    for (const char* cell :
         {"", "n/a", "-5", "12abc", "57(unclosed", "1e308", "9223372036854775808"})
        EXPECT_FALSE(scoreValue(std::string(cell))) << cell;
    // Not a score, and why, to be shown in its place.
    EXPECT_EQ(notAScore(std::string("12abc")) + "|" + notAScore(std::string("57")) + "|" +
                  notAScore(std::string(30, '7')),
              "not a whole number: 12abc||too large to be a score: " + std::string(24, '7') +
                  "...");
    EXPECT_EQ(wholeNumber(9223372036854775807.0), "9223372036854775808");
}

} // namespace
} // namespace vexo::comparison
