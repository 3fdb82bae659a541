#include "multiviewer/ui/multiviewer_panel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "controls/message_boxes.h"
#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/report_handler.h"
#include "multiviewer/ui/page_catalogue.h"
#include "multiviewer/ui/preview_painter.h"
#include "protocol/error_sink.h"
#include "resources/skin_renderer.h"

namespace kvx {

namespace {

struct ReceiverSocket {
    std::unique_ptr<UdpSocket> socket;
    Clock* clock = nullptr;
};

}  // namespace

CClass_child_main_dlg::CClass_child_main_dlg(PanelContext& context, MultiviewerState& state, QWidget* parent)
    : QWidget(parent),
      context_(context),
      state_(state),
      placer_(this, context.dpiX(), context.dpiY()),
      commands_(
          &state, [&context] { return context.currentTarget(); },
          [this](Bytes frame, FrameRoute route, std::function<void(bool)> afterSend) {
              sendFrame(std::move(frame), route, std::move(afterSend));
          }) {
    setObjectName(QStringLiteral("multiviewerPanel"));
    commands_.setView(this);
    state_.CurrentPage = kPageNone;
    placeControls();
    readStatus([this] {
        buildSwitcherGeometry(state_);
        recomputeLayoutGeometry(state_);
        recomputeAllColours(state_);
        repaintPreview();
        showPage(state_.SwitcherMode ? kPageMatrix : kPageLayout, true);
        openReceiver();
    });
}

CClass_child_main_dlg::~CClass_child_main_dlg() {
    // The receiver's callback reaches this panel; it must have ended before the members go.
    if (receiver_) receiver_->stop();
    receiver_.reset();
    // The page uses the senders, which go with this panel's members, before the children are deleted.
    delete page_.data();
    commands_.setView(nullptr);
}

void CClass_child_main_dlg::placeControls() {
    for (const PageEntry& entry : pageCatalogue()) {
        CShadeButtonST* button =
            placer_.bitmapButton(entry.buttonId, QPoint(entry.buttonX, kPageButtonY), entry.normalBitmap);
        const int page = entry.page;
        connect(button, &QPushButton::clicked, this, [this, page] { showPage(page); });
        pageButtons_[page] = button;
    }
    auto* pageArea = new QWidget(this);
    placer_.place(pageArea, kPageAreaId, kPageArea);
    pageArea->lower();
    pageRect_ = pageArea->geometry();
    auto* anchor = new QWidget(this);
    anchor->setObjectName(QString::number(kAnchorId));
    anchor->setGeometry(QRect(kAnchor, QSize(1, 1)));
    previewRect_ = QRect(anchor->pos(), previewSize(context_.dpiX(), context_.dpiY()));
}

QWidget* CClass_child_main_dlg::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void CClass_child_main_dlg::showPage(int page) {
    showPage(page, false);
}

void CClass_child_main_dlg::showPage(int page, bool atStart) {
    const PageEntry* entry = findPage(page);
    if (!entry) return;
    if (lastPage_ != kPageNone) {
        const bool toSwitcher = page == kPageMatrix && lastPage_ != kPageMatrix;
        const bool fromSwitcher = page != kPageMatrix && lastPage_ == kPageMatrix;
        if (toSwitcher || fromSwitcher) {
            QPointer<CClass_child_main_dlg> guard(this);
            const bool ok = askWarning(
                this, QString::fromLatin1(toSwitcher ? kLeaveMultiviewerQuestion : kLeaveSwitcherQuestion));
            if (!guard || !ok) return;
        }
    }
    // While locked, one page change goes through after each read-back. The start's first page always
    // does: a panel without a page would leave the operator nothing to work with.
    if (state_.StatusLoaded) {
        state_.StatusLoaded = 0;
    } else if (state_.PanelLocked && !atStart) {
        return;
    }
    if (state_.CurrentPage == page) return;

    showButtonBitmap(state_.CurrentPage, false);
    if (page_) {
        page_->hide();
        delete page_.data();
    }
    const PageContext pageContext{state_, commands_, *this, context_.dpiX(), context_.dpiY()};
    page_ = entry->create(pageContext, this);
    showButtonBitmap(page, true);
    page_->setGeometry(pageRect_);
    page_->show();

    state_.CurrentPage = static_cast<uint8_t>(page);
    state_.SwitcherMode = page == kPageMatrix ? 1 : 0;
    lastPage_ = page;
    commands_.setWorkMode();
    // The preview shows the switcher grid on page 5 and the layout on every other page.
    repaintPreview();
}

void CClass_child_main_dlg::showButtonBitmap(int page, bool selected) {
    const PageEntry* entry = findPage(page);
    if (!entry) return;
    SetBitmapResource(*pageButtons_.at(page), selected ? entry->selectedBitmap : entry->normalBitmap);
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
    sequencer_ = std::make_unique<ReportSequencer>(
        device_, ReportSequencer::Steps{[this](const Bytes& datagram) {
                                            if (applyReport(datagram, device_, state_, *this).repaint)
                                                repaintPreview();
                                        },
                                        [this](bool reset) { reread(reset); }});
    mailbox_ = std::make_unique<ReportMailbox>(device_);
    PanelContext* context = &context_;
    QPointer<CClass_child_main_dlg> guard(this);
    context_.worker().request<ReceiverSocket>(
        [context, target] {
            DeviceLink& link = context->link();
            return ReceiverSocket{link.udp().openNotificationSocket(target.entry), &link.clock()};
        },
        [guard](ReceiverSocket opened) {
            if (!guard) return;
            guard->started_ = true;
            if (!opened.socket) {
                writeDiagnostic("create socket fail\n");
                return;
            }
            // Reports wait in the mailbox for the UI thread, where the model lives, which is woken once for
            // all that wait; a wake-up that comes after the panel has gone is dropped there.
            ResultDispatch dispatch = guard->context_.uiDispatch();
            ReportMailbox* mailbox = guard->mailbox_.get();
            guard->receiver_ = std::make_unique<NotificationReceiver>(
                std::move(opened.socket), guard->device_, *opened.clock,
                [guard, dispatch, mailbox](Bytes datagram) {
                    if (!mailbox->put(std::move(datagram))) return;
                    dispatch([guard] {
                        if (guard) guard->takeReports();
                    });
                });
        },
        context_.uiDispatch());
}

void CClass_child_main_dlg::takeReports() {
    for (PendingReport& report : mailbox_->takeAll()) sequencer_->arrive(std::move(report));
}

// Read the state, wait the time the device needs, then refresh the page shown and the derived data.
void CClass_child_main_dlg::reread(bool resetSelections) {
    readStatus([this, resetSelections] {
        QTimer::singleShot(kWholeStateWaitMs, this, [this, resetSelections] {
            afterWholeStateWait(state_, resetSelections, *this);
            repaintPreview();
            sequencer_->finish();
        });
    });
}

void CClass_child_main_dlg::sendFrame(Bytes frame, FrameRoute route, std::function<void(bool)> afterSend) {
    PanelContext* context = &context_;
    Target target = context_.currentTarget();
    // A datagram-only request goes over the LAN whatever the link choice.
    if (route == FrameRoute::DatagramOnly) target.link = kLinkLan;
    QPointer<CClass_child_main_dlg> guard(this);
    context_.worker().request<bool>(
        [context, target, frame = std::move(frame)] { return context->link().send(target, frame); },
        [guard, afterSend = std::move(afterSend)](bool sent) {
            if (guard) afterSend(sent);
        },
        context_.uiDispatch());
}

void CClass_child_main_dlg::runExchange(std::function<void()> start) {
    for (const auto& [page, button] : pageButtons_) button->setEnabled(false);
    if (sequencer_) {
        sequencer_->queueExchange(std::move(start));
    } else {
        start();
    }
}

void CClass_child_main_dlg::finishExchange() {
    for (const auto& [page, button] : pageButtons_) button->setEnabled(true);
    // The reports that waited go to the page shown; not now, since the page may be going away.
    QTimer::singleShot(0, this, [this] {
        if (sequencer_) sequencer_->finish();
    });
}

void CClass_child_main_dlg::repaintPreview() {
    update(previewRect_);
}

void CClass_child_main_dlg::resizeEvent(QResizeEvent* event) {
    background_ = QPixmap();
    QWidget::resizeEvent(event);
}

void CClass_child_main_dlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (background_.size() != size())
        background_ = QPixmap::fromImage(renderSkinBitmap(kBackground).scaled(size()));
    painter.drawPixmap(event->rect(), background_, event->rect());
    if (!event->rect().intersects(previewRect_)) return;
    // Composed off-screen and copied in one transfer, so a repaint never flickers.
    if (previewImage_.size() != previewRect_.size())
        previewImage_ = QImage(previewRect_.size(), QImage::Format_RGB32);
    {
        QPainter preview(&previewImage_);
        paintPreview(preview, state_, context_.dpiX(), context_.dpiY());
    }
    painter.drawImage(previewRect_.topLeft(), previewImage_);
}

void CClass_child_main_dlg::pageRefresh(int page) {
    if (page_) page_->pageRefresh(page);
}

void CClass_child_main_dlg::listSelected(int controlId, int entry) {
    if (page_) page_->listSelected(controlId, entry);
}

void CClass_child_main_dlg::buttonBitmap(int controlId, int bitmap) {
    if (page_) page_->buttonBitmap(controlId, bitmap);
}

void CClass_child_main_dlg::showMeterSwitch() {
    if (page_) page_->showMeterSwitch();
}

}  // namespace kvx
