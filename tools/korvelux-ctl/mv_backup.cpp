// korvelux-ctl mv save and mv restore: any number of presets, kept as files.
#include "mv_backup.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "multiviewer/state_fields.h"
#include "multiviewer/state_json.h"
#include "multiviewer/state_restore.h"

namespace kvx {

namespace {

// The state file's settings; UsageError when the file cannot be read or is not a state file.
MultiviewerState readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw UsageError("cannot read " + file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    const std::optional<MultiviewerState> state = readStateFile(text, error);
    if (!state) throw UsageError(file + ": " + error);
    return *state;
}

// Every frame on the exchange worker, one after the other; false when one of them could not go out.
bool sendAll(CtlSession& session, const Target& target, const std::vector<Bytes>& frames) {
    return session.exchange<bool>([&session, &target, &frames] {
        DeviceLink link = deviceLinkOf(session);
        for (const Bytes& frame : frames) {
            if (!link.send(target, frame)) return false;
        }
        return true;
    });
}

void printDifferences(const std::string& file, size_t sent, const std::vector<FieldDifference>& differences,
                      const OutputOptions& output) {
    if (output.json) {
        Json::Array list;
        for (const FieldDifference& d : differences) {
            list.push_back(Json(Json::Object{{"field", d.field}, {"file", d.wanted}, {"device", d.found}}));
        }
        printJson(Json(Json::Object{{"restored", file},
                                    {"sent", sent},
                                    {"differences", std::move(list)},
                                    {"match", differences.empty()}}));
        return;
    }
    for (const FieldDifference& d : differences) {
        std::printf("differs %s: file %s, device %s\n", d.field.c_str(), jsonLiteral(d.wanted).c_str(),
                    jsonLiteral(d.found).c_str());
    }
    if (differences.empty()) {
        std::printf("restored: all settings match\n");
    } else {
        std::printf("restored: %zu settings differ\n", differences.size());
    }
    std::fflush(stdout);
}

}  // namespace

int runSave(const std::string& file, const MultiviewerOptions& options, const OutputOptions& output) {
    CtlSession session(options.link);
    Target target;
    if (const int found = findMultiviewer(session, options.device, target); found != kExitOk) return found;
    MultiviewerState state;
    if (const int read = readMultiviewerState(session, target, state); read != kExitOk) return read;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << writeJson(stateFileJson(state), true);
    out.close();
    if (!out) {
        std::fprintf(stderr, "korvelux-ctl: cannot write %s\n", file.c_str());
        return kExitError;
    }
    if (output.json) {
        printJson(Json(Json::Object{{"saved", file}, {"version", kStateFileVersion}}));
    } else {
        std::printf("saved %s\n", file.c_str());
        std::fflush(stdout);
    }
    return kExitOk;
}

int runRestore(const std::string& file, const MultiviewerOptions& options, const OutputOptions& output) {
    const MultiviewerState wanted = readFile(file);
    CtlSession session(options.link);
    Target target;
    if (const int found = findMultiviewer(session, options.device, target); found != kExitOk) return found;
    const std::vector<Bytes> frames = restoreFrames(wanted, target);
    if (!sendAll(session, target, frames)) {
        std::fprintf(stderr, "korvelux-ctl: the requests could not be sent\n");
        return kExitError;
    }
    MultiviewerState device;
    if (const int read = readMultiviewerState(session, target, device); read != kExitOk) return read;
    const std::vector<FieldDifference> differences = restoredDifferences(wanted, device);
    printDifferences(file, frames.size(), differences, output);
    return differences.empty() ? kExitOk : kExitDiffers;
}

}  // namespace kvx
