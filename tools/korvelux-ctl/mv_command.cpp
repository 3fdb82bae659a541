// korvelux-ctl mv: one request of the multiviewer's command set, sent by the panel's own senders.
#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ctl_session.h"
#include "multiviewer/multiviewer_commands.h"
#include "multiviewer_ctl_commands.h"
#include "multiviewer_target.h"
#include "mv_backup.h"
#include "mv_confirm.h"
#include "protocol/utf8_text.h"
#include "report_listener.h"

namespace kvx {

namespace {

using Words = std::vector<std::string>;

constexpr int kLastBackColour = 31;  // background colours have 5 bits; 16 to 31 have no palette entry
constexpr size_t kUmdNameMaxUnits = 16;

bool sameText(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

uint8_t number(const std::string& text, int first, int last, const char* what) {
    return static_cast<uint8_t>(parseNumber(text, first, last, what));
}

uint8_t onOff(const std::string& text) {
    if (sameText(text, "on")) return 1;
    if (sameText(text, "off")) return 0;
    return number(text, 0, 1, "switch");
}

uint8_t input(const std::string& text) {
    return number(text, 1, kInputCount, "input");
}
uint8_t window(const std::string& text) {
    return number(text, 1, kWindowCount, "window");
}
uint8_t index(const std::string& text) {
    return number(text, 0, kWindowCount, "index");
}

// A palette name ("Red") or a colour index.
uint8_t colour(const std::string& text, int last) {
    for (size_t c = 0; c < ColorIndex.size(); ++c) {
        if (sameText(text, ColorIndex[c].name)) return static_cast<uint8_t>(c);
    }
    return number(text, 0, last, "colour");
}

// A format text ("1080p50") or its code.
uint8_t outputFormat(const std::string& text) {
    for (const OutputFormatEntry& entry : OutputFormatCode) {
        if (sameText(text, entry.text)) return entry.code;
    }
    const uint8_t code = number(text, 0, 15, "output format");
    if (!outputFormatPosition(code)) throw UsageError("output format code " + text + " is not in the list");
    return code;
}

uint8_t umdSize(const std::string& text) {
    const char* sizes[] = {"Small", "Middle", "Large"};
    for (uint8_t s = 0; s < 3; ++s) {
        if (sameText(text, sizes[s])) return s;
    }
    return number(text, 0, 2, "UMD size");
}

std::u16string umdName(const std::string& text) {
    const std::optional<std::u16string> name = fromUtf8(text);
    if (!name) throw UsageError("the UMD name is not UTF-8");
    if (name->size() > kUmdNameMaxUnits) throw UsageError("a UMD name holds at most 16 characters");
    return *name;
}

// One request: its words after "mv", and what the page that sends it does around the sender.
struct MvAction {
    const char* name;
    const char* usage;  // the words it takes
    const char* summary;
    size_t words;
    void (*send)(MultiviewerCommands& commands, MultiviewerState& model, const Words& w);
};

const MvAction kActions[] = {
    {"load-default", "", "load the factory settings (0x0B)", 0,
     [](auto& c, auto&, const Words&) { c.loadDefault(); }},
    {"output-format", "FORMAT", "output format: a code or its text, such as 7 or 1080p60 (0x19)", 1,
     [](auto& c, auto& m, const Words& w) {
         m.OutputFormat = outputFormat(w[0]);
         c.setOutputFormat(m.OutputFormat);
     }},
    {"umd-name", "INPUT TEXT", "label text of an input, at most 16 characters (0x1E)", 2,
     [](auto& c, auto& m, const Words& w) {
         const uint8_t in = input(w[0]);
         m.UmdName[in - 1] = umdName(w[1]);
         c.setUmdName(in);
     }},
    {"layout", "CODE", "window layout: 1 to 16 one input full screen, 40 to 161 multi-window (0x33)", 1,
     [](auto& c, auto& m, const Words& w) {
         m.LayoutMode = number(w[0], 1, 255, "layout");
         c.setLayout(m.LayoutMode);
     }},
    {"source", "INPUT WINDOW", "show INPUT in WINDOW, or on output WINDOW in switcher mode (0x34)", 2,
     [](auto& c, auto&, const Words& w) { c.setSource(input(w[0]), window(w[1])); }},
    {"umd-on", "INPUT 0|1", "switch the label of an input (0x36)", 2,
     [](auto& c, auto&, const Words& w) { c.setUmdOn(input(w[0]), onOff(w[1])); }},
    {"all-umd", "0|1", "switch all labels (0x5C)", 1,
     [](auto& c, auto&, const Words& w) { c.setUmdOn(0, onOff(w[0])); }},
    {"meter", "WINDOW 0|1", "switch the audio meter of a window (0x37)", 2,
     [](auto& c, auto&, const Words& w) { c.setAudioMeterOn(window(w[0]) - 1, onOff(w[1])); }},
    {"all-meters", "0|1", "switch all audio meters (0x5B)", 1,
     [](auto& c, auto&, const Words& w) { c.setAudioMeterOn(mv::kAllMetersIndex, onOff(w[0])); }},
    {"audio-source", "WINDOW", "audio of a window, 0 for off (0x39)", 1,
     [](auto& c, auto& m, const Words& w) {
         m.AudioSourceWindow = number(w[0], 0, kWindowCount, "window");
         c.setAudioSource(m.AudioSourceWindow);
     }},
    {"umd-text-colour", "INDEX COLOUR", "label text colour of an input, index 0 all inputs (0x3B)", 2,
     [](auto& c, auto&, const Words& w) { c.setUmdTextColor(index(w[0]), colour(w[1], kPaletteSize - 1)); }},
    {"umd-back-colour", "INDEX COLOUR", "label background colour of an input, index 0 all inputs (0x3C)", 2,
     [](auto& c, auto&, const Words& w) { c.setUmdBackColor(index(w[0]), colour(w[1], kLastBackColour)); }},
    {"format-text-colour", "INDEX COLOUR", "format status text colour of a window, index 0 all (0x3D)", 2,
     [](auto& c, auto&, const Words& w) {
         c.setFormatTextColor(index(w[0]), colour(w[1], kPaletteSize - 1));
     }},
    {"format-back-colour", "INDEX COLOUR", "format status background colour of a window, index 0 all (0x3E)",
     2,
     [](auto& c, auto&, const Words& w) {
         c.setFormatBackColor(index(w[0]), colour(w[1], kLastBackColour));
     }},
    {"timecode-text-colour", "INDEX COLOUR", "time code text colour of a window, index 0 all (0x54)", 2,
     [](auto& c, auto&, const Words& w) {
         c.setTimecodeTextColor(index(w[0]), colour(w[1], kPaletteSize - 1));
     }},
    {"timecode-back-colour", "INDEX COLOUR", "time code background colour of a window, index 0 all (0x55)", 2,
     [](auto& c, auto&, const Words& w) {
         c.setTimecodeBackColor(index(w[0]), colour(w[1], kLastBackColour));
     }},
    {"border", "0|1", "switch the window borders (0x3F)", 1,
     [](auto& c, auto&, const Words& w) { c.setBorder(onOff(w[0])); }},
    {"channel-pair", "WINDOW PAIR", "embedded channel pair of a window, 0 (CH 01 & 02) to 7 (0x52)", 2,
     [](auto& c, auto&, const Words& w) { c.setAudioChannel(window(w[0]) - 1, number(w[1], 0, 7, "pair")); }},
    {"audio-alarm", "0|1", "switch the audio alarm (0x56)", 1,
     [](auto& c, auto&, const Words& w) { c.setAudioAlarm(onOff(w[0])); }},
    {"umd-size", "SIZE", "label size: 0 Small, 1 Middle, 2 Large (0x57)", 1,
     [](auto& c, auto&, const Words& w) { c.setUmdSize(umdSize(w[0])); }},
    {"preset", "save|load N", "save the state as custom preset N (1 or 2, 0x58), or load it (0x59)", 2,
     [](auto& c, auto&, const Words& w) {
         const uint8_t n = number(w[1], 1, 2, "preset");
         if (w[0] == "save") {
             c.sendPreset(mv::kSaveCustom, n);
         } else if (w[0] == "load") {
             c.sendPreset(mv::kLoadCustom, n);
         } else {
             throw UsageError("preset takes save or load, not '" + w[0] + "'");
         }
     }},
    {"reset-matrix", "", "route input k to output k in switcher mode (0x5A)", 0,
     [](auto& c, auto&, const Words&) { c.resetMatrix(); }},
    {"format-status", "0|1", "switch the format status display (0x5D)", 1,
     [](auto& c, auto&, const Words& w) { c.setFormatStatus(onOff(w[0])); }},
    {"timecode", "0|1", "switch the time code display (0x5E)", 1,
     [](auto& c, auto&, const Words& w) { c.setTimecode(onOff(w[0])); }},
    {"work-mode", "0|1", "0 multiviewer mode, 1 switcher mode (0x62)", 1,
     [](auto& c, auto& m, const Words& w) {
         m.SwitcherMode = onOff(w[0]);
         c.setWorkMode();
     }},
    {"dhcp", "0|1", "0 static address, 1 DHCP; always a UDP datagram, even with --serial (0x63)", 1,
     [](auto& c, auto& m, const Words& w) {
         m.DhcpToggle = onOff(w[0]);
         c.setDhcp();
     }},
};

const MvAction& actionNamed(const std::string& name) {
    for (const MvAction& action : kActions) {
        if (name == action.name) return action;
    }
    throw UsageError("unknown multiviewer command '" + name + "'");
}

FieldDifference compared(std::string field, Json wanted, Json found) {
    return {std::move(field), std::move(wanted), std::move(found)};
}

// The requests that the device does not report, and what their --confirm reads back instead.
struct ReadBackConfirm {
    const char* action;
    ReadBackCheck check;
};
const ReadBackConfirm kReadBackConfirms[] = {
    {"umd-name",
     [](const MultiviewerState& sent, const MultiviewerState& device, const Words& w) {
         const size_t in = input(w[0]) - 1u;
         return compared("UmdName[" + w[0] + "]", toUtf8(sent.UmdName[in]), toUtf8(device.UmdName[in]));
     }},
    {"work-mode",
     [](const MultiviewerState& sent, const MultiviewerState& device, const Words&) {
         return compared("SwitcherMode", sent.SwitcherMode, device.SwitcherMode);
     }},
    {"dhcp", [](const MultiviewerState& sent, const MultiviewerState& device,
                const Words&) { return compared("DeviceDhcpOn", sent.DhcpToggle, device.DeviceDhcpOn); }},
    {"reset-matrix",
     [](const MultiviewerState&, const MultiviewerState& device, const Words&) {
         Json::Array oneToOne;
         for (int k = 1; k <= kWindowCount; ++k) oneToOne.push_back(k);
         return compared("MatrixRoute", oneToOne,
                         Json::Array(device.MatrixRoute.begin(), device.MatrixRoute.end()));
     }},
};

ReadBackCheck readBackCheckOf(const MvAction& action) {
    for (const ReadBackConfirm& confirm : kReadBackConfirms) {
        if (std::string_view(confirm.action) == action.name) return confirm.check;
    }
    return nullptr;
}

// "sent" and the frame's bytes in hex, with the confirmation's line; or one JSON document of them.
void printRequest(const MvAction& action, const Bytes& frame, const std::optional<Confirmation>& confirmation,
                  const OutputOptions& output) {
    if (output.json) {
        Json document(Json::Object{{"command", action.name},
                                   {"code", frame[frame::kCommandOffset]},
                                   {"sent", Json::Array(frame.begin(), frame.end())}});
        if (confirmation) addConfirmation(*confirmation, document);
        printJson(document);
        return;
    }
    std::printf("sent");
    for (uint8_t b : frame) std::printf(" %02X", b);
    std::printf("\n");
    if (confirmation) printConfirmation(*confirmation);
    std::fflush(stdout);
}

// The options of mv besides those of every multiviewer command.
struct MvArguments {
    MultiviewerOptions options;
    bool confirm = false;
    Words words;
};

MvArguments parseMvArguments(const std::vector<std::string>& args, bool& help) {
    MvArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            help = true;
            return parsed;
        }
        if (args[i] == "--confirm") {
            parsed.confirm = true;
        } else if (args[i].starts_with("--")) {
            if (!takeMultiviewerOption(args, i, parsed.options))
                throw UsageError("unknown option '" + args[i] + "' for mv");
        } else {
            parsed.words.push_back(args[i]);
        }
    }
    return parsed;
}

// save FILE and restore FILE; none for any other words.
std::optional<int> runBackup(const MvArguments& mv, const OutputOptions& output) {
    const std::string& name = mv.words[0];
    if (name != "save" && name != "restore") return std::nullopt;
    if (mv.words.size() != 2) throw UsageError("mv " + name + " takes FILE");
    if (mv.confirm)
        throw UsageError("--confirm goes with a single request; mv " + name + " reads the state back");
    return name == "save" ? runSave(mv.words[1], mv.options, output)
                          : runRestore(mv.words[1], mv.options, output);
}

int runMv(const std::vector<std::string>& args, const OutputOptions& output) {
    bool help = false;
    MvArguments mv = parseMvArguments(args, help);
    if (help) {
        printCommandHelp(mvCommand());
        return kExitOk;
    }
    if (mv.words.empty()) throw UsageError("mv needs a multiviewer command");
    if (const std::optional<int> backup = runBackup(mv, output)) return *backup;
    const MvAction& action = actionNamed(mv.words[0]);
    Words words(mv.words.begin() + 1, mv.words.end());
    if (words.size() != action.words) {
        throw UsageError(std::string("mv ") + action.name + " takes " +
                         (action.words ? action.usage : "nothing"));
    }
    // The words are checked on a model of their own before the search and the request.
    {
        MultiviewerState scratch;
        std::vector<Bytes> checked;
        MultiviewerCommands noTransport(
            &scratch, {}, [&checked](Bytes frame, FrameRoute, auto) { checked.push_back(std::move(frame)); });
        action.send(noTransport, scratch, words);
        if (mv.confirm && !readBackCheckOf(action) && !checked.empty() && !isReported(checked.front())) {
            throw UsageError(std::string("mv ") + action.name + " " + (words.empty() ? "" : words[0] + " ") +
                             "cannot be confirmed: the device neither reports it nor reads it back");
        }
    }

    MultiviewerState model;
    Target target;
    std::vector<Bytes> frames;
    bool sent = false;
    std::optional<CtlSession> session;
    MultiviewerCommands commands(
        &model, [&target] { return target; },
        [&](Bytes frame, FrameRoute route, std::function<void(bool)> afterSend) {
            // SetDhcp goes out as a datagram whatever the link.
            const Target to = route == FrameRoute::DatagramOnly ? Target{kLinkLan, target.entry} : target;
            sent = session->exchange<bool>([&session, &to, &frame] {
                DeviceLink link = deviceLinkOf(*session);
                return link.send(to, frame);
            });
            frames.push_back(std::move(frame));
            afterSend(sent);
        });
    session.emplace(mv.options.link);
    if (const int found = findMultiviewer(*session, mv.options.device, target); found != kExitOk)
        return found;
    const ReadBackCheck readBack = mv.confirm ? readBackCheckOf(action) : nullptr;
    // Listening starts before the request goes out, so that its report cannot be missed. The mode tells a
    // source report's field.
    MultiviewerState before;
    std::optional<ReportListener> reports;
    if (mv.confirm && !readBack) {
        if (std::string_view(action.name) == "source") {
            if (const int read = readMultiviewerState(*session, target, before); read != kExitOk) return read;
        }
        reports.emplace(*session, target);
        if (!reports->listening()) return kExitError;
    }
    action.send(commands, model, words);
    if (frames.empty()) throw UsageError(std::string("mv ") + action.name + ": nothing to send");
    if (!sent) {
        std::fprintf(stderr, "korvelux-ctl: the request could not be sent\n");
        return kExitError;
    }
    std::optional<Confirmation> confirmation;
    if (reports) confirmation = confirmByReport(*reports, frames.front(), before.SwitcherMode != 0);
    if (readBack) confirmation = confirmByReadBack(*session, target, readBack, model, words);
    printRequest(action, frames.front(), confirmation, output);
    if (!confirmation || confirmation->confirmed) return kExitOk;
    std::fprintf(stderr, "korvelux-ctl: %s\n", confirmation->failure.c_str());
    return kExitDiffers;
}

}  // namespace

