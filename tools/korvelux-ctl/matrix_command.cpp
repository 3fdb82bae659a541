// korvelux-ctl matrix: a matrix switcher's read-backs (status) and the 16x16's output format (format).
#include <cstdio>
#include <string>
#include <vector>

#include "matrix/matrix_exchange.h"
#include "matrix/output_formats.h"
#include "matrix/routing.h"
#include "matrix_ctl_commands.h"
#include "matrix_target.h"
#include "matrix_texts.h"
#include "multiviewer_target.h"
#include "protocol/utf8_text.h"

namespace kvx {

namespace {

using Words = std::vector<std::string>;

struct MatrixReadback {
    ReadOutcome<MatrixRoutingReply> routing;
    ReadOutcome<BacklightReply> backlight;
};

// The fields that the reads gave, in the order the text lines print them.
Json::Object routingFields(const MatrixRouting& model, const MatrixRoutingReply& reply) {
    Json::Array routes(model.StatusRoute.begin(), model.StatusRoute.begin() + model.ports());
    Json::Object fields{{"Route", std::move(routes)},
                        {"PanelLocked", reply.panelLocked},
                        {"DeviceDhcpOn", reply.dhcpOn},
                        {"DeviceName", reply.name ? toUtf8(*reply.name) : std::string()}};
    if (model.kind().hasOutputFormat)
        fields.emplace_back("MatrixOutputFormat",
                            std::string(kMatrixOutputFormats[model.MatrixOutputFormat].text));
    return fields;
}

Json::Object backlightFields(const MatrixRouting& model) {
    return {{"BacklightTime", backlightTimeText(model.BacklightTime)},
            {"BacklightBrightness", model.BacklightBrightness}};
}

// Route[k]=m for each output, then Name=value lines.
void printFields(const Json::Object& fields) {
    for (const auto& [name, value] : fields) {
        if (const Json::Array* routes = value.asArray()) {
            for (size_t k = 0; k < routes->size(); ++k)
                std::printf("%s[%zu]=%d\n", name.c_str(), k + 1, static_cast<int>(*(*routes)[k].asNumber()));
        } else if (const std::string* text = value.asString()) {
            std::printf("%s=%s\n", name.c_str(), text->c_str());
        } else {
            std::printf("%s=%d\n", name.c_str(), static_cast<int>(*value.asNumber()));
        }
    }
}

int runStatus(CtlSession& session, const MatrixTarget& found, const OutputOptions& output) {
    // Both reads in one job, as the panel reads them at its start and on refresh.
    const MatrixReadback readback = session.exchange<MatrixReadback>([&session, &found] {
        DeviceLink link = deviceLinkOf(session);
        MatrixReadback both;
        both.routing = readRouting(link, found.target, found.kind);
        both.backlight = readBacklight(link, found.target, found.kind);
        return both;
    });
    if (!readback.routing.exchanged || !readback.backlight.exchanged) {
        std::fprintf(stderr, "korvelux-ctl: the request could not be sent\n");
        return kExitError;
    }
    MatrixRouting model(found.kind);
    Json::Object fields;
    if (readback.routing.reply) {
        model.useRoutingReply(*readback.routing.reply);
        fields = routingFields(model, *readback.routing.reply);
    }
    if (readback.backlight.reply) {
        model.useBacklightReply(*readback.backlight.reply);
        for (auto& field : backlightFields(model)) fields.push_back(std::move(field));
    }
    if (output.json) {
        printJson(Json(std::move(fields)));
    } else {
        printFields(fields);
        std::fflush(stdout);
    }
    if (readback.routing.reply && readback.backlight.reply) return kExitOk;
    const char* missing = readback.routing.reply     ? "backlight"
                          : readback.backlight.reply ? "routing"
                                                     : "routing or backlight";
    std::fprintf(stderr, "korvelux-ctl: no %s reply\n", missing);
    return kExitNotFound;
}

void refuseOn8x8(const MatrixKind& kind) {
    if (!kind.hasOutputFormat) throw UsageError("an 8x8 matrix switcher has no output format");
}

int runMatrix(const std::vector<std::string>& args, const OutputOptions& output) {
    MatrixOptions options;
    Words words;
    if (!parseMatrixArguments(args, matrixCommand(), options, words)) return kExitOk;
    if (words.empty()) throw UsageError("matrix needs status or format");
    const bool status = words[0] == "status";
    if (status && words.size() != 1) throw UsageError("matrix status takes nothing");
    if (!status && words[0] != "format") throw UsageError("unknown matrix command '" + words[0] + "'");
    if (!status && words.size() != 2) throw UsageError("matrix format takes one format text");
    const int position = status ? 0 : parseMatrixOutputFormat(words[1]);
    if (!status) refuseOn8x8(kindBeforeSearch(options));

    CtlSession session(options.link);
    MatrixTarget found;
    if (const int result = findMatrix(session, options, found); result != kExitOk) return result;
    if (status) return runStatus(session, found, output);
    refuseOn8x8(found.kind);
    const int sent = sendOnWorker(
        session, [&](DeviceLink& link) { return sendOutputFormat(link, found.target, position); });
    if (sent == kExitOk)
        printSent(output, {{"MatrixOutputFormat",
                            std::string(kMatrixOutputFormats[static_cast<size_t>(position)].text)}});
    return sent;
}

std::string formatList() {
    std::string list;
    for (size_t position = 0; position < kMatrixOutputFormats.size(); ++position) {
        list += (position % 7 == 0 ? "\n    " : " ") + std::string(kMatrixOutputFormats[position].text);
    }
    return list + "\n";
}

}  // namespace

CtlCommand matrixCommand() {
    static const std::string help =
        std::string(
            "usage: korvelux-ctl matrix status | format TEXT [--device ADDRESS [--type 82|83]]\n"
            "                           [--serial PATH [--baud N]] [--demo]\n"
            "status: reads routing (0x53) and the backlight settings (0x50) of a matrix switcher, as its "
            "panel\n"
            "does, and prints Name=value lines: Route[k]=m for every output k (m the input it carries),\n"
            "PanelLocked, DeviceDhcpOn, DeviceName (empty when the device has none), on a 16x16 the\n"
            "MatrixOutputFormat as its list text (a code the list does not hold shows as 1080p60, as on\n"
            "the panel), BacklightTime as its list text (15s Dim, 60s Dim, 15s Off, 60s Off, Always On)\n"
            "and BacklightBrightness in percent. The reads' own diagnostic lines come first. With --json:\n"
            "one object of the same fields, Route an array of the inputs of output 1, 2, ...; the\n"
            "diagnostic lines then go to stderr.\n"
            "format TEXT: sets the output format of a 16x16 switcher (0x19) and prints 'sent\n"
            "MatrixOutputFormat=TEXT' (--json: {\"sent\": {\"MatrixOutputFormat\": TEXT}}); refused on an "
            "8x8.\n"
            "TEXT is one of:") +
        formatList() +
        "Exit status: 0 read or sent, 1 no matrix switcher found or a reply missing (what came is printed),\n"
        "2 usage error, port or socket error.\n"
        "Options:\n" +
        kMatrixOptionsHelp;
    return {"matrix", "read a matrix switcher's routing and backlight, or set a 16x16's output format",
            help.c_str(), runMatrix};
}

}  // namespace kvx
