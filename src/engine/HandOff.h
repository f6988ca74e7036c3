#pragma once

#include <cstddef>
#include <string>

namespace vexo {

// The Direct3D phase's work outside the engine: the tunnel window's texture picture and its
// own timed loop, which leaves frames per second in the score set.
class TunnelStage {
public:
    virtual ~TunnelStage() = default;
    // Loads a texture picture file into the tunnel window's picture (creating the window
    // hidden on first use). False when the file cannot be read.
    virtual bool loadTexturePicture(const std::string& path) = 0;
    // Saves the loaded picture to the file the tunnel reads its texture from.
    virtual bool saveTexturePicture(const std::string& path) = 0;
    virtual void clearTexturePicture() = 0;
    // Runs the measurement, leaving frames per second in the score set. False when it could
    // not run (the stage has said why); the score then stays 0.
    virtual bool Benchmark_NOW() = 0;
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
