#include "benchfile/BenchmarkFile.h"

#include "benchfile/EngineWriter.h"
#include "common/CodePage.h"
#include "support/FakeSystem.h"
#include "support/RunRecorder.h"
#include "support/TempFolder.h"
#include "sysinfo/SystemInfo.h"
#include "taskman/TaskTitles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexo::benchfile {
namespace {

using test::TempFolder;

std::string fileWithPayload(std::string_view plain, bool lineEnd = true) {
    std::string file(BenchmarkHeader);
    file += Encode_Data(plain);
    if (lineEnd)
        file += "\r\n";
    return file;
}

struct ImportRig {
    BenchmarkDatabase database;

    ImportResult import(std::string bytes, std::string_view path = "/runs/Mixed Case.VGF") {
        return importBytes(std::move(bytes), path, database);
    }
};

class FixedTasks final : public TaskTitleSource {
public:
    std::vector<std::string> titles;
    std::vector<std::string> applicationTaskTitles() override { return titles; }
};

TEST(Codec, ReversesAndShiftsBy31) {
    EXPECT_EQ(Encode_Data("abc"), "DCB");
    EXPECT_EQ(Decode_Data("DCB").text, "abc");

    const std::string record = ">>:abc||BMCPUh=5:;:;";
    const std::string encoded = Encode_Data(record);
    ASSERT_GE(encoded.size(), 4u);
    EXPECT_EQ(encoded.substr(0, 4), std::string({28, 27, 28, 27}));
    EXPECT_EQ(Decode_Data(encoded).text, record);
    EXPECT_FALSE(Decode_Data(encoded).damaged);
}

TEST(Codec, EveryCodeFrom31To255RoundTrips) {
    std::string all;
    for (int code = 31; code <= 255; ++code)
        all += static_cast<char>(code);
    const std::string encoded = Encode_Data(all);
    EXPECT_EQ(encoded.back(), '\0'); // code 31 encodes to byte 0
    EXPECT_EQ(Decode_Data(encoded).text, all);
    // And through the code page: every byte a file can hold means one character.
    EXPECT_EQ(toFileBytes(fromFileBytes(all)), all);
}

// Every code a file can hold, 31 to 255, as the program's UTF-8.
std::string everyFileCharacter() {
    std::string all;
    for (int code = 31; code <= 255; ++code)
        all += static_cast<char>(code);
    return fromFileBytes(all);
}

TEST(Import, EveryCodeFrom31To255ReadsBackInEveryField) {
    const std::string all = everyFileCharacter();
    // The only change on the way: the ":;" among the codes would end a field.
    std::string inField = all;
    inField.replace(inField.find(":;"), 2, ":?");
    BenchmarkDatabase database;
    BenchmarkRecord& record = database.addRecord("x.vgf");
    record.name = all;
    record.tasks = {all, all};
    for (std::size_t i = 0; i < record.scores.size(); ++i)
        record.scores[i] = all;
    for (std::size_t i = 0; i < record.system.size(); ++i)
        record.system[i] = all;
    TempFolder folder;
    const std::string path = folder.path("every code.vgf");
    ASSERT_TRUE(Export_Saved_Benchmark(path, inOrder(database)));

    BenchmarkDatabase read;
    const ImportResult result = Import_Saved_Benchmark(path, read);
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Loaded) << result.detail;
    ASSERT_EQ(read.size(), 1u);
    const BenchmarkRecord& back = read.records()[0];
    EXPECT_EQ(back.name, all);
    EXPECT_EQ(back.tasks, (std::vector<std::string>{inField, inField}));
    for (std::size_t i = 0; i < back.scores.size(); ++i)
        EXPECT_EQ(back.scores[i], inField) << kScoreFields[i].key;
    for (std::size_t i = 0; i < back.system.size(); ++i)
        EXPECT_EQ(back.system[i], inField) << kSystemFields[i].key;
}

