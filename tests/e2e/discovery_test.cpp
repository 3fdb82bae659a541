// The device search end to end: korvelux-sim serving devices on a real socket or a pty, korvelux-ctl
// searching for them. LAN searches broadcast, so they run only inside network namespaces made here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

int msLeft(Steady::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A program started with its stdout and stderr on pipes; stopped (SIGTERM, then SIGKILL) when it goes.
class Child {
public:
    struct Result {
        bool exited = false;  // false when it had to be killed at the deadline
        int code = -1;
        std::string out;
        std::string err;
    };

    explicit Child(const std::vector<std::string>& argv) {
        int out[2];
        int err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            ::close(out[0]);
            ::close(err[0]);
            std::vector<char*> args;
            for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~Child() {
        stop();
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }

    bool started() const { return pid_ > 0; }

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
    int out_ = -1;
    int err_ = -1;
    int code_ = -1;
    std::string outText_;
    std::string errText_;
};

bool run(const std::string& command) {
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

constexpr int kStartTimeoutMs = 10000;
constexpr int kSearchTimeoutMs = 20000;  // the search itself takes 2 or 3 seconds

class LanDiscovery : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "LAN discovery needs root to make network namespaces";
        if (!run("ip netns list")) GTEST_SKIP() << "'ip netns' is not available";
        pair_.emplace();
        if (!pair_->ok()) GTEST_SKIP() << "network namespaces with a veth pair cannot be made here";
    }
    std::optional<NamespacePair> pair_;
};

TEST_F(LanDiscovery, ListsBothSimulatedDevicesInReplyOrder) {
    Child sim(pair_->inside(
        0, {KVX_SIM_PATH, "--device", "a1:Left Wall:01:0A0B0C0D", "--device", "83:TQL2408P:02:01020304"}));
    ASSERT_TRUE(sim.started());
    ASSERT_EQ(sim.lineStartingWith("listening on ", kStartTimeoutMs), "0.0.0.0:7000");

    Child ctl(pair_->inside(1, {KVX_CTL_PATH, "discover"}));
    const Child::Result result = ctl.finish(kSearchTimeoutMs);
    const std::string device = pair_->address(0);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Left Wall_" + device + "\ttype=0xA1\tsub=0x01\tid=0A0B0C0D\tmodel=0\n" +
                              "TQL2408P_" + device + "\ttype=0x83\tsub=0x02\tid=01020304\tmodel=1\n" +
                              "Connected - 2\n");
    // The simulator logged the probe, sent from the PC's port 7000 over the LAN link.
    EXPECT_NE(sim.stopAndTakeStderr().find("rx " + pair_->address(1) + ":7000 A5 6C 1B 00 FF FF 01"),
              std::string::npos);
}

TEST_F(LanDiscovery, NoDeviceAnswering) {
    Child ctl(pair_->inside(1, {KVX_CTL_PATH, "discover"}));
    const Child::Result result = ctl.finish(kSearchTimeoutMs);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "No Device Connected\n");
}

TEST_F(LanDiscovery, PortInUseCannotMakeTheDiscoverySocket) {
    // The simulator holds port 7000 of the PC's own namespace, so the search's socket cannot bind it.
    Child sim(pair_->inside(1, {KVX_SIM_PATH}));
    ASSERT_EQ(sim.lineStartingWith("listening on ", kStartTimeoutMs), "0.0.0.0:7000");
    Child ctl(pair_->inside(1, {KVX_CTL_PATH, "discover"}));
    const Child::Result result = ctl.finish(kSearchTimeoutMs);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "Create socket err\n");
    EXPECT_EQ(result.out, "");
}

class SerialDiscovery : public testing::TestWithParam<int> {};

