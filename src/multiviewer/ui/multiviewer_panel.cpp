#include "multiviewer/ui/multiviewer_panel.h"

#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/report_handler.h"
#include "protocol/error_sink.h"

namespace kvx {

namespace {

struct ReceiverSocket {
    std::unique_ptr<UdpSocket> socket;
    Clock* clock = nullptr;
};

QString fromU16(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CClass_child_main_dlg::CClass_child_main_dlg(PanelContext& context, MultiviewerState& state, QWidget* parent)
    : QWidget(parent), context_(context), state_(state) {
    setObjectName(QStringLiteral("multiviewerPanel"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(58, 58, 58));
    palette.setColor(QPalette::WindowText, QColor(60, 180, 255));
    setPalette(palette);
    summary_ = new QLabel(this);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);

    state_.CurrentPage = kPageNone;
    readStatus([this] {
        buildSwitcherGeometry(state_);
        recomputeLayoutGeometry(state_);
        recomputeAllColours(state_);
        repaintPreview();
        openReceiver();
    });
}

CClass_child_main_dlg::~CClass_child_main_dlg() {
    // The receiver's callback reaches this panel; it must have ended before the members go.
    if (receiver_) receiver_->stop();
    receiver_.reset();
}

void CClass_child_main_dlg::readStatus(std::function<void()> then) {
    PanelContext* context = &context_;
    const Target target = context_.currentTarget();
    QPointer<CClass_child_main_dlg> guard(this);
    context_.worker().request<StatusReadback>(
        [context, target] { return readStatusBlock(context->link(), target); },
        [guard, then = std::move(then)](StatusReadback readback) {
            if (!guard) return;
            guard->applyStatus(readback);
            then();
        },
        context_.uiDispatch());
}

void CClass_child_main_dlg::applyStatus(const StatusReadback& readback) {
    if (!applyReadback(readback, state_)) return;
    // The decode leaves the name box text and the lock bitmap to the window.
    context_.showNameBox(state_.DeviceName);
    context_.refreshLockButton();
}

void CClass_child_main_dlg::openReceiver() {
    const Target target = context_.currentTarget();
    if (target.entry) device_ = target.entry->deviceId;
    PanelContext* context = &context_;
    QPointer<CClass_child_main_dlg> guard(this);
    context_.worker().request<ReceiverSocket>(
        [context, target] {
            DeviceLink& link = context->link();
            return ReceiverSocket{link.udp().openNotificationSocket(target.entry), &link.clock()};
        },
        [guard](ReceiverSocket opened) {
            if (!guard) return;
            if (!opened.socket) {
                writeDiagnostic("create socket fail\n");
                return;
            }
            // Reports are handed to the UI thread, where the model lives; one arriving after the panel
            // has gone is dropped there.
            ResultDispatch dispatch = guard->context_.uiDispatch();
            guard->receiver_ = std::make_unique<NotificationReceiver>(
                std::move(opened.socket), guard->device_, *opened.clock, [guard, dispatch](Bytes datagram) {
                    dispatch([guard, datagram = std::move(datagram)] {
                        if (guard) guard->handleReport(datagram);
                    });
                });
        },
        context_.uiDispatch());
}

void CClass_child_main_dlg::handleReport(const Bytes& datagram) {
    const ReportOutcome outcome = applyReport(datagram, device_, state_, pages_);
    if (outcome.kind == ReportKind::WholeState) {
        const bool reset = outcome.resetSelections;
        readStatus([this, reset] {
            QTimer::singleShot(kWholeStateWaitMs, this, [this, reset] {
                afterWholeStateWait(state_, reset, pages_);
                repaintPreview();
            });
        });
        return;
    }
    if (outcome.repaint) repaintPreview();
}

void CClass_child_main_dlg::repaintPreview() {
    summary_->setText(describeModel());
}

QString CClass_child_main_dlg::describeModel() const {
    QString text = QStringLiteral("Device: %1\nLayoutMode: %2\nSwitcherMode: %3\n")
                       .arg(fromU16(state_.DeviceName))
                       .arg(state_.LayoutMode)
                       .arg(state_.SwitcherMode);
    for (int w = 0; w < kWindowCount; ++w) {
        text += QStringLiteral("Window %1: input %2, %3\n")
                    .arg(w + 1)
                    .arg(state_.WindowSource[w])
                    .arg(fromU16(state_.WindowFormatText[w]));
    }
    return text;
}

}  // namespace kvx