TEST(Codec, ABytePast224CannotDecodeAndEndsTheText) {
    const Decoded decoded = Decode_Data(std::string("\xE1") + "DCB");
    EXPECT_TRUE(decoded.damaged);
    EXPECT_EQ(decoded.text, "abc");
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

TEST(Fields, SeparatorsInsideTextsCannotBreakTheRecord) {
    EXPECT_EQ(field("Task", "a:;b"), "Task=a:?b:;");
    EXPECT_EQ(field("Task", "x=y"), "Task=x=y:;");
    EXPECT_EQ(recordOpening("pipe at end|"), ">>:pipe at end?||");
    EXPECT_EQ(recordOpening("a||b"), ">>:a?|b||");
    EXPECT_EQ(recordOpening("x:;>>:y"), ">>:x:;>>?y||"); // no record start inside a name
    EXPECT_EQ(direct3DValue(0, {"1024x768", "32 Bit", "High"}), "0");
    EXPECT_EQ(direct3DValue(57, {"1024x768", "32 Bit", "High"}),
              "57(1024x768@32 Bit /w High textures)");
}

TEST(Import, ReadsRecordsIntoTheDatabase) {
    ImportRig rig;
    const std::string payload = ">>:First run||BMCPUh=5:;Task=Editor:;CPUT=104:;BMDR3D=0:;:;"
                                ">>:Second||Task=a=b:;Bogus=1:;no equals sign:;bmcpuh=9:;:;";
    const ImportResult result = rig.import(fileWithPayload(payload));
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Loaded);
    ASSERT_EQ(rig.database.size(), 2u);
    const BenchmarkRecord& first = rig.database.records()[0];
    EXPECT_EQ(first.RowNumber, 1);
    EXPECT_EQ(first.fileName, "mixed case.vgf");
    EXPECT_EQ(first.name, "First run");
    EXPECT_EQ(first.scores[0], "5");
    EXPECT_EQ(first.scores[4], "0");
    EXPECT_EQ(first.system[0], "104");
    EXPECT_FALSE(first.system[1].has_value());
    EXPECT_EQ(first.tasks, std::vector<std::string>{"Editor"});
    const BenchmarkRecord& second = rig.database.records()[1];
    EXPECT_EQ(second.RowNumber, 2);
    EXPECT_EQ(second.tasks, std::vector<std::string>{"a=b"});
    EXPECT_FALSE(second.scores[0].has_value()); // keys are case-sensitive
    EXPECT_EQ(loadedMessage("/runs/Mixed Case.VGF"),
              "Your File Has Been Successfully Loaded: Mixed Case.VGF");
}

TEST(Import, AnEmptyPayloadIsAWholeFileWithoutRecords) {
    ImportRig rig;
    EXPECT_EQ(rig.import(fileWithPayload("")).outcome, ImportResult::Outcome::Loaded);
    EXPECT_TRUE(rig.database.empty());
}

// Without its line end a file may have been cut anywhere, also inside a value that holds
// ">>:": only records after a field's end are taken for whole ones.
TEST(Import, AMissingLineEndKeepsOnlyRecordsKnownToBeWhole) {
    ImportRig with;
    ImportRig without;
    const std::string payload = ">>:One||BMBSA=77:;Task=T:;:;>>:Two||BMBSA=78:;:;";
    EXPECT_EQ(with.import(fileWithPayload(payload, true)).outcome, ImportResult::Outcome::Loaded);
    const ImportResult cut = without.import(fileWithPayload(payload, false));
    EXPECT_EQ(cut.outcome, ImportResult::Outcome::Damaged);
    EXPECT_TRUE(cut.firstRecordsLost);
    ASSERT_EQ(without.database.size(), 1u);
    EXPECT_EQ(without.database.records()[0].name, "Two");

    // What is left of a value "x>>:y" after a cut is no record.
    ImportRig inValue;
    EXPECT_EQ(inValue.import(fileWithPayload(">>:y:;:;", false)).outcome,
              ImportResult::Outcome::Damaged);
    EXPECT_TRUE(inValue.database.empty());
}

