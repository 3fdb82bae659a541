#include "multiviewer/ui/umd_page.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "controls/limit_edit.h"
#include "controls/shade_button_st.h"
#include "multiviewer/ui/panel_style.h"

namespace kvx {

namespace {

constexpr QPoint kAllUmdPlace{20, 14};
constexpr int kFirstLabelRowY = 84;
constexpr int kLabelRowPitch = 41;
constexpr int kRowHeight = 28;
constexpr int kEditWidth = 127;
constexpr int kEditOffset = 78;  // from the button's left edge to its edit's
constexpr int kLabelColumnX[] = {20, 265};
constexpr int kRowsPerColumn = 8;

// Input n's row: inputs 1 to 8 in the left column, 9 to 16 in the right one.
QPoint buttonPlace(int input) {
    const int i = input - 1;
    return QPoint(kLabelColumnX[i / kRowsPerColumn], kFirstLabelRowY + kLabelRowPitch * (i % kRowsPerColumn));
}
QRect editPlace(int input) {
    return QRect(buttonPlace(input) + QPoint(kEditOffset, 0), QSize(kEditWidth, kRowHeight));
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

CClass_16_view_umd::CClass_16_view_umd(const PageContext& context, QWidget* parent)
    : MultiviewerPage(context, kBackground, parent) {
    allUmdButton_ = makeBitmapButton(control::kAllUmdButton, kAllUmdPlace, kAllUmdOff);
    connect(allUmdButton_, &QPushButton::clicked, this, &CClass_16_view_umd::pressAllUmd);
    for (int n = 1; n <= kInputCount; ++n) {
        const auto k = static_cast<size_t>(n - 1);
        inputButtons_[k] =
            makeBitmapButton(control::umdInputButton(n), buttonPlace(n), inputBitmap(n, false));
        connect(inputButtons_[k], &QPushButton::clicked, this, [this, n] { pressInput(n); });
        auto* edit = new CLimitEdit(this);
        placer().place(edit, labelEdit(n), editPlace(n));
        colourLabelEdit(edit);
        edit->setTypedLimit(kTypedLimit);
        edit->installEventFilter(this);
        labels_[k] = edit;
    }
    refresh();
}

void CClass_16_view_umd::refresh() {
    for (size_t k = 0; k < labels_.size(); ++k)
        labels_[k]->setText(QString::fromStdU16String(state().UmdName[k]));
    // The switches too: after a whole-state re-read the buttons would otherwise show switches the device
    // no longer has, and a click would send the opposite of what the operator sees.
    showSwitches();
}

void CClass_16_view_umd::showSwitches() {
    showBitmap(allUmdButton_, state().AllUmdOn ? kAllUmdOn : kAllUmdOff);
    for (int n = 1; n <= kInputCount; ++n) {
        const auto k = static_cast<size_t>(n - 1);
        showBitmap(inputButtons_[k], inputBitmap(n, state().UmdOn[k] == 1));
    }
}

void CClass_16_view_umd::pressInput(int input) {
    if (input < 1 || input > kInputCount || state().PanelLocked) return;
    const auto k = static_cast<size_t>(input - 1);
    const uint8_t on = state().UmdOn[k] == 0 ? 1 : 0;
    showBitmap(inputButtons_[k], inputBitmap(input, on == 1));
    commands().setUmdOn(input, on);
}

void CClass_16_view_umd::pressAllUmd() {
    if (state().PanelLocked) return;
    const uint8_t on = state().AllUmdOn == 0 ? 1 : 0;
    showBitmap(allUmdButton_, on ? kAllUmdOn : kAllUmdOff);
    commands().setUmdOn(0, on);
}

void CClass_16_view_umd::commitLabel(int input) {
    if (input < 1 || input > kInputCount) return;
    const auto k = static_cast<size_t>(input - 1);
    if (state().PanelLocked) {
        // Nothing is stored or sent, and the edit shows the stored name again.
        labels_[k]->setText(QString::fromStdU16String(state().UmdName[k]));
        return;
    }
    state().UmdName[k] = labels_[k]->text().toStdU16String();
    commands().setUmdName(input);
}

int CClass_16_view_umd::inputOf(const QObject* edit) const {
    for (size_t k = 0; k < labels_.size(); ++k) {
        if (labels_[k] == edit) return static_cast<int>(k) + 1;
    }
    return 0;
}

bool CClass_16_view_umd::eventFilter(QObject* watched, QEvent* event) {
    const int input = inputOf(watched);
    if (input == 0) return MultiviewerPage::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            focusedLabel_ = input;
            break;
        case QEvent::FocusOut:
            // A context menu of the edit takes the focus only while it is open.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) commitLabel(input);
            break;
        case QEvent::KeyPress:
            if (isEnter(static_cast<QKeyEvent*>(event))) {
                commitLabel(input);
                return true;  // consumed: the focus stays in the edit
            }
            break;
        default:
            break;
    }
    return MultiviewerPage::eventFilter(watched, event);
}

void CClass_16_view_umd::mousePressEvent(QMouseEvent* event) {
    if (focusedLabel_ != 0) {
        setFocus(Qt::MouseFocusReason);  // the edit loses the focus and commits
        focusedLabel_ = 0;
    }
    event->accept();  // the background click goes no further
}

}  // namespace kvx
