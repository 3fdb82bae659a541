#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/matrix_exchange.h"
#include "matrix/routing.h"
#include "protocol/panel_context.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace kvx {

class CShadeButtonST;
class ReleaseTrackbar;

// What tells the two matrix panels apart: their skin, their control ids and the bitmaps of their numbers.
struct MatrixPanelLayout {
    MatrixKind kind;
    int background;    // stretched over the whole panel
    int firstInputId;  // inputs 1 to ports, outputs and status row likewise
    int firstOutputId;
    int firstStatusId;
    int (*numberBitmap)(int n);    // number n, normal
    int (*selectedBitmap)(int n);  // number n, selected or lit
    int applyId, oneToAllId, oneToOneId, refreshId;
    int backlightListId, trackbarId, brightnessEditId;
    const char* refreshTimerName;
    bool resetBacklightTimeAtStart;
    bool reportBrightnessRelease;  // "send data is %d \n" when the brightness goes out
    // Width of the label column at the left of the settings rows; 0 when the skin draws the labels.
    int settingsLabelWidth;
};

// The routing rows, mode buttons, refresh and backlight settings that both matrix switcher panels share.
// Every exchange runs on the exchange worker; its result comes back to this panel on the UI thread and is
// dropped when the panel is gone. The controls take the operator's clicks also while the panel's own reads
// are under way: what they send goes out after the read, and the read is then asked again.
class MatrixPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 2000;
    // Mode buttons by ModeHighlight value - 1 (apply, one input to all outputs, one-to-one), and refresh.
    static constexpr int kModeNormal[3] = {198, 194, 196};
    static constexpr int kModeHighlighted[3] = {199, 195, 197};
    static constexpr int kRefreshNormal = 451;
    static constexpr int kRefreshBusy = 450;
    static constexpr int kListWidth = 220;  // the drop-down lists of the settings rows

    ~MatrixPanel() override;

    const MatrixRouting& routing() const { return routing_; }
    const MatrixPanelLayout& layout() const { return layout_; }
    // The control with this id (its object name), or nullptr.
    QWidget* control(int id) const;
    // The bitmap a picture button of this panel shows, 0 for none.
    static int shownBitmap(const QWidget* button);

    // The operator's actions, as the controls trigger them.
    void pressInput(int n);
    void pressOutput(int k);
    void pressApply();
    void pressOneToAll();
    void pressOneToOne();
    void pressRefresh();
    void chooseBacklightTime(int position);

protected:
    MatrixPanel(PanelContext& context, const MatrixPanelLayout& layout, QWidget* parent);

    // The start sequence; the derived panel runs it once its own controls exist.
    void start();
    // Shows the stored settings in their controls (after the start's reads).
    virtual void showSettings();
    // After every status row redraw.
    virtual void statusRedrawn() {}
    // Queues a request that changes the device's settings.
    void postChange(std::function<void()> job);

    // v designed for 96 dpi at the screen's resolution.
    QRect scaled(const QRect& design) const;
    // Where a settings row's label and its control go (unscaled).
    QRect settingsLabelBox(std::string_view row) const;
    QRect settingsControlBox(std::string_view row, int width) const;
    QComboBox* makeList(int id, const QRect& design, const std::vector<std::string_view>& items);
    QLabel* makeLabel(int id, const QString& text, const QRect& design);

    PanelContext& context_;
    MatrixRouting routing_;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CShadeButtonST* makeButton(int id, const QPoint& designPos, int bitmap);
    std::vector<CShadeButtonST*> makeRow(std::string_view row, int firstId);
    void makeModeButtons();
    void makeBacklightControls();

    void showPicture(CShadeButtonST* button, int bitmap);
    void showUpdate(const RoutingUpdate& update);
    void showModeButton(int mode, bool highlighted);
    void redrawStatus();

    void requestRouting();
    void requestBacklight();
    void useRouting(const ReadOutcome<MatrixRoutingReply>& outcome);
    void sendRouting(const std::string& text);
    void moveBrightness(int position);
    void releaseBrightness(int position);
    // Whether a read asked when changesWhenAsked changes had been queued answers before one queued since.
    bool answersBeforeLaterChanges(unsigned changesWhenAsked) const;

    MatrixPanelLayout layout_;
    std::vector<CShadeButtonST*> inputs_;
    std::vector<CShadeButtonST*> outputs_;
    std::vector<CShadeButtonST*> status_;
    CShadeButtonST* modeButtons_[3] = {};  // by ModeHighlight value - 1
    CShadeButtonST* refreshButton_ = nullptr;
    QComboBox* backlightList_ = nullptr;
    ReleaseTrackbar* trackbar_ = nullptr;
    QLineEdit* brightnessEdit_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    unsigned changesQueued_ = 0;  // requests that change the device, queued so far
};

}  // namespace kvx