// Cuts a file written by the engine at every one of its last 200 bytes: as the payload is
// stored reversed, a cut takes the line end and then the *first* records. No cut may be called
// whole, and what is kept is always whole records from the end of the original.
TEST(Import, NoCutOfARealFileIsEverCalledWhole) {
    BenchmarkDatabase original;
    std::string payload;
    for (const char* name : {"First run", "Second run", "Third run"}) {
        payload += ">>:" + std::string(name) + "||BMCPUh=1234:;BMDR3D=0:;Task=Editor:;";
        payload += "Task=Mail:;CPUT=104:;GRA_Dev=Adapter:;:;";
    }
    const std::string file = fileWithPayload(payload);
    ASSERT_EQ(importBytes(file, "x.vgf", original).outcome, ImportResult::Outcome::Loaded);
    ASSERT_EQ(original.size(), 3u);
    ASSERT_GE(file.size(), 200u + BenchmarkHeader.size());
    for (std::size_t cut = 1; cut <= 200; ++cut) {
        SCOPED_TRACE("cut " + std::to_string(cut) + " bytes");
        ImportRig rig;
        const ImportResult result = rig.import(file.substr(0, file.size() - cut), "x.vgf");
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Damaged);
        EXPECT_TRUE(result.firstRecordsLost);
        ASSERT_LE(rig.database.size(), 3u);
        const std::size_t lost = 3 - rig.database.size();
        for (std::size_t i = 0; i < rig.database.size(); ++i) {
            BenchmarkRecord kept = rig.database.records()[i];
            kept.RowNumber = original.records()[lost + i].RowNumber;
            EXPECT_EQ(kept, original.records()[lost + i]);
        }
    }
}

TEST(Import, APayloadThatDoesNotBeginAndEndAsAWholeOneIsDamaged) {
    const std::string record = ">>:Run||BMCPUh=5:;:;";
    const struct {
        const char* name;
        std::string file;
        std::size_t kept;
    } cases[] = {
        {"junk after the header", std::string(BenchmarkHeader) + std::string(4096, 'J') + "\r\n",
         0},
        {"text before the first record", fileWithPayload("Task=x:;:;" + record), 1},
        {"the terminator's ';' altered", fileWithPayload(">>:Run||BMCPUh=5:;:x"), 1},
        {"no terminator", fileWithPayload(">>:Run||BMCPUh=5:;"), 1},
        {"a name that never ends", fileWithPayload(record + ">>:Cut"), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportRig rig;
        const ImportResult result = rig.import(c.file);
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Damaged);
        EXPECT_FALSE(result.detail.empty());
        EXPECT_EQ(rig.database.size(), c.kept);
    }
}

TEST(Import, AWrongHeaderIsRefusedEvenIfOnlyItsCaseDiffers) {
    for (const std::string& bytes :
         {std::string("VEXOGAUGE 2002 SAVE BENCHMARK V1.0") + Encode_Data(">>:x||:;:;") + "\r\n",
          std::string("VexoGAUGE"), std::string()}) {
        ImportRig rig;
        EXPECT_EQ(rig.import(bytes).outcome, ImportResult::Outcome::InvalidHeader);
        EXPECT_TRUE(rig.database.empty());
    }
    EXPECT_EQ(invalidFileMessage(),
              "Not valid save benchmark file:\rThe file could have become corrupt, "
              "contact support@kestrovia.example if the problem persists");
}

TEST(Import, ATruncatedPayloadKeepsWhatWasReadWithoutSuccess) {
    ImportRig rig;
    // The plain text stops inside the second record.
    const std::string cut = ">>:One||BMCPUh=1:;:;>>:Two||BMCPUh=2:;BMCPUl=3:;BMFP";
    const ImportResult result = rig.import(fileWithPayload(cut));
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Damaged);
    ASSERT_EQ(rig.database.size(), 2u);
    EXPECT_EQ(rig.database.records()[1].scores[1], "3");
    EXPECT_FALSE(rig.database.records()[1].scores[2].has_value());

    ImportRig noName;
    EXPECT_EQ(noName.import(fileWithPayload(">>:No bars here:;:;")).outcome,
              ImportResult::Outcome::Damaged);
    EXPECT_EQ(noName.database.size(), 1u);

    ImportRig bad;
    std::string file = fileWithPayload(">>:Ok||BMCPUh=1:;:;>>:Bad||BMCPUh=2:;:;");
    file[BenchmarkHeader.size() + 5] = '\xF0'; // a byte that cannot decode
    EXPECT_EQ(bad.import(file).outcome, ImportResult::Outcome::Damaged);
    // The text is kept up to that byte: the first record and the second's name.
    ASSERT_EQ(bad.database.size(), 2u);
    EXPECT_EQ(bad.database.records()[0].scores[0], "1");
    EXPECT_EQ(bad.database.records()[1].name, "Bad");
    EXPECT_FALSE(bad.database.records()[1].scores[0].has_value());
}

