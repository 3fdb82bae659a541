// mv save and mv restore end to end: korvelux-sim serving multiviewers on ptys, korvelux-ctl saving one
// and restoring the file onto another; each run a process of its own, so what a run did is seen by the next
// only through the simulated device.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "e2e/support/child_and_namespaces.h"
#include "multiviewer/state_fields.h"
#include "protocol/json_text.h"

namespace ctl_backup_test {

using namespace kvx::e2e;
using kvx::Json;
using Argv = std::vector<std::string>;

constexpr int kStartTimeoutMs = 10000;
constexpr int kRunTimeoutMs = 30000;  // a restore sends some 220 requests, 20 ms apart on a serial line

// A multiviewer served on a pty, addressed directly (no search).
class PtyMultiviewer {
public:
    explicit PtyMultiviewer(const std::string& name, const Argv& extra = {}) : sim_(argv(name, extra)) {
        if (const std::optional<std::string> pty = sim_.lineStartingWith("pty: ", kStartTimeoutMs))
            pty_ = *pty;
    }

    bool ready() const { return !pty_.empty(); }

    Child::Result ctl(Argv words) {
        words.insert(words.begin(), KVX_CTL_PATH);
        words.insert(words.end(), {"--serial", pty_, "--baud", "115200", "--device", "10.0.0.9"});
        Child ctl(words);
        return ctl.finish(kRunTimeoutMs);
    }

private:
    static Argv argv(const std::string& name, const Argv& extra) {
        Argv args{KVX_SIM_PATH, "--no-udp", "--serial", "--device", "a1:" + name};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    Child sim_;
    std::string pty_;
};

std::string tempFile(const std::string& name) {
    return testing::TempDir() + "kvx-" + std::to_string(::getpid()) + "-" + name + ".json";
}

Json stateIn(const std::string& file) {
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const std::optional<Json> json = kvx::parseJson(text, error);
    EXPECT_TRUE(json) << file << ": " << error;
    const Json* state = json ? json->member("state") : nullptr;
    return state ? *state : Json();
}

TEST(Backup, ASaveRestoredOntoAnotherMultiviewerLeavesTheTwoEqual) {
    PtyMultiviewer studio("Studio");
    PtyMultiviewer gallery("Gallery");
    ASSERT_TRUE(studio.ready() && gallery.ready());
    // The studio's settings differ from the factory's: windows, routes in switcher mode, a label, colours,
    // switches, audio and the output format.
    for (const Argv& change :
         {Argv{"mv", "layout", "90"}, Argv{"mv", "source", "7", "2"}, Argv{"mv", "umd-name", "3", "Cam 3"},
          Argv{"mv", "umd-on", "5", "off"}, Argv{"mv", "umd-text-colour", "4", "Red"},
          Argv{"mv", "format-back-colour", "9", "20"}, Argv{"mv", "timecode-text-colour", "16", "Cyan"},
          Argv{"mv", "border", "0"}, Argv{"mv", "audio-source", "5"}, Argv{"mv", "channel-pair", "2", "6"},
          Argv{"mv", "all-meters", "0"}, Argv{"mv", "output-format", "720p50"}, Argv{"mv", "work-mode", "1"},
          Argv{"mv", "source", "9", "1"}}) {
        ASSERT_EQ(studio.ctl(change).code, 0) << change[1];
    }
    const std::string studioFile = tempFile("studio");
    const std::string galleryFile = tempFile("gallery");
    const Child::Result saved = studio.ctl({"mv", "save", studioFile});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "saved " + studioFile + "\n");

    const Child::Result restored = gallery.ctl({"mv", "restore", studioFile});
    EXPECT_EQ(restored.code, 0) << restored.err;
    EXPECT_EQ(restored.out, "restored: all settings match\n");

