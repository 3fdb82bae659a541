#pragma once

#include <QString>

namespace kvx {

// The program: parses the command line, makes the platform (the machine's own, or the demo's simulated
// devices), shows the main window and runs until it closes.
class CKORVELUX_16_VIEWApp {
public:
    struct Options {
        bool demo = false;
        QString autoSteps;  // see AutoScript
    };

    // Returns the process's exit status.
    static int run(int argc, char** argv);

private:
    static int runWindow(const Options& options);
};

}  // namespace kvx