TEST(Import, ACrowdOfRecordMarkersInsideANameMakesOneRecord) {
    ImportRig rig;
    std::string flood;
    for (int i = 0; i < 200'000; ++i)
        flood += ">>:";
    const ImportResult result =
        rig.import(fileWithPayload(">>:" + flood + "||Task=" + flood + ":;BMCPUh=7:;:;"));
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Loaded) << result.detail;
    ASSERT_EQ(rig.database.size(), 1u);
    EXPECT_EQ(rig.database.records()[0].name, flood);
    EXPECT_EQ(rig.database.records()[0].tasks, std::vector<std::string>{flood});
    EXPECT_EQ(rig.database.records()[0].scores[0], "7");
}

TEST(Import, AFileThatCannotBeReadAddsNothing) {
    BenchmarkDatabase database;
    TempFolder folder;
    // A FIFO nobody writes to would block a reader that opened it for reading.
    const std::string fifo = folder.path("pipe.vgf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {folder.path("missing.vgf"), "cannot be opened: No such file or directory"},
        {folder.folder().string(), "is a folder, not a file"},
        {fifo, "is not a regular file"},
    };
    for (const auto& [path, detail] : cases) {
        const ImportResult result = Import_Saved_Benchmark(path, database);
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Unreadable) << path;
        EXPECT_EQ(result.detail, detail);
    }
    EXPECT_TRUE(database.empty());
}

TEST(Import, TheSameFileTwiceGivesTwoEqualRecordsNumberedOnwards) {
    ImportRig rig;
    const std::string file = fileWithPayload(">>:Twice||BMISA=5:;:;");
    EXPECT_TRUE(rig.import(file).loaded());
    EXPECT_TRUE(rig.import(file).loaded());
    ASSERT_EQ(rig.database.size(), 2u);
    BenchmarkRecord a = rig.database.records()[0];
    BenchmarkRecord b = rig.database.records()[1];
    EXPECT_EQ(a.RowNumber, 1);
    EXPECT_EQ(b.RowNumber, 2);
    b.RowNumber = 1;
    EXPECT_EQ(a, b);
}

struct WriterRig {
    WriterRig() {
        state.run.BenchmarkName = "Writer test \xC3\xA9t\xC3\xA9 |";
        state.scores = {1111, 2222, 333, 444, 57, 66, 77, 88};
        state.selections.ScreenResolution = 2;
        state.selections.ScreenColorDepth = 2;
        state.selections.TextureQuality = 2;
        tasks.titles = {"Editor \xE2\x86\x92 notes", "Mail: inbox:;2", "Caf\xC3\xA9 = open"};
    }
    test::FakeMachine machine;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    SystemInfo info{{machine.processor, machine.memory, machine.os, machine.graphics}, dialogs};
    FixedTasks tasks;
    AppState state;
    EngineWriter writer{state, info, tasks, {}};
    TempFolder folder;
};

TEST(Writers, EngineOrderIsSystemTasksScoresWithTheDirect3DSettings) {
    WriterRig rig;
    const std::string path = rig.folder.path("last benchmark.vgf");
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(path)) << rig.writer.lastError();
    const std::string bytes = TempFolder::read(path);
    ASSERT_EQ(bytes.substr(0, 34), BenchmarkHeader);
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const std::string plain =
        fromFileBytes(Decode_Data(std::string_view(bytes).substr(34, bytes.size() - 36)).text);
    EXPECT_EQ(plain.rfind(">>:Writer test \xC3\xA9t\xC3\xA9 ?||CPUT=104:;CPUS=733:;", 0), 0u)
        << plain;
    const auto system = plain.find("GRA_Mem=32:;");
    const auto task = plain.find("Task=Editor ? notes:;");
    const auto score = plain.find("BMCPUh=1111:;");
    EXPECT_LT(system, task);
    EXPECT_LT(task, score);
    EXPECT_NE(plain.find("Task=Mail: inbox:?2:;"), std::string::npos);
    EXPECT_NE(plain.find("BMDR3D=57(1024x768@32 Bit /w High textures):;BMSSA=66:;"),
              std::string::npos);
    EXPECT_EQ(plain.substr(plain.size() - 12), "BMISA=88:;:;");
}

