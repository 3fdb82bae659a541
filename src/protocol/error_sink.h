#pragma once

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

}  // namespace kvx
