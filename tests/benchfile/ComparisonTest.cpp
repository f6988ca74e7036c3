#include "benchfile/Comparison.h"

#include <gtest/gtest.h>

namespace vexo::comparison {
namespace {

TEST(Summary, MedianOfOddAndEvenCountsRangeAndSpread) {
    const Summary odd = summarize({30, 10, 20});
    EXPECT_EQ(odd.count, 3u);
    EXPECT_EQ(odd.median, 20);
    EXPECT_EQ(odd.lowest, 10);
    EXPECT_EQ(odd.highest, 30);
    EXPECT_DOUBLE_EQ(odd.spread(), 1.0);

    const Summary even = summarize({400, 100, 300, 200});
    EXPECT_EQ(even.median, 250);
    EXPECT_DOUBLE_EQ(even.spread(), 300.0 / 250.0);

    const Summary one = summarize({7});
    EXPECT_EQ(one.median, 7);
    EXPECT_EQ(one.spread(), 0);
    EXPECT_EQ(summarize({}).count, 0u);
    EXPECT_EQ(summarize({0, 0, 5}).spread(), 0); // a median of 0 has no spread
}

TEST(Summary, RangesThatOverlapAreWithinTheNoise) {
    EXPECT_TRUE(withinNoise(summarize({10, 20}), summarize({20, 30})));  // touching ends
    EXPECT_TRUE(withinNoise(summarize({10, 40}), summarize({20, 30})));  // one inside the other
    EXPECT_FALSE(withinNoise(summarize({10, 19}), summarize({20, 30})));
    EXPECT_FALSE(withinNoise(summarize({31, 35}), summarize({20, 30})));
}

TEST(Names, TheRepetitionSuffixIsWrittenAndRemovedExactly) {
    EXPECT_EQ(repetitionName("Home PC", 2, 5), "Home PC (run 2 of 5)");
    EXPECT_EQ(groupName("Home PC (run 2 of 5)"), "Home PC");
    EXPECT_EQ(groupName("Home PC (run 12 of 20)"), "Home PC");
    EXPECT_EQ(groupName("Home PC"), "Home PC");
    // Anything else that looks like it stays part of the name.
    for (const char* name : {"Home PC (run 6 of 5)", "Home PC (run 0 of 5)", "Home PC (run 2 of 5",
                             "Home PC (run 2 of 5) old", "Home PC (run two of 5)",
                             "Home PC (run 02 of 5)", "Home PC (run 2 of )", "(run 1 of 2"})
        EXPECT_EQ(groupName(name), name);
    EXPECT_EQ(groupName(" (run 1 of 2)"), "");
}

TEST(Names, ScoreCellsReadTheirLeadingNumber) {
    EXPECT_EQ(scoreValue(std::string("1234")), 1234);
    EXPECT_EQ(scoreValue(std::string("57(1024x768@32 Bit /w High textures)")), 57);
    EXPECT_FALSE(scoreValue(std::string("")));
    EXPECT_FALSE(scoreValue(std::nullopt));
    EXPECT_FALSE(scoreValue(std::string("n/a")));
    EXPECT_FALSE(scoreValue(std::string("-5")));
    EXPECT_FALSE(scoreValue(std::string("12abc")));
    EXPECT_FALSE(scoreValue(std::string("57(unclosed")));
    EXPECT_FALSE(scoreValue(std::string("1e308")));
    EXPECT_EQ(scoreValue(std::string("9223372036854775807")), 9223372036854775807.0);
    EXPECT_FALSE(scoreValue(std::string("9223372036854775808")));
    // Not a score, and why, to be shown in its place.
    EXPECT_EQ(notAScore(std::string("12abc")), "not a whole number: 12abc");
    EXPECT_EQ(notAScore(std::string("99999999999999999999")),
              "too large to be a score: 99999999999999999999");
    EXPECT_EQ(notAScore(std::string(30, '7')),
              "too large to be a score: " + std::string(24, '7') + "...");
    EXPECT_EQ(notAScore(std::string("57")), "");
    EXPECT_EQ(wholeNumber(9223372036854775807.0), "9223372036854775808");
}

TEST(Groups, RecordsGroupByNameInTheOrderNamesFirstAppear) {
    BenchmarkDatabase database;
    auto add = [&](const char* name, const char* cpu) {
        BenchmarkRecord& record = database.addRecord("x.vgf");
        if (name)
            record.name = name;
        record.scores[0] = cpu;
    };
    add("Laptop (run 1 of 3)", "100");
    add("Desktop", "300");
    add("Laptop (run 2 of 3)", "120");
    add("Laptop (run 3 of 3)", "110");
    add("Desktop (run 1 of 1)", "");
    add(nullptr, "5");
    std::vector<const BenchmarkRecord*> records;
    for (const BenchmarkRecord& record : database.records())
        records.push_back(&record);

    const std::vector<RecordGroup> groups = groupByName(records);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].name, "Laptop");
    EXPECT_EQ(groups[0].records.size(), 3u);
    EXPECT_EQ(groups[0].records[1]->RowNumber, 3);
    EXPECT_EQ(groups[1].name, "Desktop");
    EXPECT_EQ(groups[1].records.size(), 2u);
    EXPECT_EQ(groups[2].name, "");

    const Summary laptop = groups[0].score(0);
    EXPECT_EQ(laptop.count, 3u);
    EXPECT_EQ(laptop.median, 110);
    EXPECT_EQ(laptop.lowest, 100);
    EXPECT_EQ(laptop.highest, 120);
    EXPECT_EQ(groups[1].score(0).count, 1u); // the empty cell holds no score
    EXPECT_EQ(groups[1].score(1).count, 0u);
}

TEST(Groups, ChartBarsJoinOnlyTheRunsOfARepeatedRun) {
    BenchmarkDatabase database;
    for (const char* name : {"Same", "Rep (run 1 of 2)", "Same", "Rep (run 2 of 2)", "Rep"})
        database.addRecord("x.vgf").name = name;
    std::vector<const BenchmarkRecord*> records;
    for (const BenchmarkRecord& record : database.records())
        records.push_back(&record);
    const std::vector<std::vector<std::size_t>> expected{{0}, {1, 3}, {2}, {4}};
    EXPECT_EQ(chartGroups(records), expected);
}

} // namespace
} // namespace vexo::comparison
