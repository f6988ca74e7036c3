#include "benchfile/BenchmarkFile.h"

#include "common/CodePage.h"
#include "support/Records.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vexo::benchfile {
namespace {

using test::completeRecord;
using test::TempFolder;
using Outcome = ImportResult::Outcome;

std::string fileWithPayload(std::string_view plain, bool lineEnd = true) {
    return std::string(BenchmarkHeader) + Encode_Data(plain) + (lineEnd ? "\r\n" : "");
}

TEST(Codec, ReversesAndShiftsBy31AndEveryCodeFrom31To255RoundTrips) {
    EXPECT_EQ(Encode_Data("abc"), "DCB");
    std::string all; // every code a file can hold, 31 to 255
    for (int code = 31; code <= 255; ++code)
        all += static_cast<char>(code);
    const std::string encoded = Encode_Data(all);
    EXPECT_EQ(encoded.back(), '\0'); // code 31 encodes to byte 0
    EXPECT_TRUE(Decode_Data(encoded).text == all && !Decode_Data(encoded).damaged);
    // Through the code page: every byte a file can hold means one character.
    EXPECT_EQ(toFileBytes(fromFileBytes(all)), all);
    // A byte past 224 cannot decode and ends the text.
    const Decoded cut = Decode_Data(std::string("\xE1") + "DCB");
    EXPECT_TRUE(cut.damaged && cut.text == "abc") << cut.text;
}

TEST(CodePage, CharactersAFileCannotHoldBecomeAVisibleSubstitute) {
    EXPECT_EQ(toFileBytes("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80"); // é and € exist
    EXPECT_EQ(toFileBytes("\xE6\x97\xA5\xE6\x9C\xAC"), "??");           // CJK does not
    EXPECT_EQ(toFileBytes("tab\there\x01"), "tab?here?");               // nor control codes
    EXPECT_EQ(toFileBytes("\xC3"), "?");                                // malformed UTF-8
    EXPECT_EQ(fromFileBytes("caf\xE9 \x80 \x81"), "caf\xC3\xA9 \xE2\x82\xAC \xC2\x81");
    EXPECT_EQ(lowerCase("Last BENCHMARK \xC3\x89T\xC3\x89.VGF"),
              "last benchmark \xC3\xA9t\xC3\xA9.vgf");
}

// The writers' other escapes are pinned by the records they write below.
TEST(Fields, SeparatorsInsideTextsCannotBreakTheRecord) {
    EXPECT_EQ(recordOpening("a||b"), ">>:a?|b||");
    EXPECT_EQ(recordOpening("x:;>>:y"), ">>:x:;>>?y||"); // no record start inside a name
    EXPECT_EQ(direct3DValue(0, {"1024x768", "32 Bit", "High"}), "0");
}

TEST(Import, ReadsRecordsIntoTheDatabase) {
    BenchmarkDatabase database; // keys are case-sensitive: "bmcpuh" is none
    const std::string payload = ">>:First run||BMCPUh=5:;Task=Editor:;CPUT=104:;BMDR3D=0:;:;"
                                ">>:Second||Task=a=b:;Bogus=1:;no equals sign:;bmcpuh=9:;:;";
    EXPECT_EQ(importBytes(fileWithPayload(payload), "/runs/Mixed Case.VGF", database).outcome,
              Outcome::Loaded);
    std::string read; // row, file name, then the record as the browser's writer gives it
    for (const BenchmarkRecord* record : inOrder(database))
        read += std::to_string(record->RowNumber) + " " + record->fileName.str() + " " +
                exportPayload({record});
    EXPECT_EQ(read, "1 mixed case.vgf >>:First run||BMCPUh=5:;BMDR3D=0:;Task=Editor:;CPUT=104:;:;"
                    "2 mixed case.vgf >>:Second||Task=a=b:;:;");
}

// Every record that stands whole is kept whatever is wrong at the file's ends, and the file is
// called damaged with what is wrong. Without its line end a file may have been cut anywhere,
// also inside a value that holds ">>:": a record is taken for whole after a field's end, or
// when it holds every key. What was read of a record cut short is kept.
TEST(Import, OnlyAWholeFileIsLoadedAndADamagedOneKeepsEveryWholeRecord) {
    const std::string record = ">>:Run||BMCPUh=5:;:;";
    const std::string two = completeRecord("One") + completeRecord("Two");
    const std::string encoded = Encode_Data(two);
    BenchmarkDatabase whole;
    ASSERT_TRUE(importBytes(fileWithPayload(two), "x.vgf", whole).loaded());
    std::string undecodable = fileWithPayload(">>:Ok||BMCPUh=1:;:;>>:Bad||BMCPUh=2:;:;");
    undecodable[BenchmarkHeader.size() + 5] = '\xF0'; // kept up to there: one and a name
    const std::string cutInside = ">>:Uno||BMCPUh=1:;:;>>:Dos||BMCPUh=2:;BMCPUl=3:;BMFP";
    std::string flood;
    for (int i = 0; i < 200'000; ++i)
        flood += ">>:";
    const std::string header(BenchmarkHeader);
    // What is said: "damaged: " and what is wrong, then how many records were read.
    const std::string noEnd = "it lacks its closing line end; ";
    const std::string cutShort = "it ends before its last record is complete; ";
    const std::string one = "1 record(s) read", both = "2 record(s) read",
                      mayBeLost = "; if it was cut short, records before them may be lost",
                      notAFile = "not a benchmark file (its header is wrong)";
    constexpr Outcome L = Outcome::Loaded, D = Outcome::Damaged, H = Outcome::InvalidHeader;
    const struct {
        const char* name;
        std::string file;
        Outcome outcome;
        std::string names; // of the records kept, each followed by '|'; "?": a name never ended
        std::string said;
    } rows[] = {
        {"whole", fileWithPayload(record + record), L, "Run|Run|", ""},
        {"empty payload", fileWithPayload(""), L, "", ""},
        {"the header alone", header, L, "", ""},
        {"record markers flooding a name",
         fileWithPayload(">>:" + flood + "||Task=" + flood + ":;BMCPUh=7:;:;"), L, flood + "|", ""},
        {"the closing line end removed", header + encoded, D, "One|Two|", noEnd + both + mayBeLost},
        {"a line feed for the line end", header + encoded + "\n", D, "One|Two|",
         "its closing line end is a line feed without its carriage return; " + both},
        {"the line end's line feed cut", header + encoded + "\r", D, "One|Two|",
         "its closing line end lacks its line feed; " + both},
        {"the line end doubled", header + encoded + "\r\n\r\n", D, "One|Two|",
         "1 more line end follows its closing line end; " + both},
        {"bytes after the line end", header + encoded + "\r\n\x1A\xFFJ", D, "One|Two|",
         "3 bytes follow its closing line end; " + both},
        {"bytes between the header and the payload", header + "\x01\xFE\x41\x1B" + encoded + "\r\n",
         D, "One|Two|", "4 bytes right after its header belong to no record; " + both},
        {"text before the first record", fileWithPayload("Notes >>: " + two), D, "One|Two|",
         "10 characters before its first record belong to no record; " + both + mayBeLost},
        {"text before an incomplete record", fileWithPayload("Task=x:;:;" + record), D, "Run|",
         "10 characters before its first record belong to no record; " + one + mayBeLost},
        {"no line end before an incomplete record",
         fileWithPayload(">>:One||BMBSA=77:;Task=T:;:;>>:Two||BMBSA=78:;:;", false), D, "Two|",
         noEnd + "28 characters before its first record belong to no record; " + one + mayBeLost},
        {"no line end inside a value", fileWithPayload(">>:y:;:;", false), D, "",
         noEnd + "none of its text is a whole record; 0 record(s) read"},
        {"junk after the header", header + std::string(4096, 'J') + "\r\n", D, "",
         "none of its text is a whole record; 0 record(s) read"},
        {"an empty field inside a record", fileWithPayload(">>:Run||BMCPUh=5:;:;BMISA=6:;:;"), L,
         "Run|", ""},
        {"the terminator's ';' altered", fileWithPayload(">>:Run||BMCPUh=5:;:x"), D, "Run|",
         cutShort + one},
        {"no terminator", fileWithPayload(">>:Run||BMCPUh=5:;"), D, "Run|", cutShort + one},
        {"a name that never ends", fileWithPayload(record + ">>:Cut"), D, "Run|?|",
         cutShort + both},
        {"no bars after the name", fileWithPayload(">>:No bars here:;:;"), D, "?|", cutShort + one},
        {"cut inside a record", fileWithPayload(cutInside), D, "Uno|Dos|", cutShort + both},
        {"a byte that cannot decode", undecodable, D, "Ok|Bad|",
         "it holds a byte that cannot be decoded; " + cutShort + both},
        {"header in capitals",
         "VEXOGAUGE 2002 SAVE BENCHMARK V1.0" + Encode_Data(">>:x||:;:;") + "\r\n", H, "",
         notAFile},
        {"half a header", "VexoGAUGE", H, "", notAFile},
        {"no bytes", "", H, "", notAFile}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BenchmarkDatabase database;
        const ImportResult result = importBytes(row.file, "x.vgf", database);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.detail + (row.outcome == D ? "; " + keptRecords(result) : ""),
                  (row.outcome == D ? "damaged: " : "") + row.said);
        std::string names;
        for (const BenchmarkRecord& kept : database.records())
            names += kept.name.value_or("?") + "|";
        EXPECT_EQ(names, row.names);
        if (row.names == "One|Two|") { // whole, and nothing added
            EXPECT_EQ(database.records(), whole.records());
        }
    }
    // What was read of a record cut short is kept, and nothing more.
    BenchmarkDatabase cut;
    (void)importBytes(fileWithPayload(cutInside), "x.vgf", cut);
    EXPECT_TRUE(cut.records().at(1).scores[1] == "3" && !cut.records()[1].scores[2]);
}

// Cuts files at every byte: as the payload is stored reversed, a cut takes the line end and
// then the *first* records. No cut may be called whole, and what is kept is always whole
// records from the end of the original, also where values hold ">>:" and what looks like a
// record's name and fields.
TEST(Import, NoCutOfARealFileIsEverCalledWholeNorKeepsAPieceOfARecord) {
    std::string incomplete;
    for (const char* name : {"First run", "Second run", "Third run"})
        incomplete += ">>:" + std::string(name) +
                      "||BMCPUh=1234:;BMDR3D=0:;Task=Editor:;Task=Mail:;CPUT=104:;GRA_Dev=A:;:;";
    const std::string forged = completeRecord(
        "Second", "Task=x>>:Fake||BMCPUh=9:;Task=y>>:Fake||Task=z:;Task=>>:F||CPUT=1:;");
    const std::string complete = completeRecord("First") + forged + completeRecord("Third");
    for (const std::string& payload : {incomplete, complete}) {
        const std::string file = fileWithPayload(payload);
        BenchmarkDatabase original;
        ASSERT_EQ(importBytes(file, "x.vgf", original).outcome, Outcome::Loaded);
        ASSERT_EQ(original.size(), 3u);
        for (std::size_t cut = 1; cut < file.size() - BenchmarkHeader.size(); ++cut) {
            SCOPED_TRACE("cut " + std::to_string(cut) + " bytes");
            BenchmarkDatabase database;
            const ImportResult result =
                importBytes(file.substr(0, file.size() - cut), "x.vgf", database);
            EXPECT_EQ(result.outcome, Outcome::Damaged);
            ASSERT_LE(database.size(), 3u);
            const std::size_t lost = 3 - database.size();
            for (std::size_t i = 0; i < database.size(); ++i) {
                BenchmarkRecord kept = database.records()[i];
                kept.RowNumber = original.records()[lost + i].RowNumber;
                EXPECT_EQ(kept, original.records()[lost + i]);
            }
            // Only a cut that took no more than the line end keeps every record.
            EXPECT_TRUE(lost > 0 || cut <= 2 || payload == incomplete);
        }
    }
}

TEST(Writers, TheBrowserWriterKeepsEveryTaskAndInventsNothing) {
    // Every task kept, the one-space title and the one after it included; no value invented
    // for a key the record lacked (any record read back as written: fuzz/fuzz_roundtrip.cpp).
    BenchmarkDatabase database;
    BenchmarkRecord& record = database.addRecord("partial.vgf");
    record.name = "Partial";
    record.scores[0] = "9";
    record.scores[2] = "";
    record.tasks = {"Above", " ", "Browser"};
    record.system[13] = "32";
    EXPECT_EQ(exportPayload(inOrder(database)),
              ">>:Partial||BMCPUh=9:;BMFPUh=:;Task=Above:;Task= :;Task=Browser:;GRA_Mem=32:;:;");
    BenchmarkDatabase back;
    ASSERT_TRUE(
        importBytes(benchmarkFileBytes(exportPayload(inOrder(database))), "partial.vgf", back)
            .loaded());
    EXPECT_EQ(back.records().at(0), record);
}

TEST(RecordNames, TheRepetitionSuffixIsWrittenAndRemovedExactly) {
    EXPECT_EQ(repetitionName("Home PC", 2, 5), "Home PC (run 2 of 5)");
    std::string groups; // each followed by '|'; anything unlike the suffix stays in the name
    for (const char* name :
         {"Home PC (run 2 of 5)", "Home PC (run 12 of 20)", "Home PC", " (run 1 of 2)",
          "PC (run 6 of 5)", "PC (run 0 of 5)", "PC (run 2 of 5", "PC (run 2 of 5) old",
          "PC (run two of 5)", "PC (run 02 of 5)", "PC (run 2 of )", "(run 1 of 2"})
        (groups += groupName(name)) += "|";
    EXPECT_EQ(groups, "Home PC|Home PC|Home PC||PC (run 6 of 5)|PC (run 0 of 5)|PC (run 2 of 5|"
                      "PC (run 2 of 5) old|PC (run two of 5)|PC (run 02 of 5)|PC (run 2 of )|"
                      "(run 1 of 2|");
}

} // namespace
} // namespace vexo::benchfile
