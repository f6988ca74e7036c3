#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxSystemQueries.h"
#include "platform/linux/SessionPlatform.h"
#include "platform/linux/SessionWindowSystem.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/utsname.h>

namespace vexo {
namespace {

// Only a build tree writes beside its installation files; an installed program writes into the
// user's data folder, even where it could write into the installation (as root can).
TEST(ResultsFolder, OnlyABuildTreeWritesIntoItsOwnFolder) {
    test::TempFolder tree;
    const std::string build = tree.folder().string() + "/";
    const std::string data = tree.path("data");
    struct Case {
        const char* name;
        std::string app, executable;
        const char* dataHome;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"build tree", build, build, data.c_str(), build},
        {"installed, writable share folder", build, "/usr/bin/", data.c_str(),
         data + "/vexogauge/"},
        {"installed, relative XDG_DATA_HOME", build, "/usr/bin/", "relative",
         build + ".local/share/vexogauge/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(resultsFolderFor(c.app, c.executable, c.dataHome, build.c_str()), c.expected);
        EXPECT_TRUE(std::filesystem::is_directory(c.expected));
    }
}

// X11 through XWayland in a Wayland session, unless the person chose, or there is no X11.
TEST(SessionPlatform, ChoosesX11OnlyInAWaylandSessionWithXWaylandAndNoChoiceMade) {
    struct Case {
        const char* name;
        const char *chosen, *wayland, *x11;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"Wayland with XWayland", nullptr, "wayland-0", ":1", "xcb"},
        {"empty choice is no choice", "", "wayland-0", ":1", "xcb"},
        {"person chose Wayland", "wayland", "wayland-0", ":1", nullptr},
        {"person chose offscreen", "offscreen", "wayland-0", ":1", nullptr},
        {"Wayland without XWayland", nullptr, "wayland-0", nullptr, nullptr},
        {"Wayland, empty DISPLAY", nullptr, "wayland-0", "", nullptr},
        {"X11 session", nullptr, nullptr, ":0", nullptr},
        {"empty WAYLAND_DISPLAY", nullptr, "", ":0", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const char* chosen = platformForSession(c.chosen, c.wayland, c.x11);
        EXPECT_EQ(chosen == nullptr ? std::string("(Qt's own)") : std::string(chosen),
                  c.expected == nullptr ? std::string("(Qt's own)") : std::string(c.expected));
    }

    // The choice is in the environment only until the application has read it.
    const char* keptDisplay = std::getenv("DISPLAY");
    const std::string display = keptDisplay != nullptr ? keptDisplay : "";
    const char* keptWayland = std::getenv("WAYLAND_DISPLAY");
    const std::string wayland = keptWayland != nullptr ? keptWayland : "";
    const bool hadWayland = keptWayland != nullptr;
    unsetenv("QT_QPA_PLATFORM");
    setenv("WAYLAND_DISPLAY", "wayland-9", 1);
    setenv("DISPLAY", ":9", 1);
    {
        SessionPlatformChoice choice;
        ASSERT_NE(std::getenv("QT_QPA_PLATFORM"), nullptr);
        EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");
        choice.applicationMade();
        EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
    }
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    {
        SessionPlatformChoice choice;
        choice.applicationMade();
        EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "wayland"); // the person's, left alone
    }
    unsetenv("QT_QPA_PLATFORM");
    if (keptDisplay != nullptr)
        setenv("DISPLAY", display.c_str(), 1);
    else
        unsetenv("DISPLAY");
    if (hadWayland)
        setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    else
        unsetenv("WAYLAND_DISPLAY");
}

TEST(SessionPlatform, TellsAWaylandSession) {
    EXPECT_TRUE(isWaylandSession("wayland-0", nullptr));
    EXPECT_TRUE(isWaylandSession(nullptr, "wayland")); // the compositor's socket not passed on
    EXPECT_FALSE(isWaylandSession("", "x11"));
    EXPECT_FALSE(isWaylandSession(nullptr, nullptr));
}

// An X11 program on XWayland is described by the compositor too; it is listed once.
TEST(SessionWindows, TellsTheCompositorsTwinOfAnX11Window) {
    using namespace std::string_literals;
    const std::string xlogo = "xlogo\0XLogo\0"s;
    struct Case {
        const char* name;
        std::string nativeTitle, appId, x11Title, windowClass;
        bool twin;
    };
    const std::vector<Case> cases{
        {"class as app id", "xlogo", "XLogo", "xlogo", xlogo, true},
        {"instance as app id", "xlogo", "xlogo", "xlogo", xlogo, true},
        {"other title", "xlogo 2", "XLogo", "xlogo", xlogo, false},
        {"other program, same title", "xlogo", "foot", "xlogo", xlogo, false},
        {"no app id", "xlogo", "", "xlogo", xlogo, false},
        {"class without its end", "x", "Cls", "x", "inst\0Cls"s, true},
        {"no class at all", "x", "inst", "x", "", false},
        {"empty class, empty app id", "x", "", "x", "\0\0"s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sameProgramWindow(c.nativeTitle, c.appId, c.x11Title, c.windowClass), c.twin);
    }
}

TEST(Meminfo, ReadsKibibytesAndComputesTheLoad) {
    const MemoryStatus status = parseMeminfo("MemTotal:        4000000 kB\n"
                                             "MemFree:          100000 kB\n"
                                             "MemAvailable:    1000000 kB\n"
                                             "SwapTotal:       2097152 kB\n"
                                             "SwapFree:        1048576 kB\n"
                                             "CommitLimit:     4097152 kB\n"
                                             "Committed_AS:    3048576 kB\n");
    EXPECT_EQ(status.totalPhysical, 4'096'000'000ULL);
    EXPECT_EQ(status.availablePhysical, 1'024'000'000ULL);
    EXPECT_EQ(status.availablePageFile, 1'073'741'824ULL);
    EXPECT_EQ(status.loadPercent, 75u);
}

TEST(Meminfo, CommittableMemoryIsTheLimitLessWhatIsCommitted) {
    // Without swap the limit is the overcommit share of physical memory, not 0.
    const MemoryStatus noSwap = parseMeminfo("MemTotal: 8000000 kB\nSwapFree: 0 kB\n"
                                             "CommitLimit: 4000000 kB\nCommitted_AS: 1000000 kB\n");
    EXPECT_EQ(noSwap.availablePageFile, 3'072'000'000ULL);
    // Overcommitted: nothing more can be committed, and the value does not wrap around.
    const MemoryStatus over = parseMeminfo("CommitLimit: 1000 kB\nCommitted_AS: 5000 kB\n");
    EXPECT_EQ(over.availablePageFile, 0u);
    // Past 4 GiB.
    const MemoryStatus large = parseMeminfo("CommitLimit: 104857600 kB\nCommitted_AS: 0 kB\n");
    EXPECT_EQ(large.availablePageFile, 107'374'182'400ULL);
}

TEST(Meminfo, OldKernelsAndDamagedFilesGiveSaneValues) {
    const MemoryStatus old = parseMeminfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\n"
                                          "Cached: 250 kB\n");
    EXPECT_EQ(old.availablePhysical, 400u * 1024);
    EXPECT_EQ(old.loadPercent, 60u);
    const MemoryStatus empty = parseMeminfo("");
    EXPECT_EQ(empty.totalPhysical, 0u);
    EXPECT_EQ(empty.loadPercent, 0u);
    const MemoryStatus odd = parseMeminfo("MemTotal: 100 kB\nMemAvailable: 900 kB\ngarbage\n");
    EXPECT_EQ(odd.availablePhysical, odd.totalPhysical);
    EXPECT_EQ(odd.loadPercent, 0u);
}

TEST(OsRelease, PrettyNameUnquotedElseLinux) {
    EXPECT_EQ(parseOsReleaseName("NAME=\"Debian GNU/Linux\"\n"
                                 "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(parseOsReleaseName("PRETTY_NAME='Fedora Linux 40'\n"), "Fedora Linux 40");
    EXPECT_EQ(parseOsReleaseName("PRETTY_NAME=Alpine\n"), "Alpine");
    EXPECT_EQ(parseOsReleaseName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), "Say \"hi\"");
    EXPECT_EQ(parseOsReleaseName("NAME=Thing\n"), "Linux");
    EXPECT_EQ(parseOsReleaseName(""), "Linux");
    EXPECT_EQ(parseOsReleaseName("PRETTY_NAME=\"\"\n"), "Linux");
}

TEST(KernelRelease, MajorMinorAndBuildNumbers) {
    const OsVersion debian = parseKernelRelease("6.1.0-18-amd64");
    EXPECT_EQ(debian.major, 6u);
    EXPECT_EQ(debian.minor, 1u);
    EXPECT_EQ(debian.build, 0u);
    const OsVersion two = parseKernelRelease("4.19");
    EXPECT_EQ(two.major, 4u);
    EXPECT_EQ(two.minor, 19u);
    EXPECT_EQ(two.build, 0u);
    const OsVersion full = parseKernelRelease("5.10.209-rt");
    EXPECT_EQ(full.build, 209u);
    const OsVersion junk = parseKernelRelease("weird");
    EXPECT_EQ(junk.major, 0u);
    EXPECT_TRUE(junk.ok);
}

TEST(Cpuinfo, FirstProcessorsClockRounded) {
    EXPECT_EQ(parseCpuinfoMHz("processor\t: 0\ncpu MHz\t\t: 2096.511\nprocessor\t: 1\n"
                              "cpu MHz\t\t: 3000.000\n"),
              2097);
    EXPECT_EQ(parseCpuinfoMHz("processor : 0\n"), 0);
}

// The probes against independent sources on the machine the tests run on.

std::string commandOutput(const char* command) {
    std::string output;
    if (FILE* pipe = popen(command, "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

TEST(ThisMachine, TotalMemoryAgreesWithProcMeminfo) {
    unsigned long long kib = 0;
    if (FILE* file = std::fopen("/proc/meminfo", "r")) {
        ASSERT_EQ(std::fscanf(file, "MemTotal: %llu kB", &kib), 1);
        std::fclose(file);
    }
    LinuxMemory memory;
    const MemoryStatus status = memory.memoryStatus();
    EXPECT_EQ(status.totalPhysical, kib * 1024);
    EXPECT_LE(status.availablePhysical, status.totalPhysical);
    EXPECT_LE(status.loadPercent, 100u);
    // Committed memory moves with every process; a few hundred megabytes of slack is plenty.
    const std::string committable = commandOutput(
        "awk '/^CommitLimit:/{l=$2} /^Committed_AS:/{c=$2} END{print (l>c ? l-c : 0)}' "
        "/proc/meminfo");
    ASSERT_FALSE(committable.empty());
    const double expected = std::stod(committable) * 1024;
    EXPECT_NEAR(static_cast<double>(status.availablePageFile), expected, 256.0 * 1048576);
}

TEST(ThisMachine, ProcessorAgreesWithProcCpuinfo) {
#if !defined(__x86_64__) && !defined(__i386__)
    GTEST_SKIP() << "no cpuid on this processor";
#endif
    const std::string family = commandOutput("grep -m1 '^cpu family' /proc/cpuinfo | cut -d: -f2");
    const std::string model =
        commandOutput("grep -m1 '^model[[:space:]]*:' /proc/cpuinfo | cut -d: -f2");
    ASSERT_FALSE(family.empty());
    LinuxProcessor processor;
    EXPECT_EQ(processor.family(), std::stoi(family));
    EXPECT_EQ((processor.signature() >> 4) & 0xF, std::stoi(model) & 0xF);
    const std::int32_t mhz = processor.normalisedSpeedMHz();
    EXPECT_GT(mhz, 100);
    EXPECT_LT(mhz, 10'000);
}

TEST(ThisMachine, KernelNumbersAgreeWithUname) {
    LinuxOs os;
    const OsVersion version = os.version();
    ASSERT_TRUE(version.ok);
    const std::string release = commandOutput("uname -r");
    std::ostringstream expected;
    expected << version.major << '.' << version.minor;
    // "6.1", "6.1.0-18-amd64" and "6.18.44" alike: the two numbers, then the end or a separator.
    ASSERT_EQ(release.rfind(expected.str(), 0), 0u) << release;
    const std::size_t after = expected.str().size();
    EXPECT_TRUE(after == release.size() || release[after] == '.' || release[after] == '-' ||
                release[after] == '+')
        << release;
    ASSERT_TRUE(version.name);
    EXPECT_FALSE(version.name->empty());
}

// The probe names the renderer that an independent reader of the same display names.
TEST(ThisMachine, GraphicsProbeNamesTheRendererGlxinfoNames) {
    const char* display = std::getenv("DISPLAY");
    const std::string expected =
        display != nullptr && *display != '\0'
            ? commandOutput("glxinfo -B 2>/dev/null | sed -n 's/^OpenGL renderer string: //p'")
            : std::string();
    LinuxGraphics graphics;
    const GraphicsAdapter adapter = graphics.adapter();
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
