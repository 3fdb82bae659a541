// The matrix panels' event handlers and exchanges. Every handler but the trackbar's does nothing while the
// panel is locked; every use of the links is a job on the exchange worker.
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "controls/shade_button_st.h"
#include "matrix/ui/matrix_panel.h"
#include "matrix/ui/release_trackbar.h"

namespace kvx {

void MatrixPanel::start() {
    if (layout_.resetBacklightTimeAtStart) routing_.BacklightTime = 0;
    requestRouting();
    requestBacklight();
}

void MatrixPanel::pressInput(int n) {
    if (!context_.panelLocked()) showUpdate(routing_.selectInput(n));
}

void MatrixPanel::pressOutput(int k) {
    if (!context_.panelLocked()) showUpdate(routing_.toggleOutput(k));
}

void MatrixPanel::pressApply() {
    if (!context_.panelLocked()) showUpdate(routing_.apply());
}

void MatrixPanel::pressOneToAll() {
    if (!context_.panelLocked()) showUpdate(routing_.routeToAll());
}

void MatrixPanel::pressOneToOne() {
    if (!context_.panelLocked()) showUpdate(routing_.oneToOne());
}

void MatrixPanel::pressRefresh() {
    if (context_.panelLocked()) return;
    showPicture(refreshButton_, kRefreshBusy);
    requestRouting();
    refreshTimer_->start();
}

void MatrixPanel::chooseBacklightTime(int position) {
    if (context_.panelLocked() || position < 0) {
        backlightList_->setCurrentIndex(routing_.BacklightTime);  // the list goes back to the stored value
        return;
    }
    routing_.BacklightTime = static_cast<uint8_t>(position);
    postChange([&link = context_.link(), target = context_.currentTarget(), position] {
        sendBacklightTime(link, target, static_cast<uint8_t>(position));
    });
}

// While the trackbar moves the brightness follows it, locked or not; nothing is sent.
void MatrixPanel::moveBrightness(int position) {
    routing_.BacklightBrightness = static_cast<uint8_t>(position);
    brightnessEdit_->setText(QString::asprintf("%d%%", position));
}

void MatrixPanel::releaseBrightness(int position) {
    routing_.BacklightBrightness = static_cast<uint8_t>(position);
    if (context_.panelLocked()) return;
    postChange([&link = context_.link(), target = context_.currentTarget(), position] {
        sendBacklightBrightness(link, target, static_cast<uint8_t>(position));
    });
    if (layout_.reportBrightnessRelease) writeBrightnessReleased(position);
}

void MatrixPanel::showModeButton(int mode, bool highlighted) {
    if (mode < kModeApply || mode > kModeOneToOne) return;
    const int i = mode - 1;
    showPicture(modeButtons_[i], highlighted ? kModeHighlighted[i] : kModeNormal[i]);
}

void MatrixPanel::showUpdate(const RoutingUpdate& update) {
    if (update.input) {
        if (update.input->normal)
            showPicture(inputs_[update.input->normal - 1], layout_.numberBitmap(update.input->normal));
        if (update.input->selected) {
            showPicture(inputs_[update.input->selected - 1], layout_.selectedBitmap(update.input->selected));
        }
    }
    if (update.mode) {
        showModeButton(update.mode->normal, false);
        showModeButton(update.mode->selected, true);
    }
    if (update.litOutputs) {
        for (int k = 1; k <= routing_.ports(); ++k) {
            const bool lit = update.litOutputs->test(static_cast<size_t>(k - 1));
            showPicture(outputs_[k - 1], lit ? layout_.selectedBitmap(k) : layout_.numberBitmap(k));
        }
    }
    if (update.routingText) sendRouting(*update.routingText);
}

// Output k shows the input it carries; a value the row cannot show leaves the button as it was.
void MatrixPanel::redrawStatus() {
    for (int k = 1; k <= routing_.ports(); ++k) {
        if (const auto m = routing_.statusInput(k)) showPicture(status_[k - 1], layout_.selectedBitmap(*m));
    }
    context_.refreshLockButton();
    statusRedrawn();
}

void MatrixPanel::sendRouting(const std::string& text) {
    ++changesQueued_;
    context_.worker().request<bool>(
        [&link = context_.link(), target = context_.currentTarget(), text] {
            return sendRoutingText(link, target, text);
        },
        [guard = QPointer<MatrixPanel>(this)](bool sent) {
            if (guard && sent) guard->redrawStatus();  // a text that did not go out redraws nothing
        },
        context_.uiDispatch());
}

void MatrixPanel::requestRouting() {
    context_.worker().request<ReadOutcome<MatrixRoutingReply>>(
        [&link = context_.link(), target = context_.currentTarget(), kind = layout_.kind] {
            return readRouting(link, target, kind);
        },
        [guard = QPointer<MatrixPanel>(this), changes = changesQueued_](ReadOutcome<MatrixRoutingReply> outcome) {
            if (!guard) return;
            if (guard->answersBeforeLaterChanges(changes)) return guard->requestRouting();
            guard->useRouting(outcome);
        },
        context_.uiDispatch());
}

void MatrixPanel::useRouting(const ReadOutcome<MatrixRoutingReply>& outcome) {
    if (!outcome.exchanged) return;  // nothing went out: nothing is redrawn
    if (const auto& reply = outcome.reply) {
        routing_.useRoutingReply(*reply);
        context_.setPanelLocked(reply->panelLocked != 0);
        context_.setDeviceDhcpOn(reply->dhcpOn);
        if (reply->name) context_.setDeviceName(*reply->name);
        context_.showNameBox(reply->name.value_or(std::u16string()));
    }
    redrawStatus();
}

// The start's second read; its values then show in the settings controls.
void MatrixPanel::requestBacklight() {
    context_.worker().request<ReadOutcome<BacklightReply>>(
        [&link = context_.link(), target = context_.currentTarget(), kind = layout_.kind] {
            return readBacklight(link, target, kind);
        },
        [guard = QPointer<MatrixPanel>(this), changes = changesQueued_](ReadOutcome<BacklightReply> outcome) {
            if (!guard) return;
            if (guard->answersBeforeLaterChanges(changes)) return guard->requestBacklight();
            if (outcome.reply) guard->routing_.useBacklightReply(*outcome.reply);
            guard->showSettings();
        },
        context_.uiDispatch());
}

// The operator's clicks are taken while a read is under way; what they send goes out after the read, whose
// answer then no longer tells what the device has. Such an answer is not shown: the read is asked again.
void MatrixPanel::postChange(std::function<void()> job) {
    ++changesQueued_;
    context_.worker().post(std::move(job));
}

bool MatrixPanel::answersBeforeLaterChanges(unsigned changesWhenAsked) const {
    return changesQueued_ != changesWhenAsked;
}

}  // namespace kvx
