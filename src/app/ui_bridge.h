#pragma once

#include <QObject>
#include <QPointer>

#include "protocol/error_sink.h"
#include "protocol/exchange_worker.h"

namespace kvx {

// Runs functions on the thread of a QObject (the UI thread for windows); a call for an object that has
// been destroyed meanwhile is dropped.
ResultDispatch dispatchTo(QObject* context);

// Errors reported by the exchange worker become message boxes on the UI thread.
class UiErrorSink : public ErrorSink {
public:
    explicit UiErrorSink(QObject* context) : context_(context) {}
    void showError(const std::string& text, const std::string& caption) override;

private:
    QPointer<QObject> context_;
};

}  // namespace kvx
