// The result browser with a large database: loading a 10,000-record file into the window and
// showing it, and sorting a score column.
#include "benchfile/BenchmarkFile.h"
#include "browser/ResultBrowser.h"
#include "browser/ui/ResultWindow.h"
#include "platform/SilentDialogs.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace vexo;

class NoFiles final : public FileDialogs {
public:
    std::optional<std::string> openFile(const FileDialogRequest&) override { return path; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
    std::string path;
};

// No lock key is ever on.
class NoLocks final : public KeyboardLocks {
public:
    std::optional<LockKeys> lockKeys() override { return std::nullopt; }
};

const std::string& tenThousand() {
    static const std::string path = [] {
        BenchmarkDatabase database;
        for (int i = 0; i < 10'000; ++i) {
            BenchmarkRecord& record = database.addRecord("bench.vgf");
            record.name = "Benchmark run number " + std::to_string(i);
            for (std::size_t k = 0; k < record.scores.size(); ++k)
                record.scores[k] =
                    std::to_string((i * 7919 + static_cast<int>(k) * 104729) % 100000);
            for (std::size_t k = 0; k < record.system.size(); ++k)
                record.system[k] = "value " + std::to_string(i % 97);
            for (int t = 0; t < 12; ++t)
                record.tasks.push_back("Task window title " + std::to_string(t));
        }
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("vexo-browser-bench-" + std::to_string(getpid()) + ".vgf"))
                                     .string();
        if (!benchfile::Export_Saved_Benchmark(file, benchfile::inOrder(database)))
            std::abort();
        return file;
    }();
    return path;
}

// Load (the open dialog answered at once) and the first display of the window.
void BM_LoadAndShow10k(benchmark::State& state) {
    SilentDialogs dialogs;
    NoFiles files;
    NoLocks locks;
    files.path = tenThousand();
    for (auto _ : state) {
        ResultWindow window({dialogs, files}, locks, "/nonexistent/", "/tmp/");
        window.run([&] { window.model().LoadMenu_Click(); });
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.model().rowCount());
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadAndShow10k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortScoreColumn10k(benchmark::State& state) {
    SilentDialogs dialogs;
    NoFiles files;
    files.path = tenThousand();
    ResultBrowser browser({dialogs, files}, "/tmp/");
    browser.LoadMenu_Click();
    std::size_t column = 3;
    for (auto _ : state) {
        browser.ColumnClick(BrowserMode::Scores, column);
        column = column == 10 ? 3 : column + 1;
    }
}
BENCHMARK(BM_SortScoreColumn10k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(tenThousand());
    return 0;
}
