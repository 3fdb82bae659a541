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

void printRouting(const MatrixRouting& model, const MatrixRoutingReply& reply) {
    for (int k = 1; k <= model.ports(); ++k)
        std::printf("Route[%d]=%u\n", k, model.StatusRoute[static_cast<size_t>(k - 1)]);
    std::printf("PanelLocked=%u\nDeviceDhcpOn=%u\n", reply.panelLocked, reply.dhcpOn);
    std::printf("DeviceName=%s\n", reply.name ? toUtf8(*reply.name).c_str() : "");
    if (model.kind().hasOutputFormat) {
        const std::string_view format = kMatrixOutputFormats[model.MatrixOutputFormat].text;
        std::printf("MatrixOutputFormat=%.*s\n", static_cast<int>(format.size()), format.data());
    }
}

void printBacklight(const MatrixRouting& model) {
    std::printf("BacklightTime=%s\nBacklightBrightness=%u\n", backlightTimeText(model.BacklightTime).c_str(),
                model.BacklightBrightness);
}

int runStatus(CtlSession& session, const MatrixTarget& found) {
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
    if (readback.routing.reply) {
        model.useRoutingReply(*readback.routing.reply);
        printRouting(model, *readback.routing.reply);
    }
    if (readback.backlight.reply) {
        model.useBacklightReply(*readback.backlight.reply);
        printBacklight(model);
    }
    std::fflush(stdout);
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

int runMatrix(const std::vector<std::string>& args) {
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
    if (status) return runStatus(session, found);
    refuseOn8x8(found.kind);
    return sendOnWorker(
        session, [&](DeviceLink& link) { return sendOutputFormat(link, found.target, position); },
        "MatrixOutputFormat=" + std::string(kMatrixOutputFormats[static_cast<size_t>(position)].text));
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
            "and BacklightBrightness in percent. The reads' own diagnostic lines come first.\n"
            "format TEXT: sets the output format of a 16x16 switcher (0x19) and prints 'sent\n"
            "MatrixOutputFormat=TEXT'; refused on an 8x8. TEXT is one of:") +
        formatList() +
        "Exit status: 0 read or sent, 1 no matrix switcher found or a reply missing (what came is printed),\n"
        "2 usage error, port or socket error.\n"
        "Options:\n" +
        kMatrixOptionsHelp;
    return {"matrix", "read a matrix switcher's routing and backlight, or set a 16x16's output format",
            help.c_str(), runMatrix};
}

}  // namespace kvx
