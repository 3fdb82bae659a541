#pragma once

#include <QImage>
#include <QWidget>

#include "controls/control_placer.h"
#include "multiviewer/multiviewer_commands.h"
#include "multiviewer/multiviewer_state.h"
#include "multiviewer/page_updates.h"

class QComboBox;

namespace kvx {

class CShadeButtonST;
class MultiviewerPanelServices;

// What a page is given when the panel creates it.
struct PageContext {
    MultiviewerState& state;
    MultiviewerCommands& commands;
    MultiviewerPanelServices& panel;
    int dpiX = 96;
    int dpiY = 96;
};

// One page of the multiviewer panel: a thin window over the model, created anew each time it is shown (so
// it starts from the model) and destroyed when another page is chosen. It draws its background bitmap
// stretched over itself, consumes Enter and Escape, and takes the control updates that the device's reports
// ask of the page shown: by default a list selects the entry (without running its change handler) and a
// bitmap button shows the bitmap; a page overrides what needs more.
class MultiviewerPage : public QWidget, public PageUpdates {
    Q_OBJECT
public:
    // Pages are 490 x 420 at 96 dpi.
    static constexpr QSize kDesignSize{490, 420};

    // The control with this id, or nullptr.
    QWidget* control(int id) const;

    // The page's refresh after the device's state was read again (the page's own Refresh operation).
    virtual void refresh() {}

    // PageUpdates.
    void pageRefresh(int page) override;
    void listSelected(int controlId, int entry) override;
    void buttonBitmap(int controlId, int bitmap) override;
    void showMeterSwitch() override {}

protected:
    MultiviewerPage(const PageContext& context, int background, QWidget* parent);

    MultiviewerState& state() { return context_.state; }
    MultiviewerCommands& commands() { return context_.commands; }
    MultiviewerPanelServices& panel() { return context_.panel; }
    const ControlPlacer& placer() const { return placer_; }

    // A list of the page in the panels' field colours.
    QComboBox* makeList(int id, const QRect& design, const QStringList& items);
    CShadeButtonST* makeBitmapButton(int id, const QPoint& designPos, int bitmap);
    // Selects an entry as the model holds it: the list's change handler does not run.
    static void showEntry(QComboBox* list, int entry);
    static void showBitmap(CShadeButtonST* button, int bitmap);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PageContext context_;
    ControlPlacer placer_;
    int background_;
};

// The texts of the input lists: "SDI_01" to "SDI_16", entry j meaning input j + 1.
QStringList inputListItems();

}  // namespace kvx
