#include "multiviewer/ui/preview_painter.h"

#include <QPainter>
#include <array>
#include <charconv>
#include <string_view>

#include "multiviewer/geometry.h"
#include "multiviewer/layout_catalogue.h"
#include "multiviewer/preview_rules.h"
#include "protocol/panel_context.h"

namespace kvx {
namespace {

using namespace preview;

QColor qtColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A text as the painter takes it, without a copy: valid while the text it borrows lives.
QString borrowed(std::u16string_view text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                static_cast<qsizetype>(text.size()));
}

// The decimal text of a window number, kept in the object: valid until the next call.
class NumberText {
public:
    QString operator()(int number) {
        std::array<char, 12> ascii{};
        const auto end = std::to_chars(ascii.data(), ascii.data() + ascii.size(), number).ptr;
        const auto length = static_cast<size_t>(end - ascii.data());
        for (size_t i = 0; i < length; ++i) text_[i] = static_cast<char16_t>(ascii[i]);
        return borrowed(std::u16string_view(text_.data(), length));
    }

private:
    std::array<char16_t, 12> text_{};
};

// The 720 x 480 canvas on the painter: every value scaled by itself, x and widths by the horizontal
// resolution, y and heights by the vertical one. Text is placed by its top-left corner.
class Canvas {
public:
    Canvas(QPainter& painter, int dpiX, int dpiY)
        : painter_(painter), dpiX_(dpiX), dpiY_(dpiY), ascent_(painter.fontMetrics().ascent()) {}

    void fill(const Rect& r, const QColor& color) {
        if (r.width <= 0 || r.height <= 0) return;  // a window too small for its inside has none
        painter_.fillRect(QRect(x(r.x), y(r.y), x(r.width), y(r.height)), color);
    }

    void text(Point at, const QString& text, const QColor& color) {
        painter_.setPen(color);
        painter_.drawText(QPoint(x(at.x), y(at.y) + ascent_), text);
    }

    // On an opaque box of the background colour as large as the text's extent.
    void boxedText(Point at, const QString& text, const QColor& color, const QColor& back) {
        painter_.setBackground(back);
        painter_.setBackgroundMode(Qt::OpaqueMode);
        this->text(at, text, color);
        painter_.setBackgroundMode(Qt::TransparentMode);
    }

    // Filled with the green brush and outlined with a black one-pixel pen, like its two hands.
    void clockFace(const ClockFace& clock) {
        painter_.setPen(QPen(Qt::black, 1));
        painter_.setBrush(qtColor(kGreen));
        // The box's right and bottom edges lie outside the face; a one-pixel outline of a QRect covers its
        // width plus one.
        const int left = x(clock.left);
        const int top = y(clock.top);
        painter_.drawEllipse(QRect(left, top, x(clock.right) - left - 1, y(clock.bottom) - top - 1));
        const QPoint centre = at(clock.centre());
        painter_.drawLine(centre, at(clock.hourHand));
        painter_.drawLine(centre, at(clock.minuteHand));
    }

private:
    int x(int v) const { return scaleToDpi(v, dpiX_); }
    int y(int v) const { return scaleToDpi(v, dpiY_); }
    QPoint at(Point p) const { return QPoint(x(p.x), y(p.y)); }

    QPainter& painter_;
    int dpiX_;
    int dpiY_;
    int ascent_;
};

const QColor kGreenColour = qtColor(kGreen);
const QColor kInsideColour = qtColor(kWindowInside);

// W1 to W3: the frame, the dark inside and the number. The number has no box behind it.
void drawWindowBody(Canvas& canvas, NumberText& numberText, const Rect& drawn, const QColor& frame,
                    int number) {
    canvas.fill(drawn, frame);
    canvas.fill({drawn.x + kFrameWidth, drawn.y + kFrameWidth, drawn.width - 2 * kFrameWidth,
                 drawn.height - 2 * kFrameWidth},
                kInsideColour);
    canvas.text(numberPosition(drawn), numberText(number), kGreenColour);
}

// W4 to W6 with the elements of window `window` (1 to 16): its source's label, its meter, its format text.
void drawWindowElements(Canvas& canvas, const MultiviewerState& state, const ElementRule& rule,
                        const Rect& drawn, int window) {
    const auto w = static_cast<size_t>(window - 1);
    const WindowRgbArrays& rgb = state.WindowRgb;
    const uint8_t source = state.WindowSource[w];
    // A window that shows no valid input (0 before the first read-back) has no label to show.
    const bool validSource = source >= 1 && source <= kInputCount;
    if (state.AllUmdOn && validSource && state.UmdOn[source - 1u]) {
        const LabelPlacement label = placeLabel(rule, drawn, state.UmdName[source - 1u]);
        canvas.boxedText(label.at, borrowed(label.text), qtColor(rgb.umdText[w]), qtColor(rgb.umdBack[w]));
    }
    if (state.AllAudioMeterOn && state.AudioMeterOn[w]) canvas.fill(meterRect(rule, drawn), kGreenColour);
    if (state.FormatStatusOn) {
        canvas.boxedText(formatTextPosition(rule, drawn), borrowed(state.WindowFormatText[w]),
                         qtColor(rgb.formatText[w]), qtColor(rgb.formatBack[w]));
    }
}

void drawLayout(Canvas& canvas, const MultiviewerState& state, const LayoutEntry& layout) {
    NumberText numberText;
    const QColor frame = qtColor(state.BorderOn ? kGreen : kFrameNoBorder);
    for (int k = 1; k <= layout.windows; ++k) {
        const GeometryRecord& record = state.WindowGeometry[static_cast<size_t>(k - 1)];
        const Rect drawn = drawnRect(layout.code, k, record);
        drawWindowBody(canvas, numberText, drawn, frame, record.number);
        if (const auto rule = elementRule(layout.code, k)) {
            drawWindowElements(canvas, state, *rule, drawn, elementWindow(layout.code, k));
        }
    }
    const LayoutDecor decor = layoutDecor(layout.code);
    if (decor.clock) canvas.clockFace(*decor.clock);
    for (const Rect& bar : decor.bars) canvas.fill(bar, kGreenColour);
}

// Switcher mode: the sixteen outputs, green frames and the routed inputs, nothing else.
void drawSwitcherGrid(Canvas& canvas, const MultiviewerState& state) {
    NumberText numberText;
    for (const GeometryRecord& cell : state.SwitcherGeometry) {
        drawWindowBody(canvas, numberText, {cell.x, cell.y, cell.width, cell.height}, kGreenColour,
                       cell.number);
    }
}

}  // namespace

QSize previewSize(int dpiX, int dpiY) {
    return QSize(scaleToDpi(kCanvasWidth, dpiX), scaleToDpi(kCanvasHeight, dpiY));
}

void paintPreview(QPainter& painter, const MultiviewerState& state, int dpiX, int dpiY) {
    const QRect picture(QPoint(0, 0), previewSize(dpiX, dpiY));
    painter.save();
    painter.setClipRect(picture, Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.fillRect(picture, qtColor(kBackground));
    Canvas canvas(painter, dpiX, dpiY);
    if (state.CurrentPage == kPageMatrix) {
        drawSwitcherGrid(canvas, state);
    } else if (const LayoutEntry* layout = findLayout(state.LayoutMode)) {
        drawLayout(canvas, state, *layout);
    }
    painter.restore();
}

}  // namespace kvx
