// How long the layout preview takes to paint layout 160 with every overlay on, at 96 and 144 dpi, against
// a bare QPainter drawing of the same rectangles and texts, timed in the same run.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <functional>

#include "bench/bench_table.h"
#include "multiviewer/derived_data.h"
#include "multiviewer/geometry.h"
#include "multiviewer/preview_rules.h"
#include "multiviewer/ui/preview_painter.h"

namespace kvx::bench {
namespace {

constexpr int kPaintsPerBatch = 400;
constexpr int kBatches = 7;

MultiviewerState everyOverlayOn() {
    MultiviewerState s;
    s.LayoutMode = 160;
    s.AllUmdOn = 1;
    s.AllAudioMeterOn = 1;
    s.FormatStatusOn = 1;
    s.BorderOn = 1;
    for (size_t w = 0; w < kWindowCount; ++w) {
        s.WindowSource[w] = static_cast<uint8_t>(w + 1);
        s.UmdOn[w] = 1;
        s.AudioMeterOn[w] = 1;
        s.UmdName[w] = asciiText(("Camera " + std::to_string(w + 1)).c_str());
        s.UmdTextColor[w] = 7;
        s.UmdBackColor[w] = static_cast<uint8_t>(w % 8);
        s.FormatTextColor[w] = 6;
        s.FormatBackColor[w] = 1;
        s.WindowSignal[w] = {1, 31};
    }
    recomputeLayoutGeometry(s);
    recomputeAllColours(s);
    return s;
}

QColor colourOf(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The same picture as a plain list of fills and texts, worked out beforehand.
struct BareDrawing {
    struct Fill {
        QRect rect;
        QColor colour;
    };
    struct Text {
        QPoint at;
        QString text;
        QColor colour;
        QColor back;  // invalid: transparent
    };
    QSize size;
    std::vector<Fill> fills;
    std::vector<Text> texts;

    void draw(QPainter& painter) const {
        for (const Fill& fill : fills) painter.fillRect(fill.rect, fill.colour);
        for (const Text& text : texts) {
            painter.setBackgroundMode(text.back.isValid() ? Qt::OpaqueMode : Qt::TransparentMode);
            if (text.back.isValid()) painter.setBackground(text.back);
            painter.setPen(text.colour);
            painter.drawText(QRect(text.at, QSize(1000, 100)), Qt::AlignLeft | Qt::AlignTop, text.text);
        }
    }
};

BareDrawing bareDrawing(const MultiviewerState& s, int dpi) {
    const auto scale = [dpi](int v) { return v * dpi / 96; };
    const auto rect = [&](const preview::Rect& r) {
        return QRect(scale(r.x), scale(r.y), scale(r.width), scale(r.height));
    };
    const auto point = [&](preview::Point p) { return QPoint(scale(p.x), scale(p.y)); };
    BareDrawing bare;
    bare.size = previewSize(dpi, dpi);
    bare.fills.push_back({QRect(QPoint(), bare.size), colourOf(preview::kBackground)});
    for (int k = 1; k <= 16; ++k) {
        const auto i = static_cast<size_t>(k - 1);
        const preview::Rect drawn = preview::drawnRect(s.LayoutMode, k, s.WindowGeometry[i]);
        const preview::ElementRule rule = *preview::elementRule(s.LayoutMode, k);
        bare.fills.push_back({rect(drawn), colourOf(preview::kGreen)});
        bare.fills.push_back({rect({drawn.x + 2, drawn.y + 2, drawn.width - 4, drawn.height - 4}),
                              colourOf(preview::kWindowInside)});
        bare.fills.push_back({rect(preview::meterRect(rule, drawn)), colourOf(preview::kGreen)});
        bare.texts.push_back(
            {point(preview::numberPosition(drawn)), QString::number(k), colourOf(preview::kGreen), {}});
        const preview::LabelPlacement label = preview::placeLabel(rule, drawn, s.UmdName[i]);
        bare.texts.push_back({point(label.at), QString::fromStdU16String(label.text),
                              colourOf(s.WindowRgb.umdText[i]), colourOf(s.WindowRgb.umdBack[i])});
        bare.texts.push_back({point(preview::formatTextPosition(rule, drawn)),
                              QString::fromStdU16String(s.WindowFormatText[i]),
                              colourOf(s.WindowRgb.formatText[i]), colourOf(s.WindowRgb.formatBack[i])});
    }
    return bare;
}

// The median time of one paint, in ms, over several batches.
double medianPaintMs(QImage& image, const std::function<void(QPainter&)>& paint) {
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const auto start = Clock::now();
        for (int i = 0; i < kPaintsPerBatch; ++i) {
            QPainter painter(&image);
            paint(painter);
        }
        batches.push_back(msSince(start) / kPaintsPerBatch);
    }
    return percentile(batches, 0.5);
}

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
    using namespace kvx::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const kvx::MultiviewerState state = everyOverlayOn();
    for (const int dpi : {96, 144}) {
        QImage image(kvx::previewSize(dpi, dpi), QImage::Format_RGB32);
        const BareDrawing bare = bareDrawing(state, dpi);
        // Alternated, so that both see the same machine.
        double preview = 0;
        double plain = 0;
        for (int round = 0; round < 3; ++round) {
            preview += medianPaintMs(image, [&](QPainter& p) { kvx::paintPreview(p, state, dpi, dpi); });
            plain += medianPaintMs(image, [&](QPainter& p) { bare.draw(p); });
        }
        row("preview paint, layout 160, every overlay on, " + std::to_string(dpi) + " dpi",
            format("%.3f ms", preview / 3) + format(" (%.2f x a bare QPainter drawing", preview / plain) +
                format(" of %.3f ms)", plain / 3));
    }
    return 0;
}
