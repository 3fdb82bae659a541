#include "matrix/ui/matrix_panel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include "controls/set_bitmap_resource.h"
#include "matrix/backlight_times.h"
#include "controls/shade_button_st.h"
#include "controls/window_keys.h"
#include "matrix/ui/matrix_panel_style.h"
#include "matrix/ui/release_trackbar.h"
#include "resources/skin_colors.h"
#include "resources/skin_fields.h"
#include "resources/skin_renderer.h"
#include "resources/skin_table.h"

namespace kvx {

namespace {

constexpr int kSettingsGap = 10;  // between a label and its control, and between the trackbar and its edit
constexpr int kBrightnessEditWidth = 80;
const char* const kBitmapProperty = "bitmap";

QRect rowControls(int background, std::string_view row) {
    const SkinRow* found = skinRow(background, row);
    return found ? found->controls : QRect();
}

// The left edges of count buttons of the given width spread evenly over a row box, first and last flush.
int pitchOf(const QRect& box, int count, int width) {
    return count > 1 ? (box.width() - width) / (count - 1) : 0;
}

}  // namespace

MatrixPanel::MatrixPanel(PanelContext& context, const MatrixPanelLayout& layout, QWidget* parent)
    : QWidget(parent), context_(context), routing_(layout.kind), layout_(layout) {
    const QSize size = skinBitmapSize(layout_.background);
    resize(scaled(QRect(QPoint(), size)).size());
    inputs_ = makeRow(skin_rows::kInput, layout_.firstInputId);
    outputs_ = makeRow(skin_rows::kOutput, layout_.firstOutputId);
    status_ = makeRow(skin_rows::kOutputStatus, layout_.firstStatusId);
    for (int n = 1; n <= routing_.ports(); ++n) {
        connect(inputs_[n - 1], &QPushButton::clicked, this, [this, n] { pressInput(n); });
        connect(outputs_[n - 1], &QPushButton::clicked, this, [this, n] { pressOutput(n); });
    }
    makeModeButtons();
    makeBacklightControls();
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QString::fromLatin1(layout_.refreshTimerName));
    refreshTimer_->setInterval(kRefreshMs);
    refreshTimer_->setSingleShot(true);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { showPicture(refreshButton_, kRefreshNormal); });
}

MatrixPanel::~MatrixPanel() = default;

QRect MatrixPanel::scaled(const QRect& design) const {
    return QRect(scaleToDpi(design.x(), context_.dpiX()), scaleToDpi(design.y(), context_.dpiY()),
                 scaleToDpi(design.width(), context_.dpiX()), scaleToDpi(design.height(), context_.dpiY()));
}

QWidget* MatrixPanel::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

int MatrixPanel::shownBitmap(const QWidget* button) {
    return button ? button->property(kBitmapProperty).toInt() : 0;
}

void MatrixPanel::showPicture(CShadeButtonST* button, int bitmap) {
    SetBitmapResource(*button, bitmap);
    button->setProperty(kBitmapProperty, bitmap);
}

// Picture buttons keep their bitmap's own size; only their places follow the screen's resolution.
CShadeButtonST* MatrixPanel::makeButton(int id, const QPoint& designPos, int bitmap) {
    auto* button = new CShadeButtonST(this);
    button->setObjectName(QString::number(id));
    button->setText(QStringLiteral("Button"));
    button->setGeometry(QRect(scaled(QRect(designPos, QSize())).topLeft(), skinBitmapSize(bitmap)));
    button->setFocusPolicy(Qt::ClickFocus);
    showPicture(button, bitmap);
    button->setDrawBorder(false);
    return button;
}

std::vector<CShadeButtonST*> MatrixPanel::makeRow(std::string_view row, int firstId) {
    const QRect box = rowControls(layout_.background, row);
    const QSize size = skinBitmapSize(layout_.numberBitmap(1));
    const int pitch = pitchOf(box, routing_.ports(), size.width());
    const int top = box.y() + (box.height() - size.height()) / 2;
    std::vector<CShadeButtonST*> buttons;
    for (int n = 1; n <= routing_.ports(); ++n) {
        const QPoint at(box.x() + (n - 1) * pitch, top);
        buttons.push_back(makeButton(firstId + n - 1, at, layout_.numberBitmap(n)));
    }
    return buttons;
}

