#include "multiviewer/ui/preset_reload.h"

#include <QPainter>
#include <QPointer>

#include "multiviewer/ui/panel_services.h"
#include "resources/skin_colors.h"

namespace kvx {

namespace {

constexpr int kCountdownMs = 100;
constexpr int kVeilAlpha = 200;
constexpr QSize kBoxSize{320, 118};

}  // namespace

PresetReload::PresetReload(MultiviewerPanelServices& panel, QWidget* page)
    : QWidget(page), panel_(panel), page_(page) {
    hide();
    wait_.setSingleShot(true);
    wait_.setTimerType(Qt::PreciseTimer);  // a coarse timer may end the device's 3000 ms up to 5% early
    connect(&wait_, &QTimer::timeout, this, &PresetReload::readBack);
    countdown_.setInterval(kCountdownMs);
    connect(&countdown_, &QTimer::timeout, this, [this] { update(box()); });
}

PresetReload::~PresetReload() {
    if (phase_ == Phase::Waiting || phase_ == Phase::ReadingBack) panel_.finishExchange();
}

void PresetReload::run(Steps steps) {
    if (running()) return;
    steps_ = std::move(steps);
    phase_ = Phase::Queued;
    page_->setEnabled(false);
    setGeometry(page_->rect());
    raise();
    show();
    QPointer<PresetReload> guard(this);
    MultiviewerPanelServices* panel = &panel_;
    panel_.runExchange([guard, panel] {
        if (guard) {
            guard->start();
        } else {
            panel->finishExchange();  // its page went away while it waited for its turn
        }
    });
}

void PresetReload::start() {
    phase_ = Phase::Waiting;
    if (steps_.send) steps_.send();
    deadline_.setRemainingTime(kWaitMs);
    wait_.start(kWaitMs);
    countdown_.start();
    update();
}

void PresetReload::readBack() {
    phase_ = Phase::ReadingBack;
    countdown_.stop();
    update();
    QPointer<PresetReload> guard(this);
    panel_.readDeviceState([guard] {
        if (guard) guard->finish();
    });
}

void PresetReload::finish() {
    if (steps_.finish) steps_.finish();
    phase_ = Phase::Idle;
    hide();
    page_->setEnabled(true);
    panel_.finishExchange();
}

QRect PresetReload::box() const {
    QRect box(QPoint(), kBoxSize);
    box.moveCenter(rect().center());
    return box;
}

QString PresetReload::statusText() const {
    switch (phase_) {
        case Phase::Queued:
            return tr("Waiting for the device's state to be read");
        case Phase::Waiting: {
            const qint64 leftMs = deadline_.remainingTime();
            return tr("The device is reloading: %1 s left").arg(double(leftMs) / 1000.0, 0, 'f', 1);
        }
        case Phase::ReadingBack:
            return tr("Reading the device's state");
        case Phase::Idle:
            break;
    }
    return {};
}

void PresetReload::paintEvent(QPaintEvent*) {
    using namespace skin;
    QPainter painter(this);
    QColor veil = kFace;
    veil.setAlpha(kVeilAlpha);
    painter.fillRect(rect(), veil);

    const QRect box = this->box();
    painter.setPen(kEdge);
    painter.setBrush(kStrip);
    painter.drawRoundedRect(box, 6, 6);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(kTitleText);
    const QRect text = box.adjusted(16, 12, -16, -12);
    painter.drawText(text, Qt::AlignTop | Qt::AlignHCenter, steps_.title);
    font.setBold(false);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(kFieldText);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignHCenter, statusText());

    // The progress of the device's wait, full once the state is being read.
    QRect bar(text.left(), text.bottom() - 12, text.width(), 12);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kField);
    painter.drawRect(bar);
    double done = 0;
    if (phase_ == Phase::Waiting) done = 1.0 - double(deadline_.remainingTime()) / kWaitMs;
    if (phase_ == Phase::ReadingBack) done = 1.0;
    bar.setWidth(int(bar.width() * done));
    painter.setBrush(kGreen);
    painter.drawRect(bar);
}

}  // namespace kvx
