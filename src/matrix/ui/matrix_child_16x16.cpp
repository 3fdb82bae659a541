#include "matrix/ui/matrix_child_16x16.h"

#include <QComboBox>
#include <QLabel>

#include "matrix/output_formats.h"
#include "resources/skin_table.h"

namespace kvx {

namespace {
std::vector<std::string_view> formatTexts() {
    std::vector<std::string_view> texts;
    for (const MatrixOutputFormatEntry& entry : kMatrixOutputFormats) texts.push_back(entry.text);
    return texts;
}
}  // namespace

const MatrixPanelLayout CClass_matrix_child_16x16::kLayout{
    .kind = kMatrix16x16,
    .background = 457,
    .firstInputId = 1158,
    .firstOutputId = 1174,
    .firstStatusId = 1082,
    .numberBitmap = [](int n) { return 457 + n; },
    .selectedBitmap = [](int n) { return 474 + n; },
    .applyId = 1190,
    .oneToAllId = 1192,
    .oneToOneId = 1193,
    .refreshId = 1191,
    .backlightListId = 1054,
    .trackbarId = 1195,
    .brightnessEditId = 1194,
    .refreshTimerName = "refresh timer 4",
    .resetBacklightTimeAtStart = false,
    .reportBrightnessRelease = false,
    .settingsLabelWidth = 200,
};

CClass_matrix_child_16x16::CClass_matrix_child_16x16(PanelContext& context, QWidget* parent)
    : MatrixPanel(context, kLayout, parent) {
    using namespace skin_rows;
    QLabel* formatLabel =
        makeLabel(kOutputFormatLabelId, QStringLiteral("OutputFormat"), settingsLabelBox(kOutputFormat));
    makeLabel(1197, QStringLiteral("BacklitTime"), settingsLabelBox(kBacklightTime));
    makeLabel(1198, QStringLiteral("Backlit Brightness"), settingsLabelBox(kBacklightBrightness));
    formatList_ = makeList(kOutputFormatListId, settingsControlBox(kOutputFormat, kListWidth), formatTexts());
    connect(formatList_, &QComboBox::activated, this, &CClass_matrix_child_16x16::chooseOutputFormat);

    const Target target = context.currentTarget();
    const bool formatAllowed = target.entry && target.entry->modelFlag != 0;
    formatLabel->setEnabled(formatAllowed);
    formatList_->setEnabled(formatAllowed);
    start();
}

void CClass_matrix_child_16x16::chooseOutputFormat(int position) {
    if (context_.panelLocked() || position < 0) {
        formatList_->setCurrentIndex(routing_.MatrixOutputFormat);  // back to the stored value
        return;
    }
    routing_.MatrixOutputFormat = static_cast<uint8_t>(position);
    postChange([&link = context_.link(), target = context_.currentTarget(), position] {
        sendOutputFormat(link, target, position);
    });
}

void CClass_matrix_child_16x16::showSettings() {
    formatList_->setCurrentIndex(routing_.MatrixOutputFormat);
    MatrixPanel::showSettings();
}

void CClass_matrix_child_16x16::statusRedrawn() {
    formatList_->setCurrentIndex(routing_.MatrixOutputFormat);
}

}  // namespace kvx