// Apply, one input to all outputs, one-to-one and refresh, left to right.
void MatrixPanel::makeModeButtons() {
    const QRect box = rowControls(layout_.background, skin_rows::kModeButtons);
    const int width = skinBitmapSize(kRefreshNormal).width();
    const int pitch = pitchOf(box, 4, width);
    const int ids[] = {layout_.applyId, layout_.oneToAllId, layout_.oneToOneId};
    for (int i = 0; i < 3; ++i) {
        modeButtons_[i] = makeButton(ids[i], QPoint(box.x() + i * pitch, box.y()), kModeNormal[i]);
    }
    refreshButton_ = makeButton(layout_.refreshId, QPoint(box.x() + 3 * pitch, box.y()), kRefreshNormal);
    connect(modeButtons_[0], &QPushButton::clicked, this, &MatrixPanel::pressApply);
    connect(modeButtons_[1], &QPushButton::clicked, this, &MatrixPanel::pressOneToAll);
    connect(modeButtons_[2], &QPushButton::clicked, this, &MatrixPanel::pressOneToOne);
    connect(refreshButton_, &QPushButton::clicked, this, &MatrixPanel::pressRefresh);
}

void MatrixPanel::makeBacklightControls() {
    backlightList_ = makeList(layout_.backlightListId,
                              settingsControlBox(skin_rows::kBacklightTime, kListWidth),
                              {kBacklightTimeTexts.begin(), kBacklightTimeTexts.end()});
    connect(backlightList_, &QComboBox::activated, this, &MatrixPanel::chooseBacklightTime);

    const QRect row = settingsControlBox(skin_rows::kBacklightBrightness, 0);
    const int trackWidth = row.width() - kSettingsGap - kBrightnessEditWidth;
    trackbar_ = new ReleaseTrackbar(this);
    trackbar_->setObjectName(QString::number(layout_.trackbarId));
    trackbar_->setGeometry(scaled(QRect(row.x(), row.y(), trackWidth, row.height())));
    trackbar_->setRange(0, 100);
    trackbar_->setTickInterval(1);
    trackbar_->setTickPosition(QSlider::TicksBelow);
    skin::styleField(trackbar_, skin::kFieldText);
    connect(trackbar_, &QSlider::valueChanged, this, &MatrixPanel::moveBrightness);
    connect(trackbar_, &ReleaseTrackbar::releasedOver, this, &MatrixPanel::releaseBrightness);

    brightnessEdit_ = new QLineEdit(this);
    brightnessEdit_->setObjectName(QString::number(layout_.brightnessEditId));
    brightnessEdit_->setGeometry(
        scaled(QRect(row.x() + trackWidth + kSettingsGap, row.y(), kBrightnessEditWidth, row.height())));
    brightnessEdit_->setReadOnly(true);  // it only shows the trackbar's value
    skin::styleField(brightnessEdit_, skin::kFieldText);
    moveBrightness(trackbar_->value());
}

QRect MatrixPanel::settingsLabelBox(std::string_view row) const {
    const QRect box = rowControls(layout_.background, row);
    return QRect(box.x(), box.y(), layout_.settingsLabelWidth, box.height());
}

// The control part of a settings row, right of its label column; width 0 takes all of it.
QRect MatrixPanel::settingsControlBox(std::string_view row, int width) const {
    const QRect box = rowControls(layout_.background, row);
    const int indent = layout_.settingsLabelWidth > 0 ? layout_.settingsLabelWidth + kSettingsGap : 0;
    const int room = box.width() - indent;
    return QRect(box.x() + indent, box.y(), width > 0 ? std::min(width, room) : room, box.height());
}

QComboBox* MatrixPanel::makeList(int id, const QRect& design, const std::vector<std::string_view>& items) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::number(id));
    list->setGeometry(scaled(design));
    for (std::string_view item : items)
        list->addItem(QString::fromLatin1(item.data(), qsizetype(item.size())));
    skin::styleField(list, skin::kFieldText);
    return list;
}

QLabel* MatrixPanel::makeLabel(int id, const QString& text, const QRect& design) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::number(id));
    label->setGeometry(scaled(design));
    colourMatrixLabel(label);
    return label;
}

void MatrixPanel::showSettings() {
    backlightList_->setCurrentIndex(routing_.BacklightTime);
    trackbar_->setValue(routing_.BacklightBrightness);
    moveBrightness(trackbar_->value());
}

void MatrixPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), renderSkinBitmap(layout_.background));
}

void MatrixPanel::keyPressEvent(QKeyEvent* event) {
    if (!swallowEnterAndEscape(event)) QWidget::keyPressEvent(event);
}

}  // namespace kvx
