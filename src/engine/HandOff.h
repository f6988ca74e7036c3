#pragma once

#include "common/RunState.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexo {

// How the Direct3D measurement ended, with its score (frames per second, 0 unless measured).
struct Direct3DResult {
    PhaseOutcome outcome = PhaseOutcome::NoDisplay;
    std::int64_t framesPerSecond = 0;
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
    // Runs the measurement. When it could not run or was stopped, the stage has said why and
    // the outcome keeps the reason.
    [[nodiscard]] virtual Direct3DResult Benchmark_NOW() = 0;
    virtual void unload() = 0;
    // A line about the frame times of the last measurement, or nothing.
    virtual std::string frameTimeSummary() const { return {}; }
};

// Writes the finished run (name, scores, system description, tasks) to a benchmark file.
class BenchmarkSaver {
public:
    virtual ~BenchmarkSaver() = default;
    // True when the file was written completely.
    virtual bool Save_Benchmark_File(const std::string& path) = 0;
    // How many characters of the last file written (in the name, the task titles or the
    // system values) the file could not hold and were stored as '?'.
    virtual std::size_t substitutedCharacters() const { return 0; }
};

// Adds a saved benchmark file to the result browser's records; reports the load itself.
class BenchmarkImporter {
public:
    virtual ~BenchmarkImporter() = default;
    virtual void Import_Saved_Benchmark(const std::string& path) = 0;
};

} // namespace vexo
