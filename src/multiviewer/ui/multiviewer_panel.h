#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "controls/control_placer.h"
#include "multiviewer/multiviewer_commands.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/notification_receiver.h"
#include "multiviewer/page_updates.h"
#include "multiviewer/report_mailbox.h"
#include "multiviewer/report_sequencer.h"
#include "multiviewer/status_readback.h"
#include "multiviewer/ui/multiviewer_page.h"
#include "multiviewer/ui/panel_services.h"
#include "protocol/panel_context.h"

namespace kvx {

class CShadeButtonST;

// The multiviewer's panel (type 0xA1): six page buttons, the page area in which one page lives at a time,
// and the layout preview, which it paints itself from the model. At start it reads the device's state,
// shows page 5 in switcher mode and page 1 otherwise, and listens for the device's reports. Every exchange
// runs on the exchange worker; results and reports come back to this panel on the UI thread.
class CClass_child_main_dlg : public QWidget, public MultiviewerPanelServices, private PageUpdates {
    Q_OBJECT
public:
    static constexpr int kBackground = 137;
    static constexpr int kPageAreaId = 1014;
    static constexpr int kAnchorId = 1013;
    static constexpr QPoint kAnchor{5, 40};  // the preview's top-left corner, not scaled
    static constexpr QRect kPageArea{750, 105, 490, 420};
    static constexpr int kPageButtonY = 15;

    // The questions of a change between switcher mode (page 5) and the other pages.
    static constexpr const char* kLeaveMultiviewerQuestion =
        "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode last "
        "time. "
        "\nAre you sure? ";
    static constexpr const char* kLeaveSwitcherQuestion =
        "Exiting Switcher Mode will default the Matrix to one-to-one until you return to Switcher Mode. "
        "\nAre "
        "you sure? ";

    // Sets CurrentPage to 0 and runs the start sequence: read status, grid, geometry and colours, the first
    // page, the receiver.
    CClass_child_main_dlg(PanelContext& context, MultiviewerState& state, QWidget* parent = nullptr);
    // Stops and joins the receiver, then removes the page, before the panel's storage goes.
    ~CClass_child_main_dlg() override;

    // The page switcher: the mode question, the lock, the page's creation, SetWorkMode.
    void showPage(int page);

    // MultiviewerView.
    void repaintPreview() override;
    // MultiviewerPanelServices.
    void runExchange(std::function<void()> start) override;
    void finishExchange() override;
    void readDeviceState(std::function<void()> then) override { readStatus(std::move(then)); }

    MultiviewerPage* currentPage() const { return page_; }
    // A control of the panel (page buttons, page area, anchor) by id, or nullptr.
    QWidget* control(int id) const;
    QRect pageRect() const { return pageRect_; }
    QRect previewRect() const { return previewRect_; }
    MultiviewerCommands& commands() { return commands_; }
    // The start sequence has shown the first page and started the receiver (when it could).
    bool started() const { return started_; }
    bool receiverRunning() const { return receiver_ && receiver_->running(); }
    // A whole-state re-read (or another long exchange) is under way; reports wait for it.
    bool busy() const { return sequencer_ && sequencer_->busy(); }
    // Reports of the device that have arrived and wait to be applied: in the receiver's mailbox, or in the
    // panel for a re-read or a reload to end.
    size_t reportsWaiting() const {
        return (mailbox_ ? mailbox_->size() : 0) + (sequencer_ ? sequencer_->waiting() : 0);
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeControls();
    void showPage(int page, bool atStart);
    // Queues the read-back on the worker; then runs on the UI thread with the decoded model.
    void readStatus(std::function<void()> then);
    void applyStatus(const StatusReadback& readback);
    void openReceiver();
    // Hands what waits in the receiver's mailbox to the sequencer, in order.
    void takeReports();
    void reread(bool resetSelections);
    void sendFrame(Bytes frame, FrameRoute route, std::function<void(bool)> afterSend);
    void showButtonBitmap(int page, bool selected);

    // PageUpdates: the report handling's control updates go to the page shown, and only to it.
    void pageRefresh(int page) override;
    void listSelected(int controlId, int entry) override;
    void buttonBitmap(int controlId, int bitmap) override;
    void showMeterSwitch() override;

    PanelContext& context_;
    MultiviewerState& state_;
    ControlPlacer placer_;
    MultiviewerCommands commands_;
    std::map<int, CShadeButtonST*> pageButtons_;  // by page
    QRect pageRect_;
    QRect previewRect_;
    QPointer<MultiviewerPage> page_;
    int lastPage_ = kPageNone;  // drives the mode questions
    bool started_ = false;
    QPixmap background_;   // bitmap 137 stretched over the panel, made again when the size changes
    QImage previewImage_;  // the off-screen image the preview is composed in
    DeviceId device_{};
    std::unique_ptr<ReportSequencer> sequencer_;
    std::unique_ptr<ReportMailbox> mailbox_;  // outlives the receiver, which fills it
    std::unique_ptr<NotificationReceiver> receiver_;
};

}  // namespace kvx