TEST(Writers, BothWritersGiveTheSameRecord) {
    WriterRig rig;
    const std::string enginePath = rig.folder.path("Engine.vgf");
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(enginePath));
    BenchmarkDatabase first;
    ASSERT_EQ(Import_Saved_Benchmark(enginePath, first).outcome, ImportResult::Outcome::Loaded);

    const std::string browserPath = rig.folder.path("engine.vgf");
    ASSERT_TRUE(Export_Saved_Benchmark(browserPath, inOrder(first)));
    BenchmarkDatabase second;
    ASSERT_EQ(Import_Saved_Benchmark(browserPath, second).outcome, ImportResult::Outcome::Loaded);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first.records()[0], second.records()[0]);
    const BenchmarkRecord& record = second.records()[0];
    EXPECT_EQ(record.fileName, "engine.vgf");
    EXPECT_EQ(record.tasks.size(), 3u);
    EXPECT_EQ(record.tasks[2], "Caf\xC3\xA9 = open");
    for (const auto& value : record.system)
        EXPECT_TRUE(value.has_value());
}

TEST(Writers, TheBrowserWriterKeepsEveryTaskAndLeavesAbsentValuesAbsent) {
    BenchmarkDatabase database;
    BenchmarkRecord& record = database.addRecord("x.vgf");
    record.name = "Partial";
    record.scores[0] = "9";
    record.scores[2] = "";
    record.tasks = {"Above", " ", "Browser"};
    record.system[13] = "32";
    EXPECT_EQ(exportPayload(inOrder(database)),
              ">>:Partial||BMCPUh=9:;BMFPUh=:;Task=Above:;Task= :;Task=Browser:;GRA_Mem=32:;:;");

    // And what is read back is what was held: the task after " " included, and no value
    // invented for a key the record lacked.
    TempFolder folder;
    const std::string path = folder.path("partial.vgf");
    ASSERT_TRUE(Export_Saved_Benchmark(path, inOrder(database)));
    BenchmarkDatabase back;
    ASSERT_TRUE(Import_Saved_Benchmark(path, back).loaded());
    BenchmarkRecord read = back.records().at(0);
    read.fileName = record.fileName;
    EXPECT_EQ(read, record);
    EXPECT_FALSE(read.scores[1].has_value());
}

TEST(Writers, AFailedSaveReportsWhyAndLeavesTheEarlierFileIntact) {
    WriterRig rig;
    const std::string path = rig.folder.path("last benchmark.vgf");
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(path));
    const std::string before = TempFolder::read(path);

    // Files larger than 64 bytes cannot be written now.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    rig.state.run.BenchmarkName = "A different run";
    const bool saved64 = rig.writer.Save_Benchmark_File(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved64);
    EXPECT_EQ(rig.writer.lastError(), "Cannot save " + path + ": File too large");
    EXPECT_EQ(TempFolder::read(path), before);
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(rig.folder.folder()))
        ++files;
    EXPECT_EQ(files, 1); // no half-written file left behind

    EXPECT_FALSE(rig.writer.Save_Benchmark_File(rig.folder.path("no such folder/x.vgf")));
    EXPECT_NE(rig.writer.lastError().find("no new file can be made in the folder"),
              std::string::npos)
        << rig.writer.lastError();
}

TEST(Writers, TheCharacterYWithDiaeresisIsReadBackAsText) {
    // ÿ is the byte 255 in a file; it is as much a character as any other.
    WriterRig rig;
    rig.state.run.BenchmarkName = "Test run with \xC3\xBF";
    rig.tasks.titles = {"\xC3\xBF first", "second \xC3\xBF"};
    rig.machine.graphics.answer.description = "Adapter \xC3\xBF";
    const std::string path = rig.folder.path("y.vgf");
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(path));
    EXPECT_EQ(rig.writer.substitutedCharacters(), 0u);
    BenchmarkDatabase database;
    const ImportResult result = Import_Saved_Benchmark(path, database);
    ASSERT_EQ(result.outcome, ImportResult::Outcome::Loaded) << result.detail;
    const BenchmarkRecord& record = database.records().at(0);
    EXPECT_EQ(record.name, "Test run with \xC3\xBF");
    EXPECT_EQ(record.tasks, rig.tasks.titles);
    EXPECT_EQ(record.system[systemKeyIndex("GRA_Dev")], "Adapter \xC3\xBF");
    EXPECT_EQ(record.scores[scoreKeyIndex("BMISA")], "88");
}

