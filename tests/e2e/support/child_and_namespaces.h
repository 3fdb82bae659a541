#pragma once
// Helpers of the end-to-end tests: programs started as child processes, and pairs of network namespaces.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace kvx::e2e {

using Steady = std::chrono::steady_clock;

inline int msLeft(Steady::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Bytes as the simulator logs them: a space and two hex digits each (" A5 6C ...").
inline std::string hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char byte[4];
    for (uint8_t b : bytes) {
        std::snprintf(byte, sizeof byte, " %02X", b);
        out += byte;
    }
    return out;
}

// A program started with its stdin, stdout and stderr on pipes; stopped (SIGTERM, then SIGKILL) when it goes.
class Child {
public:
    struct Result {
        bool exited = false;  // false when it had to be killed at the deadline
        int code = -1;
        std::string out;
        std::string err;
    };

    explicit Child(const std::vector<std::string>& argv) {
        int in[2];
        int out[2];
        int err[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            ::close(err[0]);
            std::vector<char*> args;
            for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
    }

    ~Child() {
        stop();
        if (in_ >= 0) ::close(in_);
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }

    bool started() const { return pid_ > 0; }

    // Writes one line to the program's standard input.
    bool writeLine(const std::string& line) {
        const std::string text = line + "\n";
        return in_ >= 0 && ::write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // Sends SIGINT, as Ctrl-C does; finish() then collects the way the program ended.
    void interrupt() {
        if (pid_ > 0) ::kill(pid_, SIGINT);
    }

    // Whether the program has written this text to stderr by the deadline (all of stderr is kept).
    bool stderrContains(const std::string& text, int timeoutMs) {
        const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
        while (errText_.find(text) == std::string::npos) {
            if (!pump(msLeft(deadline)) && msLeft(deadline) == 0) return false;
        }
        return true;
    }

    // The first line on stdout that starts with prefix (without it), or nothing by the deadline.
    std::optional<std::string> lineStartingWith(const std::string& prefix, int timeoutMs) {
        const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            for (size_t end; (end = outText_.find('\n')) != std::string::npos;) {
                const std::string line = outText_.substr(0, end);
                outText_.erase(0, end + 1);
                if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
            }
            if (!pump(msLeft(deadline)) && msLeft(deadline) == 0) return std::nullopt;
        }
    }

    // Waits for the program to end, collecting all it writes; kills it at the deadline.
    Result finish(int timeoutMs) {
        const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
        while ((out_ >= 0 || err_ >= 0) && msLeft(deadline) > 0) pump(msLeft(deadline));
        Result result;
        result.exited = out_ < 0 && err_ < 0;
        // A program that closed its output is ending: give it the time to do so before it is stopped.
        stop(result.exited ? kExitGraceMs : 0);
        result.code = code_;
        result.out = outText_;
        result.err = errText_;
        return result;
    }

    // Stops the program and returns what it wrote to stderr.
    std::string stopAndTakeStderr() {
        stop();
        while (err_ >= 0 && pump(100)) {
        }
        return errText_;
    }

private:
    // Reads what is there within the time; false when nothing came.
    bool pump(int timeoutMs) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) <= 0) return false;
        bool got = false;
        got |= drain(fds[0], out_, outText_);
        got |= drain(fds[1], err_, errText_);
        return got;
    }

    static bool drain(const pollfd& ready, int& fd, std::string& text) {
        if (fd < 0 || !(ready.revents & (POLLIN | POLLHUP | POLLERR))) return false;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            ::close(fd);
            fd = -1;
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
        return true;
    }

    static constexpr int kExitGraceMs = 3000;

    // Waits up to graceMs for the program to end by itself, then sends SIGTERM, then SIGKILL.
    void stop(int graceMs = 0) {
        if (pid_ <= 0) return;
        int status = 0;
        const auto grace = Steady::now() + std::chrono::milliseconds(graceMs);
        pid_t ended;
        while ((ended = ::waitpid(pid_, &status, WNOHANG)) == 0 && msLeft(grace) > 0) ::usleep(5000);
        if (ended == 0) {
            ::kill(pid_, SIGTERM);
            const auto deadline = Steady::now() + std::chrono::seconds(3);
            while (::waitpid(pid_, &status, WNOHANG) == 0) {
                if (msLeft(deadline) == 0) {
                    ::kill(pid_, SIGKILL);
                    ::waitpid(pid_, &status, 0);
                    break;
                }
                ::usleep(10000);
            }
        }
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
    }

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    int code_ = -1;
    std::string outText_;
    std::string errText_;
};

inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Two network namespaces joined by a veth pair, each with a default route through its end, so that an
// unbound broadcast goes to the other side as on a LAN. Removed again whatever the test does.
class NamespacePair {
public:
    NamespacePair() {
        const std::string id = std::to_string(::getpid());
        const std::string subnet = "10.77." + std::to_string(::getpid() % 200 + 20) + ".";
        sides_[0] = {"kvx-e2e-a-" + id, "kvxa" + id, subnet + "1"};
        sides_[1] = {"kvx-e2e-b-" + id, "kvxb" + id, subnet + "2"};
        remove();
        ok_ = run("ip netns add " + sides_[0].ns) && run("ip netns add " + sides_[1].ns) &&
              run("ip link add " + sides_[0].veth + " type veth peer name " + sides_[1].veth);
        for (const Side& side : sides_) {
            const std::string in = "ip -n " + side.ns + " ";
            ok_ = ok_ && run("ip link set " + side.veth + " netns " + side.ns) &&
                  run(in + "addr add " + side.address + "/24 dev " + side.veth) &&
                  run(in + "link set lo up") && run(in + "link set " + side.veth + " up") &&
                  run(in + "route add default dev " + side.veth);
        }
    }
    ~NamespacePair() { remove(); }

    bool ok() const { return ok_; }
    const std::string& ns(int side) const { return sides_[side].ns; }
    const std::string& address(int side) const { return sides_[side].address; }
    std::vector<std::string> inside(int side, std::vector<std::string> argv) const {
        argv.insert(argv.begin(), {"ip", "netns", "exec", sides_[side].ns});
        return argv;
    }

private:
    struct Side {
        std::string ns, veth, address;
    };
    void remove() {
        // Removing a namespace removes the veth end inside it, and with it the pair.
        for (const Side& side : sides_) {
            if (!side.ns.empty()) run("ip netns del " + side.ns);
        }
    }
    Side sides_[2];
    bool ok_ = false;
};

}  // namespace kvx::e2e