CtlCommand mvCommand() {
    static const std::string help = [] {
        std::string text =
            "usage: korvelux-ctl mv COMMAND [WORDS] [--confirm] [--device ADDRESS] [--serial PATH [--baud "
            "N]]\n"
            "                       [--demo]\n"
            "Sends one request of the multiviewer's command set, as the panel's senders build it, to the\n"
            "multiviewer and prints it as 'sent' and its bytes in hex (--json: {\"command\": NAME, \"code\": "
            "C,\n"
            "\"sent\": [bytes]}). Nothing is awaited unless --confirm is given. INPUT and WINDOW\n"
            "are 1 to 16; a switch is 0, 1, off or on; a COLOUR is a palette name (Black, Blue, Red, ...,\n"
            "HalfTrans) or an index, 0 to 15 for text colours and 0 to 31 for background colours.\n"
            "Commands:\n";
        for (const MvAction& action : kActions) {
            const std::string call = std::string(action.name) + (action.words ? " " : "") + action.usage;
            char line[160];
            std::snprintf(line, sizeof line, "  %-34s %s\n", call.c_str(), action.summary);
            text += line;
        }
        text += kBackupHelp;
        text +=
            std::string(
                "Exit status: 0 the request went out (and was confirmed, or restored with every setting\n"
                "matching), 1 no multiviewer found or no status reply, 2 usage error, unreadable or bad "
                "state\n"
                "file, port or socket error, 3 not confirmed, or settings that differ after a restore.\n"
                "Options:\n"
                "  --confirm       listen on UDP port 7001 and wait up to 1000 ms for the device's report "
                "of\n"
                "                  the change; print 'confirmed' and the report (--json: \"confirmed\": "
                "true,\n"
                "                  \"report\": {...}), or exit with 3 when none comes or it says otherwise.\n"
                "                  umd-name, work-mode, dhcp and reset-matrix, which the device does not "
                "report,\n"
                "                  are confirmed by reading the state back ('confirmed read-back "
                "FIELD=VALUE',\n"
                "                  \"readBack\": {\"field\", \"wanted\", \"found\"}); umd-size and preset "
                "save,\n"
                "                  which it neither reports nor reads back, refuse --confirm\n") +
            kDeviceOptionHelp + "  --help          show this text\n";
        return text;
    }();
    return {"mv", "send one multiviewer request (layout, source, labels, colours, audio, presets, ...)",
            help.c_str(), runMv};
}

}  // namespace kvx