TEST(Writers, CountTheCharactersStoredAsTheSubstitute) {
    WriterRig rig;
    rig.state.run.BenchmarkName = "Tokyo \xE6\x9D\xB1\xE4\xBA\xAC run?"; // a real '?' is kept
    rig.tasks.titles = {"Tab\there", "\xF0\x9F\x98\x80 smile", "Mail:;inbox"};
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(rig.folder.path("a.vgf")));
    EXPECT_EQ(rig.writer.substitutedCharacters(), 5u); // the ';' of ":;" too
    rig.state.run.BenchmarkName = "Plain name";
    rig.tasks.titles = {"Caf\xC3\xA9 \xE2\x82\xAC"};
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(rig.folder.path("a.vgf")));
    EXPECT_EQ(rig.writer.substitutedCharacters(), 0u);
}

TEST(Writers, ASaveThroughALinkWritesItsTargetAndKeepsItsPermissions) {
    WriterRig rig;
    const std::string real = rig.folder.path("real.vgf");
    TempFolder::write(real, "old contents");
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    const std::string link = rig.folder.path("link.vgf");
    ASSERT_EQ(::symlink("real.vgf", link.c_str()), 0); // relative to the link's folder

    ASSERT_TRUE(rig.writer.Save_Benchmark_File(link)) << rig.writer.lastError();
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(TempFolder::read(real).rfind(std::string(BenchmarkHeader), 0), 0u);

    // A link to a file not yet there makes the file, with an ordinary document's mode.
    const std::string dangling = rig.folder.path("later.vgf");
    ASSERT_EQ(::symlink(rig.folder.path("made later.vgf").c_str(), dangling.c_str()), 0);
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(dangling));
    ASSERT_EQ(::lstat(dangling.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_EQ(::stat(rig.folder.path("made later.vgf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u & ~mask);

    // A file saved over in place keeps its mode too.
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_TRUE(rig.writer.Save_Benchmark_File(real));
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(rig.folder.folder()))
        ++files;
    EXPECT_EQ(files, 4); // two links, two files, no temporary left
}

TEST(Fixtures, SampleFilesReadAsWritten) {
    const std::string folder = VEXO_TEST_DATA "/benchfiles/";
    BenchmarkDatabase database;
    EXPECT_EQ(Import_Saved_Benchmark(folder + "last benchmark.vgf", database).outcome,
              ImportResult::Outcome::Loaded);
    EXPECT_EQ(Import_Saved_Benchmark(folder + "playlist.vgf", database).outcome,
              ImportResult::Outcome::Loaded);
    EXPECT_EQ(Import_Saved_Benchmark(folder + "empty database.vgf", database).outcome,
              ImportResult::Outcome::Loaded);
    // A file without its line end may have lost its first records; its one record is not
    // known to be whole.
    EXPECT_EQ(Import_Saved_Benchmark(folder + "no line end.vgf", database).outcome,
              ImportResult::Outcome::Damaged);
    EXPECT_EQ(Import_Saved_Benchmark(folder + "truncated.vgf", database).outcome,
              ImportResult::Outcome::Damaged);
    ASSERT_EQ(database.size(), 5u);
    const BenchmarkRecord& engine = database.records()[0];
    EXPECT_EQ(engine.fileName, "last benchmark.vgf");
    EXPECT_EQ(engine.tasks, (std::vector<std::string>{"Editor", "Terminal \xE2\x80\x93 bash"}));
    EXPECT_EQ(engine.scores[4], "57(1024x768@32 Bit /w High textures)");
    EXPECT_EQ(database.records()[2].name, "Run two \xC3\xA9");
    EXPECT_EQ(database.records()[2].tasks[0], "a=b");
    EXPECT_EQ(database.records()[4].name, "Cut");
}

} // namespace
} // namespace vexo::benchfile
