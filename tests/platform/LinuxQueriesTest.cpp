#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/ProgramLaunch.h"
#include "platform/linux/SessionPlatform.h"
#include "platform/linux/SessionWindowSystem.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace vexo {
namespace {

using namespace std::string_literals;

// The values with a space between each two.
template <class... Values>
std::string spaced(const Values&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    return out.str().substr(0, out.str().size() - 1);
}

// Only a build tree writes beside its installation files; an installed program writes into the
// user's data folder, even where it could write into the installation (as root can).
TEST(ResultsFolder, OnlyABuildTreeWritesIntoItsOwnFolder) {
    test::TempFolder tree;
    const std::string build = tree.folder().string() + "/";
    const std::string data = tree.path("data");
    for (const auto& [name, executable, dataHome, expected] :
         {std::tuple{"build tree", build, data, build},
          {"installed", "/usr/bin/"s, data, data + "/vexogauge/"},
          {"installed, relative XDG_DATA_HOME", "/usr/bin/"s, "relative"s,
           build + ".local/share/vexogauge/"}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(resultsFolderFor(build, executable, dataHome.c_str(), build.c_str()), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected));
    }
}

// A value set in a settings file written by a person (or another program) changes its own
// line only: comments, spacing, line ends, other sections and bytes that are no text stay.
TEST(SettingsFile, ASaveChangesOnlyTheLineOfItsKey) {
    const std::string others = "; kept for later\n[Other]\nname=\xFF\xFE raw %U\n";
    for (const auto& [name, before, key, value, after] :
         {std::tuple{"a changed value", others + "[DXSetup]\nDXRez=0\nDXCol=2\n", "DXRez", "3",
                     others + "[DXSetup]\nDXRez=3\nDXCol=2\n"},
          {"an equal value, spaced and quoted", "[DXSetup]\r\nDXRez = \"3\"  \r\n"s, "DXRez", "3",
           "[DXSetup]\r\nDXRez = \"3\"  \r\n"s},
          {"spacing and line ends kept", "[DXSetup]\r\nDXRez =  0\r\n"s, "DXRez", "4",
           "[DXSetup]\r\nDXRez =  4\r\n"s},
          {"the last of a key twice", "[DXSetup]\nDXRez=1\n[X]\n[DXSetup]\nDXRez=2\n"s, "DXRez",
           "5", "[DXSetup]\nDXRez=1\n[X]\n[DXSetup]\nDXRez=5\n"s},
          {"a new key after the section's last", "[DXSetup]\nDXCol=1\n\n# x\n[X]\nDXRez=1"s,
           "DXRez", "3", "[DXSetup]\nDXCol=1\nDXRez=3\n\n# x\n[X]\nDXRez=1"s},
          {"a new key in an empty section", "[DXSetup]"s, "DXRez", "3", "[DXSetup]\nDXRez=3\n"s},
          {"a new section", others.substr(0, others.size() - 1), "DXRez", "3",
           others + "\n[DXSetup]\nDXRez=3\n"},
          {"a value a reader would take otherwise", ""s, "DXRez", " a;\"b\"",
           "[DXSetup]\nDXRez=\" a;\\\"b\\\"\"\n"s}}) {
        SCOPED_TRACE(name);
        const std::string changed = IniSettingsStore::withValue(before, "DXSetup", key, value);
        EXPECT_EQ(changed, after);
        EXPECT_EQ(IniSettingsStore::valueIn(changed, "DXSetup", key), std::string(value));
    }
    EXPECT_EQ(IniSettingsStore::valueIn(others + "[DXSetup]\n;DXRez=1\n", "DXSetup", "DXRez"),
              std::nullopt);
}

// On disk: the file a save writes is the file the person had with one line changed, also
// through a link; a file that is no regular file is neither read (never waited on) nor replaced.
TEST(SettingsFile, KeepsThePersonsFileAndLeavesAPipeAlone) {
    const test::TempFolder home;
    const std::string folder = home.folder().string() + "/vexogauge/";
    IniSettingsStore store(folder);
    EXPECT_EQ(store.get("App", "DXSetup", "DXRez", "0"), "0");
    store.save("App", "DXSetup", "DXRez", "3"); // makes the folder
    EXPECT_EQ(test::TempFolder::read(folder + "App.ini"), "[DXSetup]\nDXRez=3\n");

    const std::string mine = "# my settings\n[ATM]\nViewMode2=True\n[DXSetup]\nDXRez=7\n\xE9\n";
    test::TempFolder::write(home.path("mine.ini"), mine);
    ::chmod(home.path("mine.ini").c_str(), 0640);
    std::filesystem::create_symlink(home.path("mine.ini"), folder + "Linked.ini");
    EXPECT_EQ(store.get("Linked", "DXSetup", "DXRez", "0"), "7");
    store.save("Linked", "DXSetup", "DXRez", "7");
    store.save("Linked", "ATM", "ViewMode1", "False");
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "Linked.ini"));
    EXPECT_EQ(test::TempFolder::read(home.path("mine.ini")),
              "# my settings\n[ATM]\nViewMode2=True\nViewMode1=False\n[DXSetup]\nDXRez=7\n\xE9\n");
    struct stat info {};
    ASSERT_EQ(::stat(home.path("mine.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);

    ASSERT_EQ(::mkfifo((folder + "Pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(store.get("Pipe", "DXSetup", "DXRez", "1"), "1");
    store.save("Pipe", "DXSetup", "DXRez", "3");
    EXPECT_TRUE(std::filesystem::is_fifo(folder + "Pipe.ini"));
}

// A program that cannot run, or ends at once with a failure, was not started; one that runs on,
// or ends at once having done its work, was; one that runs on is not waited for.
TEST(ProgramLaunch, AProgramThatFailsAtOnceWasNotStarted) {
    using namespace std::chrono_literals;
    for (const auto& [name, program, arguments, started] :
         {std::tuple{"missing", "vexo-no-such-program", std::vector<std::string>{}, false},
          {"fails at once", "sh", {"-c", "echo 'failed to connect' >&2; exit 1"}, false},
          {"killed at once", "sh", {"-c", "kill -9 $$"}, false},
          {"done at once", "true", {}, true},
          {"runs on", "sleep", {"2"}, true}}) {
        SCOPED_TRACE(name);
        int waits = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(startWatched(program, arguments, 400ms, [&waits] { ++waits; }), started);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        EXPECT_TRUE(waits > 0 || std::string(name) != "runs on") << "no paint meanwhile";
    }
}

// X11 through XWayland in a Wayland session, unless the person chose, or there is no X11.
TEST(SessionPlatform, ChoosesX11OnlyInAWaylandSessionWithXWaylandAndNoChoiceMade) {
    const char* none = nullptr;
    for (const auto& [name, chosen, wayland, x11, expected] :
         {std::tuple{"Wayland with XWayland", none, "wayland-0", ":1", "xcb"},
          {"empty choice is no choice", "", "wayland-0", ":1", "xcb"},
          {"person chose Wayland", "wayland", "wayland-0", ":1", none},
          {"Wayland without XWayland", none, "wayland-0", none, none},
          {"Wayland, empty DISPLAY", none, "wayland-0", "", none},
          {"X11 session", none, none, ":0", none},
          {"empty WAYLAND_DISPLAY", none, "", ":0", none}}) {
        const char* made = platformForSession(chosen, wayland, x11);
        EXPECT_STREQ(made ? made : "(Qt's own)", expected ? expected : "(Qt's own)") << name;
    }
    EXPECT_TRUE(isWaylandSession(nullptr, "wayland")); // the compositor's socket not passed on
    EXPECT_FALSE(isWaylandSession("", "x11"));
}

// An X11 program on XWayland is described by the compositor too; it is listed once.
TEST(SessionWindows, TellsTheCompositorsTwinOfAnX11Window) {
    const std::string xlogo = "xlogo\0XLogo\0"s;
    for (const auto& [name, nativeTitle, appId, windowClass, twin] :
         {std::tuple{"class as app id", "xlogo", "XLogo", xlogo, true},
          {"instance as app id", "xlogo", "xlogo", xlogo, true},
          {"other title", "xlogo 2", "XLogo", xlogo, false},
          {"other program, same title", "xlogo", "foot", xlogo, false},
          {"no app id", "xlogo", "", xlogo, false},
          {"class without its end", "xlogo", "Cls", "inst\0Cls"s, true},
          {"no class at all", "xlogo", "inst", ""s, false},
          {"empty class, empty app id", "xlogo", "", "\0\0"s, false}})
        EXPECT_EQ(sameProgramWindow(nativeTitle, appId, "xlogo", windowClass), twin) << name;
}

// Kibibytes; the committable memory is the limit less what is committed (not swap), never
// wrapping around; old kernels without MemAvailable; damaged files. Each row gives the load,
// total, available and committable memory.
TEST(Meminfo, ReadsKibibytesAndComputesTheLoad) {
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
             {"MemTotal: 4000000 kB\nMemFree: 100000 kB\nMemAvailable: 1000000 kB\nSwapTotal: "
              "2097152 kB\nSwapFree: 1048576 kB\nCommitLimit: 4097152 kB\nCommitted_AS: 3048576 kB",
              "75 4096000000 1024000000 1073741824"},
             {"SwapFree: 0 kB\nCommitLimit: 4000000 kB\nCommitted_AS: 1000000 kB",
              "0 0 0 3072000000"},
             {"CommitLimit: 1000 kB\nCommitted_AS: 5000 kB\n", "0 0 0 0"},
             {"CommitLimit: 104857600 kB\nCommitted_AS: 0 kB\n", "0 0 0 107374182400"},
             {"MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB",
              "60 1024000 409600 0"},
             {"", "0 0 0 0"},
             {"MemTotal: 100 kB\nMemAvailable: 900 kB\ngarbage\n", "0 102400 102400 0"}}) {
        const MemoryStatus m = parseMeminfo(text);
        EXPECT_EQ(spaced(m.loadPercent, m.totalPhysical, m.availablePhysical, m.availablePageFile),
                  expected)
            << text;
    }
}

TEST(OsRelease, PrettyNameUnquotedElseLinuxAndTheKernelsNumbers) {
    for (const auto& [text, name] :
         {std::pair{"NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
                    "Debian GNU/Linux 12 (bookworm)"},
          {"PRETTY_NAME='Fedora Linux 40'\n", "Fedora Linux 40"},
          {"PRETTY_NAME=Alpine\n", "Alpine"},
          {"PRETTY_NAME=\"Say \\\"hi\\\"\"\n", "Say \"hi\""},
          {"NAME=Thing\n", "Linux"},
          {"PRETTY_NAME=\"\"\n", "Linux"}})
        EXPECT_EQ(parseOsReleaseName(text), name) << text;
    for (const auto& [release, numbers] : {std::pair{"6.1.0-18-amd64", "6 1 0"},
                                           {"4.19", "4 19 0"},
                                           {"5.10.209-rt", "5 10 209"},
                                           {"weird", "0 0 0"}}) {
        const OsVersion v = parseKernelRelease(release);
        EXPECT_EQ(spaced(v.major, v.minor, v.build), numbers);
    }
    EXPECT_EQ(parseCpuinfoMHz("processor\t: 0\ncpu MHz\t\t: 2096.511\nprocessor\t: 1\n"
                              "cpu MHz\t\t: 3000.000\n"),
              2097);
    EXPECT_EQ(parseCpuinfoMHz("processor : 0\n"), 0);
}

// The probes against independent sources on the machine the tests run on.

std::string commandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

std::uint64_t meminfoKiB(const std::string& awkValue) {
    return std::stoull(commandOutput("awk '/^CommitLimit:/{l=$2} /^Committed_AS:/{c=$2} "
                                     "/^MemTotal:/{t=$2} END{print " +
                                     awkValue + "}' /proc/meminfo"));
}

TEST(ThisMachine, MemoryProcessorAndKernelAgreeWithProcAndUname) {
    const MemoryStatus status = LinuxMemory().memoryStatus();
    EXPECT_EQ(status.totalPhysical, meminfoKiB("t") * 1024);
    EXPECT_LE(status.availablePhysical, status.totalPhysical);
    // Committed memory moves with every process; a few hundred megabytes of slack is plenty.
    EXPECT_NEAR(static_cast<double>(status.availablePageFile),
                static_cast<double>(meminfoKiB("(l>c ? l-c : 0)") * 1024), 256.0 * 1048576);

#if defined(__x86_64__) || defined(__i386__)
    LinuxProcessor processor;
    EXPECT_EQ(processor.family(), std::stoi(commandOutput("grep -m1 '^cpu family' /proc/cpuinfo "
                                                          "| cut -d: -f2")));
    EXPECT_EQ((processor.signature() >> 4) & 0xF,
              std::stoi(commandOutput("grep -m1 '^model[[:space:]]*:' /proc/cpuinfo | cut -d: "
                                      "-f2")) &
                  0xF);
    EXPECT_GT(processor.normalisedSpeedMHz(), 100);
    EXPECT_LT(processor.normalisedSpeedMHz(), 10'000);
#endif

    const Result<OsVersion> version = LinuxOs().version();
    ASSERT_TRUE(version) << version.message();
    // "6.1", "6.1.0-18-amd64" and "6.18.44" alike: the two numbers, then the end or a separator.
    const std::string release = commandOutput("uname -r") + ".";
    const std::string numbers =
        std::to_string(version->major) + "." + std::to_string(version->minor);
    EXPECT_EQ(release.rfind(numbers, 0), 0u) << release;
    EXPECT_NE(std::string(".-+").find(release[numbers.size()]), std::string::npos) << release;
    ASSERT_TRUE(version->name);
    EXPECT_FALSE(version->name->empty());
}

// The probe names the renderer that an independent reader of the same display names.
TEST(ThisMachine, GraphicsProbeNamesTheRendererGlxinfoNames) {
    const char* display = std::getenv("DISPLAY");
    const std::string expected =
        display != nullptr && *display != '\0'
            ? commandOutput("glxinfo -B 2>/dev/null | sed -n 's/^OpenGL renderer string: //p'")
            : std::string();
    const GraphicsAdapter adapter = LinuxGraphics().adapter();
    ASSERT_FALSE(adapter.description.empty());
    if (expected.empty())
        GTEST_SKIP() << "no display or no glxinfo to compare with; the probe said \""
                     << adapter.description << '"';
    EXPECT_EQ(adapter.description, expected);
    // A second probe finds the same renderer: the driver it keeps loaded still works.
    EXPECT_EQ(LinuxGraphics().adapter().description, expected);
}

} // namespace
} // namespace vexo
