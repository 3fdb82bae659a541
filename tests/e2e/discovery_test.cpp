// The device search end to end: korvelux-sim serving devices on a real socket or a pty, korvelux-ctl
// searching for them. LAN searches broadcast, so they run only inside network namespaces made here.
#include <gtest/gtest.h>
#include <sys/file.h>

#include "e2e/support/child_and_namespaces.h"

namespace discovery_test {

using namespace kvx::e2e;

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

// The serial port as another program on the PC meets it: a rate outside the usual list opens, and a port
// that another program holds is busy.
class SerialPortUse : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.started());
        const std::optional<std::string> pty = sim_.lineStartingWith("pty: ", kStartTimeoutMs);
        ASSERT_TRUE(pty.has_value()) << sim_.stopAndTakeStderr();
        pty_ = *pty;
    }
    Child::Result discover(const std::string& baud) {
        Child ctl({KVX_CTL_PATH, "discover", "--serial", pty_, "--baud", baud});
        return ctl.finish(kSearchTimeoutMs);
    }

    Child sim_{{KVX_SIM_PATH, "--serial", "--no-udp", "--device", "82:Rack 3:05:11223344"}};
    std::string pty_;
};

TEST_F(SerialPortUse, ARateOutsideTheUsualListOpens) {
    const Child::Result result = discover("14400");
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Rack 3\ttype=0x82\tsub=0x05\tid=00000000\tmodel=0\nConnected - 1\n");
}

TEST_F(SerialPortUse, APortThatAnotherProgramHoldsIsBusy) {
    // The other program opens the port and takes the lock that serial programs take and honour.
    const int other = ::open(pty_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    const Child::Result busy = discover("9600");
    EXPECT_EQ(busy.code, 2);
    EXPECT_EQ(busy.err, "Please open the serial port first!\n");
    ::close(other);
    EXPECT_EQ(sim_.stopAndTakeStderr().find("rx pty"), std::string::npos) << "nothing was written";
}

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

}  // namespace discovery_test
