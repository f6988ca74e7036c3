// Feeds arbitrary bytes to the benchmark-file reader. It must neither crash nor hang, and what
// it read must survive being written by the browser's writer and read back.
#include "benchfile/BenchmarkFile.h"
#include "common/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexo;
    BenchmarkDatabase database;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto result = benchfile::importBytes(bytes, "Fuzz/Input.VGF", database);
    if (result.recordsAdded != database.size())
        std::abort();

    // Whatever was read is written again and must read back to the same records.
    const std::string file =
        benchfile::benchmarkFileBytes(benchfile::exportPayload(benchfile::inOrder(database)));
    BenchmarkDatabase again;
    const auto reread = benchfile::importBytes(file, "Fuzz/Input.VGF", again);
    if (reread.outcome != benchfile::ImportResult::Outcome::Loaded ||
        again.size() != database.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        const BenchmarkRecord& before = database.records()[i];
        const BenchmarkRecord& after = again.records()[i];
        // Texts come back unchanged unless they held something a file cannot hold.
        if (before.tasks.size() < after.tasks.size())
            std::abort();
        if (after.name && before.name &&
            toFileBytes(*before.name).size() != toFileBytes(*after.name).size())
            std::abort();
    }
    return 0;
}