    ASSERT_EQ(gallery.ctl({"mv", "save", galleryFile}).code, 0);
    const Json studioState = stateIn(studioFile);
    const Json galleryState = stateIn(galleryFile);
    for (const kvx::StateField& field : kvx::stateFields()) {
        const Json* studioValue = studioState.member(field.name);
        const Json* galleryValue = galleryState.member(field.name);
        ASSERT_TRUE(studioValue && galleryValue) << field.name;
        if (field.restored) {
            EXPECT_EQ(*studioValue, *galleryValue) << field.name;
        }
    }
    // The changes were made, and the names (not restored) stayed each device's own.
    EXPECT_EQ(*studioState.member("LayoutMode")->asNumber(), 90);
    EXPECT_EQ(*(*studioState.member("MatrixRoute")->asArray())[0].asNumber(), 9);
    EXPECT_EQ(*(*studioState.member("WindowSource")->asArray())[1].asNumber(), 7);
    EXPECT_EQ(*studioState.member("DeviceName")->asString(), "Studio");
    EXPECT_EQ(*galleryState.member("DeviceName")->asString(), "Gallery");
    std::remove(studioFile.c_str());
    std::remove(galleryFile.c_str());
}

TEST(Backup, ARestoreOntoADeviceThatIgnoresTheBorderReportsThatFieldAlone) {
    PtyMultiviewer source("Source");
    PtyMultiviewer faulty("Faulty", {"--ignore", "3f"});
    ASSERT_TRUE(source.ready() && faulty.ready());
    ASSERT_EQ(source.ctl({"mv", "border", "0"}).code, 0);
    ASSERT_EQ(source.ctl({"mv", "layout", "61"}).code, 0);
    const std::string file = tempFile("faulty");
    ASSERT_EQ(source.ctl({"mv", "save", file}).code, 0);

    const Child::Result restored = faulty.ctl({"mv", "restore", file});
    EXPECT_EQ(restored.code, 3) << restored.err;
    EXPECT_EQ(restored.out, "differs BorderOn: file 0, device 1\nrestored: 1 settings differ\n");

    const Child::Result json = faulty.ctl({"mv", "restore", file, "--json"});
    EXPECT_EQ(json.code, 3);
    std::string error;
    const std::optional<Json> document = kvx::parseJson(json.out, error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(*document->member("differences"),
              Json(Json::Array{Json(Json::Object{{"field", "BorderOn"}, {"file", 0}, {"device", 1}})}));
    EXPECT_EQ(*document->member("match"), Json(false));
    EXPECT_GT(*document->member("sent")->asNumber(), 200);
    std::remove(file.c_str());
}

TEST(Backup, AReadBackConfirmSeesAnIgnoredLabel) {
    PtyMultiviewer faulty("Faulty", {"--ignore", "1e"});
    ASSERT_TRUE(faulty.ready());
    const Child::Result result = faulty.ctl({"mv", "umd-name", "3", "Cam 3", "--confirm"});
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.err, "korvelux-ctl: the device reads back UmdName[3]=\"Umd_03\", not \"Cam 3\"\n");
}

struct BadFileCase {
    std::string content;
    std::string err;
};

class RestoreRefuses : public testing::TestWithParam<BadFileCase> {};

// A file that is no state file is refused before anything is sent.
TEST_P(RestoreRefuses, ABadFileBeforeAnyRequest) {
    const std::string file = tempFile("bad");
    std::ofstream(file) << GetParam().content;
    Child ctl({KVX_CTL_PATH, "mv", "restore", file, "--demo"});
    const Child::Result result = ctl.finish(kRunTimeoutMs);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "korvelux-ctl: " + file + ": " + GetParam().err + " (see korvelux-ctl --help)\n");
    std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RestoreRefuses,
    testing::Values(BadFileCase{"{\"format\": \"korvelux-multiviewer-state\", \"version\": 1}",
                                "the state file has no \"state\" object"},
                    BadFileCase{"not json", "unexpected character at byte 0"}));

}  // namespace ctl_backup_test
