#pragma once

// The texts a benchmark run shows on the run page and in its dialogs.

namespace vexo::texts {

inline constexpr const char* ProgressPrefix = "Benchmark Progress: Phase ";
inline constexpr const char* ProgressOf = " of ";

inline constexpr const char* ThrottleStatus = "Status: Performing System Throttling ...";
inline constexpr const char* ThrottleEstimate =
    "Estimated Time Remaining: Unknown (depends on throttling)";
inline constexpr const char* ThrottleDescription =
    "Benchmark Discription: Your system is being throttled now, this will allow your system and "
    "operating system time to stablize";
inline constexpr const char* ThrottleStable = "Status: System Stable, Continuing ...";
inline constexpr const char* ThrottleTimedOut = "Status: Time-Out Reached, Continuing ...";

inline constexpr const char* CacheStatus = "Status: Preparing CPU(Cache/FSB) Benchmark ...";
inline constexpr const char* CacheEstimate = "Estimated Time Remaining: About 30 to 40 seconds ...";
inline constexpr const char* CacheDescription =
    "Benchmark Discription: The CPU / Cache / FSB benchmark is designed to work very hard with "
    "smaller pieces of data, allowing it to be more dependant of the faster subsystems within "
    "your platform. (eg branch prediction, cache memory)";
inline constexpr const char* CacheRunning = "Status: Benchmarking CPU(Cache/FSB) Now!";

inline constexpr const char* RamStatus = "Status: Preparing CPU(RAM/Chipset) Benchmark ...";
inline constexpr const char* RamEstimate =
    "Estimated Test Time: This preparation may take a minute or two.";
inline constexpr const char* RamDescription =
    "Benchmark Discription: The CPU / RAM / Chipset benchmark is designed to work with larger "
    "pieces of data, allowing it to be more dependant of the slower subsystems within your "
    "platform. (eg SDRAM or DDR, Chipset Type)";
inline constexpr const char* RamRunning = "Status: Benchmarking CPU(RAM/Chipset) Now!";
inline constexpr const char* RamRunningEstimate = "Estimated Test Time: About 30 seconds ...";

inline constexpr const char* About30Seconds = "Estimated Time Remaining: About 30 seconds ...";

inline constexpr const char* SpfpStatus = "Status: Benchmarking FPU(SPFP) Now!";
inline constexpr const char* SpfpDescription =
    "Benchmark Discription: The (SPFP) Single Pricision Floating Point benchmark is designed to "
    "test the speed of your processor to manipulate complex numbers, these are directly related "
    "to those used in 3D gaming and CAD.";

inline constexpr const char* IntegerStatus = "Status: Benchmarking FPU(Integer) Now!";
inline constexpr const char* IntegerDescription =
    "Benchmark Discription: The Integer benchmark is designed to test the speed of your "
    "processor to manipulate simple numbers.";

inline constexpr const char* Direct3DStatus = "Status: Preparing Direct3D Benchmark ...!";
inline constexpr const char* Direct3DEstimate =
    "Estimated Time Remaining: About 5 to 10 seconds ...";
inline constexpr const char* Direct3DDescription =
    "Benchmark Discription: VexoGAUGE is performing the neccessary tasks to prepare the textures "
    "and direct3D subsystems, this should be quite quick!.";

inline constexpr const char* SpreadsheetStatus =
    "Status: Benchmarking Spreadsheet Performance Now!";
inline constexpr const char* SpreadsheetDescription =
    "Benchmark Discription: This benchmark performs most of the operations of spreadsheets, this "
    "includes financial maths as well.";

inline constexpr const char* BusinessStatus =
    "Status: Benchmarking Business Application Performance Now!";
inline constexpr const char* BusinessEstimate = "Estimated Time Remaining: About 34 seconds ...";
inline constexpr const char* BusinessDescription =
    "Benchmark Discription: This benchmark performs most of the common operations of business "
    "applications, this includes data, integer and financial calculations all in one.";

inline constexpr const char* ImagingStatus =
    "Status: Benchmarking Imaging Application Performance Now!";
inline constexpr const char* ImagingDescription =
    "Benchmark Discription: This benchmark performs most of the common operations of imaging "
    "applications, and will give you a result according to your platforms ability to handle "
    "photo and image editing software.";

inline constexpr const char* CompleteStatus = "Status: Benchmark Complete";
inline constexpr const char* CompleteEstimate = "Estimated Test Time: NA (Complete)";
inline constexpr const char* CompleteDescription =
    "Benchmark Discription: Click the next button to continue ...";

inline constexpr const char* NameTitle = "Benchmark Name?";
inline constexpr const char* NamePromptFirst =
    "Before we continue, please give a discriptive name for the benchmark just performed.";
inline constexpr const char* NamePromptSecond =
    "TIP: be as short and discriptive as possible in order to avoid confusion at a later stage.";
inline constexpr int NameBoxLeftTwips = 45;
inline constexpr int NameBoxTopTwips = 300;

inline constexpr const char* NameTooShort =
    "Please make the benchmark discription longer than 6 characters.";
inline constexpr const char* NameHasSequence =
    "Please no not use seqenced characters like >>:, || or :;.";
inline constexpr const char* NameLeadingSemicolon =
    "please do not use the ';' character at the biggining of the name.";

inline constexpr const char* LastBenchmarkFile = "last benchmark.vgf";
inline constexpr const char* GraphicsFile = "graphics.dat";
inline constexpr const char* HighTexture = "data/hightex.ctf";
inline constexpr const char* MediumTexture = "data/medtex.ctf";
inline constexpr const char* LowTexture = "data/lowtex.ctf";

// Where a step of the run could not be done, the run page says so.
// Followed by the reason and ")".
inline constexpr const char* Direct3DSkipped = "Status: Direct3D benchmark skipped (";
// A run in which some chosen benchmarks gave no score; followed by them and their reasons.
inline constexpr const char* CompleteWithout = "Status: Benchmark Complete, without a score: ";
// A run in which no chosen benchmark gave a score; followed by why.
inline constexpr const char* NothingMeasured = "Status: Nothing was measured, nothing saved: ";
inline constexpr const char* NothingChosen = "no benchmark was chosen";
inline constexpr const char* NotSavedNoWriter =
    "Status: Benchmark Complete, not saved (no benchmark file writer in this build)";
inline constexpr const char* NotSavedFailed =
    "Status: Benchmark Complete, not saved (the benchmark file could not be written)";
inline constexpr const char* NotSavedNoName =
    "Status: Benchmark Complete, not saved (no name was given)";
inline constexpr const char* SavedWithSubstitutes =
    "Status: Benchmark Complete, saved (characters a benchmark file cannot hold were stored as "
    "\"?\")";
inline constexpr const char* SavedNotImported =
    "Status: Benchmark Complete, saved (no result browser in this build to import it)";

} // namespace vexo::texts
