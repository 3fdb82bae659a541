// The program itself, `korvelux --demo`, as the operator starts it (offscreen):
// - start to first paint: from the spawn of the process to the first time the main window's picture is
//   flushed to the screen, as the window toolkit's own painting log (qt.widgets.painting) tells it with the
//   monotonic time of each line;
// - resident memory after a scripted run that opens every panel (multiviewer, 8x8, 16x16, the listed-only
//   device), every page of the multiviewer and the connection settings dialog.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_table.h"

extern char** environ;

namespace kvx::bench {
namespace {

constexpr int kStarts = 10;

// Every panel and page: the multiviewer's panel opens after the search on its layout page; UMD, audio,
// colours, settings, switcher (a mode question), layout again (another); then the 8x8, the 16x16 and the
// listed-only device; then the connection settings dialog. `print` tells the parent that the run is over.
const char* const kEveryPanelAndPage =
    "search,wait:500,click:1010,wait:300,click:1016,wait:300,click:1011,wait:300,click:1012,wait:300,"
    "click:1015,answer:ok,wait:300,click:1009,answer:ok,wait:300,select:1,wait:500,select:2,wait:500,"
    "select:3,wait:300,click:1004,wait:300,print,wait:3000,quit";

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "demo_process_bench: %s\n", what.c_str());
    std::exit(1);
}

// korvelux --demo --auto STEPS with its standard output and error going to the given descriptors.
pid_t spawnDemo(const char* steps, int out, int err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    char* argv[] = {const_cast<char*>(KVX_APP_PATH), const_cast<char*>("--demo"), const_cast<char*>("--auto"),
                    const_cast<char*>(steps), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, KVX_APP_PATH, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) fail("cannot start " KVX_APP_PATH);
    return pid;
}

void finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("korvelux --demo did not end cleanly");
}

// A file for a child's standard error, read once the child has ended.
struct ErrorLog {
    ErrorLog() : fd(mkstemp(name)) {
        if (fd < 0) fail("cannot make a log file");
    }
    ~ErrorLog() {
        close(fd);
        unlink(name);
    }
    std::vector<std::string> lines() const {
        std::ifstream file(name);
        std::vector<std::string> all;
        for (std::string line; std::getline(file, line);) all.push_back(line);
        return all;
    }
    char name[32] = "/tmp/kvx-bench-log-XXXXXX";
    int fd;
};

int devNull() {
    static const int fd = open("/dev/null", O_WRONLY);
    if (fd < 0) fail("cannot open /dev/null");
    return fd;
}

// Milliseconds from the spawn to the first flush of the main window, in one start.
double startToFirstPaintMs() {
    ErrorLog log;
    const double spawnedMs = std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
    finish(spawnDemo("wait:200,quit", devNull(), log.fd));
    for (const std::string& line : log.lines()) {
        // "<seconds since boot> Flushing QRegion(...) of kvx::CKORVELUX_16_VIEWDlg(...)"
        if (line.find("Flushing") == std::string::npos || line.find("CKORVELUX_16_VIEWDlg") == std::string::npos)
            continue;
        return std::stod(line) * 1000 - spawnedMs;
    }
    fail("the program's painting log shows no flush of the main window");
}

// The VmRSS or VmHWM line of a process's status, in MiB.
double statusMiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
    }
    fail("no " + field + " for the program");
}

}  // namespace
}  // namespace kvx::bench

int main() {
    using namespace kvx::bench;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // The log's times are the same monotonic clock as this program's steady clock.
    setenv("QT_LOGGING_RULES", "qt.widgets.painting=true", 1);
    setenv("QT_MESSAGE_PATTERN", "%{time boot} %{message}", 1);
    std::vector<double> starts;
    for (int run = 0; run < kStarts; ++run) starts.push_back(startToFirstPaintMs());
    row("start to first paint of the main window, korvelux --demo, " + std::to_string(kStarts) + " starts",
        format("p50 %.0f ms", percentile(starts, 0.5)) + format(", max %.0f ms", percentile(starts, 1.0)));
    unsetenv("QT_LOGGING_RULES");
    unsetenv("QT_MESSAGE_PATTERN");

    int out[2];
    if (pipe(out) != 0) fail("cannot make a pipe");
    ErrorLog log;
    const pid_t pid = spawnDemo(kEveryPanelAndPage, out[1], log.fd);
    close(out[1]);
    FILE* printed = fdopen(out[0], "r");
    int devices = 0;
    char text[512];
    while (std::fgets(text, sizeof text, printed)) {
        const std::string line = text;
        if (line.rfind("item\t", 0) == 0) ++devices;
        if (line.rfind("status\t", 0) == 0) break;  // the run is over; the program waits 3 s before it quits
    }
    usleep(500 * 1000);
    const double rss = statusMiB(pid, "VmRSS");
    const double peak = statusMiB(pid, "VmHWM");
    while (std::fgets(text, sizeof text, printed)) {
    }
    fclose(printed);
    finish(pid);
    if (devices != 4) fail("the scripted run's search did not list the four demo devices");
    // A step that found its control hidden, disabled or missing says so; the run would not be the whole one.
    for (const std::string& line : log.lines()) {
        if (line.rfind("no control ", 0) == 0 || line.rfind("control ", 0) == 0) fail("scripted run: " + line);
    }
    row("resident memory after a scripted korvelux --demo run through every panel, page and the settings "
        "dialog",
        format("%.1f MiB", rss) + format(" (peak %.1f MiB)", peak));
    return 0;
}