TEST_P(SerialDiscovery, FindsTheDeviceOnThePty) {
    Child sim({KVX_SIM_PATH, "--serial", "--no-udp", "--serial-pieces", std::to_string(GetParam()),
               "--device", "82:Rack 3:05:11223344", "--device", "a1"});
    ASSERT_TRUE(sim.started());
    const std::optional<std::string> pty = sim.lineStartingWith("pty: ", kStartTimeoutMs);
    ASSERT_TRUE(pty.has_value()) << sim.stopAndTakeStderr();

    Child ctl({KVX_CTL_PATH, "discover", "--serial", *pty, "--baud", "115200"});
    const Child::Result result = ctl.finish(kSearchTimeoutMs);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.code, 0) << result.err;
    // The serial search fills neither the address nor the DeviceId.
    EXPECT_EQ(result.out, "Rack 3\ttype=0x82\tsub=0x05\tid=00000000\tmodel=0\nConnected - 1\n");
    EXPECT_NE(sim.stopAndTakeStderr().find("rx pty A5 6C 1B 00 FF FF 00"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SerialDiscovery, testing::Values(1, 3));

TEST(DemoDiscovery, FindsTheDemoSetWithoutANetwork) {
    Child ctl({KVX_CTL_PATH, "discover", "--demo"});
    const Child::Result result = ctl.finish(kSearchTimeoutMs);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out,
              "KVX_MV16_192.168.1.101\ttype=0xA1\tsub=0x01\tid=4B5601A1\tmodel=0\n"
              "KVX_MX0808_192.168.1.102\ttype=0x82\tsub=0x01\tid=4B560282\tmodel=0\n"
              "TQL2408P_192.168.1.103\ttype=0x83\tsub=0x01\tid=4B560383\tmodel=1\n"
              "KVX_EXT60_192.168.1.104\ttype=0x60\tsub=0x01\tid=4B560460\tmodel=0\n"
              "Connected - 4\n");
}

struct ErrorCase {
    std::vector<std::string> argv;
    std::string stderrStart;  // the one line on stderr starts so
};

class CommandLineErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(CommandLineErrors, ExitWithTwoAndOneLineOnStderr) {
    Child child(GetParam().argv);
    const Child::Result result = child.finish(kSearchTimeoutMs);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err.rfind(GetParam().stderrStart, 0), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
}

// None of these reaches the network: they fail before a socket is made, or use only a serial port.
INSTANTIATE_TEST_SUITE_P(
    Programs, CommandLineErrors,
    testing::Values(ErrorCase{{KVX_CTL_PATH, "discover", "--serial", "/dev/kvx-no-such-port"},
                              "Please open the serial port first!"},
                    ErrorCase{{KVX_CTL_PATH, "discover", "--demo", "--serial", "COM9"},
                              "Please open the serial port first!"},
                    ErrorCase{{KVX_CTL_PATH, "discover", "--fast"}, "korvelux-ctl: unknown option '--fast'"},
                    ErrorCase{{KVX_CTL_PATH, "discover", "--serial"}, "korvelux-ctl: --serial needs a value"},
                    ErrorCase{{KVX_CTL_PATH, "discover", "--demo", "--baud", "fast"},
                              "korvelux-ctl: bad baud"},
                    ErrorCase{{KVX_CTL_PATH, "identify"}, "korvelux-ctl: unknown command 'identify'"},
                    ErrorCase{{KVX_CTL_PATH}, "korvelux-ctl: no command given"},
                    ErrorCase{{KVX_SIM_PATH, "--device", "zz"}, "korvelux-sim: bad device 'zz'"},
                    ErrorCase{{KVX_SIM_PATH, "--device", "82:A-1-B"}, "korvelux-sim: device name"},
                    ErrorCase{{KVX_SIM_PATH, "--device", "82:X:01:123"}, "korvelux-sim: bad device id"},
                    ErrorCase{{KVX_SIM_PATH, "--bind", "1.2.3"}, "korvelux-sim: bad address"},
                    ErrorCase{{KVX_SIM_PATH, "--no-udp"}, "korvelux-sim: --no-udp leaves nothing"}));

}  // namespace
