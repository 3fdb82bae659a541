// What the operator sees of the lists, fields and dialogs, checked on grabbed pixels: an open drop-down list
// has the colours of the closed one in every window, fields that cannot be used look so, the settings
// pop-up has an edge, and neither Enter nor Escape closes the About box.
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <map>

#include "app/about_dialog.h"
#include "app/ipv4_field.h"
#include "app/settings_dialog.h"
#include "matrix_panel_fixture.h"
#include "resources/skin_colors.h"

namespace kvx {
namespace app_lists_and_dialogs_test {

int distance(QColor a, QColor b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

QImage grabbed(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour most pixels of the area have.
QColor mostCommon(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first);
}

// Whether a pixel of the area is drawn in (about) the colour: the text of a list shows in its text colour.
bool shows(const QImage& image, const QRect& area, QColor colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (distance(QColor(image.pixel(x, y)), colour) <= 16) return true;
    return false;
}

class ListsAndDialogs : public MatrixPanelTest {
protected:
    // Opens the list, and checks an entry that is not the current one: the list's face and its text colour.
    void expectOpenListColours(QComboBox* list, QColor text) {
        ASSERT_NE(list, nullptr);
        ASSERT_GE(list->count(), 2);
        list->showPopup();
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(view->isVisible());
        const QImage shot = grabbed(view->viewport());
        const int other = list->currentIndex() == 0 ? 1 : 0;
        const QRect entry = view->visualRect(view->model()->index(other, 0)).intersected(shot.rect());
        list->hidePopup();
        ASSERT_FALSE(entry.isEmpty());
        EXPECT_EQ(mostCommon(shot, entry), skin::kField) << qPrintable(list->itemText(other));
        EXPECT_TRUE(shows(shot, entry, text)) << qPrintable(list->itemText(other));
        EXPECT_EQ(mostCommon(shot, shot.rect()), skin::kField) << "the whole open list";
    }
};

TEST_F(ListsAndDialogs, AnOpenListHasTheColoursOfItsWindow) {
    search();
    {
        SCOPED_TRACE("main window: white on RGB(58, 58, 58)");
        expectOpenListColours(window->deviceList(), Qt::white);
    }
    {
        SCOPED_TRACE("settings dialog: RGB(60, 180, 255) on RGB(58, 58, 58)");
        window->openSettings();
        expectOpenListColours(window->settingsDialog()->linkList(), skin::kFieldText);
    }
    auto& p = open<CClass_matrix_child_16x16>(k16x16);
    {
        SCOPED_TRACE("16x16 panel");
        expectOpenListColours(controlOf<QComboBox>(p, CClass_matrix_child_16x16::kOutputFormatListId),
                              skin::kFieldText);
        expectOpenListColours(controlOf<QComboBox>(p, p.layout().backlightListId), skin::kFieldText);
    }
}

// The 16x16 panel of a device without the model flag: its output format list cannot be used and shows it.
TEST_F(ListsAndDialogs, ADisabledListLooksDisabled) {
    auto& p = open<CClass_matrix_child_16x16>(k16x16NoModel);
    auto* format = controlOf<QComboBox>(p, CClass_matrix_child_16x16::kOutputFormatListId);
    auto* backlight = controlOf<QComboBox>(p, p.layout().backlightListId);
    ASSERT_FALSE(format->isEnabled());
    ASSERT_TRUE(backlight->isEnabled());
    const QImage enabled = grabbed(backlight);
    const QImage disabled = grabbed(format);
    EXPECT_TRUE(shows(enabled, enabled.rect(), skin::kFieldText));
    EXPECT_FALSE(shows(disabled, disabled.rect(), skin::kFieldText)) << "no text in the enabled colour";
    EXPECT_TRUE(shows(disabled, disabled.rect(), skin::kDisabledText));
}

TEST_F(ListsAndDialogs, ADisabledEmptyAddressFieldLooksDisabled) {
    window->openSettings();
    Ipv4Field* field = window->settingsDialog()->addressField();
    field->clear();
    field->setEnabled(true);
    const QImage enabled = grabbed(field);
    field->setEnabled(false);
    const QImage disabled = grabbed(field);
    const QPoint middle = field->rect().center();
    EXPECT_EQ(QColor(enabled.pixel(middle)), skin::kField);
    EXPECT_EQ(QColor(disabled.pixel(middle)), skin::kFace);
}

TEST_F(ListsAndDialogs, TheSettingsPopUpHasAnEdgeAllRound) {
    window->openSettings();
    QWidget* dialog = window->settingsDialog();
    const QImage shot = grabbed(dialog);
    const int w = shot.width();
    const int h = shot.height();
    const int edge = CClass_configure_argc_dlg::kEdgeWidth;
    // Every side, and the top right corner where the close button sits.
    for (int i = 0; i < edge; ++i) {
        for (QPoint at : {QPoint(i, h / 2), QPoint(w - 1 - i, h / 2), QPoint(w / 2, i),
                          QPoint(w / 2, h - 1 - i), QPoint(w - 1 - i, 10), QPoint(w - 10, i)}) {
            EXPECT_EQ(QColor(shot.pixel(at)), skin::kEdge) << at.x() << "," << at.y();
        }
    }
    EXPECT_EQ(QColor(shot.pixel(w / 2, h / 2)), skin::kFace) << "inside, the skin as it was";
}

TEST(AboutBox, EnterAndEscapeDoNotCloseItButOkDoes) {
    CAboutDlg about;
    about.show();
    auto* ok = about.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    for (QWidget* target : {static_cast<QWidget*>(&about), static_cast<QWidget*>(ok)}) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(about.isVisible()) << key;
        }
    }
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace app_lists_and_dialogs_test
}  // namespace kvx
