#pragma once

#include <QPointer>

#include "controls/thread_inbox.h"
#include "protocol/error_sink.h"
#include "protocol/exchange_worker.h"

namespace kvx {

// Errors reported by the exchange worker become message boxes on the UI thread.
class UiErrorSink : public ErrorSink {
public:
    // Made on the context's thread.
    explicit UiErrorSink(QObject* context) : context_(context), dispatch_(dispatchTo(context)) {}
    void showError(const std::string& text, const std::string& caption) override;

private:
    QPointer<QObject> context_;
    ResultDispatch dispatch_;
};

}  // namespace kvx
