#pragma once

// The run's texts as the user must see them, written out here and not taken from the program,
// so that a change to any of them in the program fails a test.

namespace vexo::shown {

inline constexpr const char* ApplicationTitle = "VexoGAUGE_2002";
inline constexpr const char* ThrottleStatus = "Status: Performing System Throttling ...";
inline constexpr const char* ThrottleEstimate =
    "Estimated Time Remaining: Unknown (depends on throttling)";
inline constexpr const char* ThrottleDescription =
    "Benchmark Discription: Your system is being throttled now, this will allow your system "
    "and operating system time to stablize";
inline constexpr const char* ThrottleStable = "Status: System Stable, Continuing ...";
inline constexpr const char* ThrottleTimedOut = "Status: Time-Out Reached, Continuing ...";
inline constexpr const char* CacheStatus = "Status: Preparing CPU(Cache/FSB) Benchmark ...";
inline constexpr const char* RamStatus = "Status: Preparing CPU(RAM/Chipset) Benchmark ...";
inline constexpr const char* RamEstimate =
    "Estimated Test Time: This preparation may take a minute or two.";
inline constexpr const char* RamDescription =
    "Benchmark Discription: The CPU / RAM / Chipset benchmark is designed to work with "
    "larger pieces of data, allowing it to be more dependant of the slower subsystems within "
    "your platform. (eg SDRAM or DDR, Chipset Type)";
inline constexpr const char* RamRunning = "Status: Benchmarking CPU(RAM/Chipset) Now!";
inline constexpr const char* RamRunningEstimate = "Estimated Test Time: About 30 seconds ...";
inline constexpr const char* About30Seconds = "Estimated Time Remaining: About 30 seconds ...";
inline constexpr const char* SpfpStatus = "Status: Benchmarking FPU(SPFP) Now!";
inline constexpr const char* IntegerStatus = "Status: Benchmarking FPU(Integer) Now!";
inline constexpr const char* Direct3DStatus = "Status: Preparing Direct3D Benchmark ...!";
inline constexpr const char* Direct3DDescription =
    "Benchmark Discription: VexoGAUGE is performing the neccessary tasks to prepare the "
    "textures and direct3D subsystems, this should be quite quick!.";
inline constexpr const char* SpreadsheetStatus =
    "Status: Benchmarking Spreadsheet Performance Now!";
inline constexpr const char* BusinessStatus =
    "Status: Benchmarking Business Application Performance Now!";
inline constexpr const char* BusinessDescription =
    "Benchmark Discription: This benchmark performs most of the common operations of "
    "business applications, this includes data, integer and financial calculations all in "
    "one.";
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
inline constexpr const char* SavedNotImported =
    "Status: Benchmark Complete, saved (no result browser in this build to import it)";
inline constexpr const char* NamePromptFirst =
    "Before we continue, please give a discriptive name for the benchmark just performed.";
inline constexpr const char* NamePromptSecond =
    "TIP: be as short and discriptive as possible in order to avoid confusion at a later "
    "stage.";
inline constexpr const char* NameTooShort =
    "Please make the benchmark discription longer than 6 characters.";
inline constexpr const char* NameHasSequence =
    "Please no not use seqenced characters like >>:, || or :;.";
inline constexpr const char* NameLeadingSemicolon =
    "please do not use the ';' character at the biggining of the name.";
inline constexpr const char* Direct3DSkippedLongest =
    "Status: Direct3D benchmark skipped (its window was hidden or its graphics were lost)";
inline constexpr const char* NotSavedNoWriter =
    "Status: Benchmark Complete, not saved (no benchmark file writer in this build)";
inline constexpr const char* NotSavedFailed =
    "Status: Benchmark Complete, not saved (the benchmark file could not be written)";
inline constexpr const char* NotSavedNoName =
    "Status: Benchmark Complete, not saved (no name was given)";
inline constexpr const char* SavedWithSubstitutes =
    "Status: Benchmark Complete, saved (characters a benchmark file cannot hold were stored "
    "as \"?\")";

} // namespace vexo::shown
