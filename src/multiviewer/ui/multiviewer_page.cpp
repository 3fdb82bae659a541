#include "multiviewer/ui/multiviewer_page.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>

#include "controls/set_bitmap_resource.h"
#include "controls/shade_button_st.h"
#include "multiviewer/ui/panel_style.h"
#include "resources/skin_renderer.h"

namespace kvx {

MultiviewerPage::MultiviewerPage(const PageContext& context, int background, QWidget* parent)
    : QWidget(parent), context_(context), placer_(this, context.dpiX, context.dpiY), background_(background) {
    resize(placer_.scaled(QRect(QPoint(), kDesignSize)).size());
}

QWidget* MultiviewerPage::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void MultiviewerPage::pageRefresh(int) {
    refresh();
}

void MultiviewerPage::listSelected(int controlId, int entry) {
    if (auto* list = qobject_cast<QComboBox*>(control(controlId))) showEntry(list, entry);
}

void MultiviewerPage::buttonBitmap(int controlId, int bitmap) {
    if (auto* button = qobject_cast<CShadeButtonST*>(control(controlId))) showBitmap(button, bitmap);
}

QComboBox* MultiviewerPage::makeList(int id, const QRect& design, const QStringList& items) {
    QComboBox* list = placer_.list(id, design, items);
    colourPageField(list);
    return list;
}

CShadeButtonST* MultiviewerPage::makeBitmapButton(int id, const QPoint& designPos, int bitmap) {
    return placer_.bitmapButton(id, designPos, bitmap);
}

void MultiviewerPage::showEntry(QComboBox* list, int entry) {
    // A position outside the list leaves it without selection.
    list->setCurrentIndex(entry >= 0 && entry < list->count() ? entry : -1);
}

void MultiviewerPage::showBitmap(CShadeButtonST* button, int bitmap) {
    // Reports and refreshes set the same pictures again and again; setting one that is shown would only
    // rebuild its mask.
    if (shownBitmapResource(button) == bitmap) return;
    SetBitmapResource(*button, bitmap);
}

void MultiviewerPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), renderSkinBitmap(background_));
}

void MultiviewerPage::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();  // neither closes nor resets the page
        return;
    }
    QWidget::keyPressEvent(event);
}

QStringList inputListItems() {
    QStringList items;
    for (int input = 1; input <= kInputCount; ++input) items << QString::asprintf("SDI_%02d", input);
    return items;
}

}  // namespace kvx
