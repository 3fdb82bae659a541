// korvelux-ctl route: one routing text to a matrix switcher, built by the panels' routing model.
#include <strings.h>

#include <string>
#include <vector>

#include "matrix/matrix_exchange.h"
#include "matrix/routing.h"
#include "matrix_ctl_commands.h"
#include "matrix_target.h"

namespace kvx {

namespace {

using Words = std::vector<std::string>;

// What the words of route ask for.
struct RouteRequest {
    enum class Kind { Outputs, All, OneToOne };
    Kind kind = Kind::OneToOne;
    int input = 0;
    std::vector<int> outputs;  // Outputs: distinct, in the order given
};

std::vector<int> outputList(const std::string& text, int ports) {
    std::vector<int> outputs;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const int k = parseNumber(text.substr(start, comma - start), 1, ports, "output");
        for (int earlier : outputs) {
            if (earlier == k) throw UsageError("output " + std::to_string(k) + " is given twice");
        }
        outputs.push_back(k);
        if (comma == std::string::npos) return outputs;
        start = comma + 1;
    }
}

// The words checked for a switcher of `ports` inputs and outputs.
RouteRequest parseRoute(const Words& words, int ports) {
    RouteRequest request;
    if (words.size() == 1 && strcasecmp(words[0].c_str(), "one-to-one") == 0) return request;
    if (words.size() != 2) throw UsageError("route takes IN OUT[,OUT...], IN all, or one-to-one");
    request.input = parseNumber(words[0], 1, ports, "input");
    if (strcasecmp(words[1].c_str(), "all") == 0) {
        request.kind = RouteRequest::Kind::All;
    } else {
        request.kind = RouteRequest::Kind::Outputs;
        request.outputs = outputList(words[1], ports);
    }
    return request;
}

// The text the panel sends for the same presses: select the input, mark the outputs, apply; or one input to
// all outputs; or one-to-one.
std::string routingTextOf(const RouteRequest& request, const MatrixKind& kind) {
    MatrixRouting routing(kind);
    if (request.kind == RouteRequest::Kind::OneToOne) return routing.oneToOne().routingText.value();
    routing.selectInput(request.input);
    if (request.kind == RouteRequest::Kind::All) return routing.routeToAll().routingText.value();
    for (int k : request.outputs) routing.toggleOutput(k);
    return routing.apply().routingText.value();
}

int runRoute(const std::vector<std::string>& args, const OutputOptions& output) {
    MatrixOptions options;
    Words words;
    if (!parseMatrixArguments(args, routeCommand(), options, words)) return kExitOk;
    parseRoute(words, kindBeforeSearch(options).ports);

    CtlSession session(options.link);
    MatrixTarget found;
    if (const int result = findMatrix(session, options, found); result != kExitOk) return result;
    const std::string text = routingTextOf(parseRoute(words, found.kind.ports), found.kind);
    const int sent =
        sendOnWorker(session, [&](DeviceLink& link) { return sendRoutingText(link, found.target, text); });
    if (sent == kExitOk) printSent(output, {{kRoutingTextField, text}});
    return sent;
}

}  // namespace

CtlCommand routeCommand() {
    static const std::string help =
        std::string(
            "usage: korvelux-ctl route IN OUT[,OUT...] | IN all | one-to-one [--device ADDRESS [--type "
            "82|83]]\n"
            "                          [--serial PATH [--baud N]] [--demo]\n"
            "Sends a matrix switcher the routing text that its panel sends for the same choice and prints "
            "it\n"
            "as 'sent TEXT' (--json: {\"sent\": {\"routingText\": TEXT}}): input IN to the outputs listed\n"
            "(3 1,2,5 sends 3V1,2,5.), input IN to every output (3 all sends 3All.), or output k back to\n"
            "input k (one-to-one sends All#.). Inputs and outputs are 1 to 8 on an 8x8 switcher and 1 to 16\n"
            "on a 16x16; each output is listed once. Nothing is awaited.\n"
            "Exit status: 0 the text went out, 1 no matrix switcher found, 2 usage error, port or socket\n"
            "error.\n"
            "Options:\n") +
        kMatrixOptionsHelp;
    return {"route", "route a matrix switcher's input to outputs, to all outputs, or one-to-one",
            help.c_str(), runRoute};
}

}  // namespace kvx
