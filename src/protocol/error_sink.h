#pragma once

#include <cstdio>
#include <string>

namespace kvx {

// Where the protocol layer reports the errors that the operator must see ("Please choose a device" and the
// like). The window turns them into message boxes; the command line prints them.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void showError(const std::string& text, const std::string& caption) = 0;
};

// Diagnostic lines ("readLen = %d \n" and the like) go to standard output, exactly as given, nowhere else.
void writeDiagnostic(const std::string& line);
// Sends them to another stream instead: korvelux-ctl --json keeps its standard output for the JSON document
// and writes them to stderr.
void sendDiagnosticsTo(std::FILE* out);

}  // namespace kvx
