#pragma once

#include "common/Flags.h"
#include "common/RunState.h"
#include "common/ScoreSet.h"
#include "common/Status.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexo {

// How the Direct3D measurement ended, with its score (frames per second, 0 unless measured)
// and, when it did not measure, why, for the person.
struct Direct3DResult {
    PhaseOutcome outcome = PhaseOutcome::NoDisplay;
    std::int64_t framesPerSecond = 0;
    std::string message;
};

// The Direct3D phase's work outside the engine: the tunnel window's texture picture and its
// own timed loop.
class TunnelStage {
public:
    virtual ~TunnelStage() = default;
    // Loads a texture picture file into the tunnel window's picture (creating the window
    // hidden on first use). False when the file cannot be read.
    virtual bool loadTexturePicture(const std::string& path) = 0;
    // Saves the loaded picture to the file the tunnel reads its texture from.
    virtual bool saveTexturePicture(const std::string& path) = 0;
    virtual void clearTexturePicture() = 0;
    // Runs the measurement; when it could not run or was stopped, the outcome and the message
    // say why.
    [[nodiscard]] virtual Direct3DResult Benchmark_NOW() = 0;
    virtual void unload() = 0;
    // A line about the frame times of the last measurement, or nothing.
    virtual std::string frameTimeSummary() const { return {}; }
};

// A finished run as its file keeps it: its name and one set of scores per repetition, the
// Direct3D score stored with the options it was measured with.
struct RunRecords {
    const std::string& name;
    const std::vector<ScoreSet>& repetitions;
    const Selections& options;
};

// Writes a finished run, with the system description and the tasks of the moment, to a
// benchmark file.
class BenchmarkSaver {
public:
    virtual ~BenchmarkSaver() = default;
    // Writes the file whole, or leaves what was there and says why.
    virtual Status Save_Benchmark_File(const std::string& path, const RunRecords& run) = 0;
    // How many characters of the last file written (in the name, the task titles or the
    // system values) the file could not hold and were stored as '?'.
    virtual std::size_t substitutedCharacters() const { return 0; }
};

// Adds a saved benchmark file to the result browser's records; reports the load itself.
using BenchmarkImporter = std::function<void(const std::string& path)>;

} // namespace vexo
