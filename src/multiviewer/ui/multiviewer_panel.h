#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>

#include "multiviewer/multiviewer_state.h"
#include "multiviewer/multiviewer_view.h"
#include "multiviewer/notification_receiver.h"
#include "multiviewer/page_updates.h"
#include "multiviewer/status_readback.h"
#include "protocol/panel_context.h"

namespace kvx {

// The multiviewer's panel. It reads the device's state when it starts, listens for the device's reports
// and keeps the model current. Until the pages exist it shows a text summary of the model.
class CClass_child_main_dlg : public QWidget, public MultiviewerView {
    Q_OBJECT
public:
    // Sets CurrentPage to 0 and runs the start sequence: read status, derive, then start the receiver.
    CClass_child_main_dlg(PanelContext& context, MultiviewerState& state, QWidget* parent = nullptr);
    // Stops and joins the receiver before the panel's storage goes.
    ~CClass_child_main_dlg() override;

    // MultiviewerView: redraws the summary from the model.
    void repaintPreview() override;

    // The summary as shown now.
    QString summaryText() const { return summary_->text(); }
    bool receiverRunning() const { return receiver_ && receiver_->running(); }

private:
    // Queues the read-back on the worker; then runs on the UI thread with the decoded model.
    void readStatus(std::function<void()> then);
    void applyStatus(const StatusReadback& readback);
    void openReceiver();
    void handleReport(const Bytes& datagram);
    QString describeModel() const;

    PanelContext& context_;
    MultiviewerState& state_;
    QLabel* summary_ = nullptr;
    NoPageUpdates pages_;  // report handling asks nothing of the pages until they exist
    DeviceId device_{};
    std::unique_ptr<NotificationReceiver> receiver_;
};

}  // namespace kvx
