#include "app/control_listing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "controls/button_st.h"
#include "controls/set_bitmap_resource.h"

namespace kvx {

namespace {

std::pair<QString, QString> kindAndValue(const QWidget* control) {
    if (qobject_cast<const CButtonST*>(control))
        return {QStringLiteral("button"), QString::number(shownBitmapResource(control))};
    if (const auto* radio = qobject_cast<const QRadioButton*>(control))
        return {QStringLiteral("radio"), radio->isChecked() ? QStringLiteral("1") : QStringLiteral("0")};
    if (const auto* push = qobject_cast<const QPushButton*>(control))
        return {QStringLiteral("push"), push->text()};
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return {QStringLiteral("list"), QString::number(list->currentIndex())};
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return {QStringLiteral("edit"), edit->text()};
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return {QStringLiteral("static"), label->text()};
    return {QStringLiteral("static"), QString()};
}

}  // namespace

QStringList describeControls(const QWidget* window) {
    std::vector<std::pair<int, const QWidget*>> controls;
    for (const QObject* child : window->children()) {
        bool numbered = false;
        const int id = child->objectName().toInt(&numbered);
        if (const auto* widget = qobject_cast<const QWidget*>(child); widget && numbered)
            controls.emplace_back(id, widget);
    }
    std::stable_sort(controls.begin(), controls.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList lines;
    for (const auto& [id, control] : controls) {
        const auto [kind, value] = kindAndValue(control);
        lines << QStringLiteral("%1\t%2\t%3\t%4\t%5")
                     .arg(id)
                     .arg(kind, control->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"),
                          control->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                          value);
    }
    return lines;
}

}  // namespace kvx
