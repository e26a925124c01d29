#include "view/history_painter.h"

#include "platform/qt/code_page.h"
#include "res/ui_language.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// The figure font fits the widest of these in the panel, in the display language.
QStringList FigureSamples() {
    const auto tr = [](const char* source) { return QCoreApplication::translate("History", source); };
    const QString longShift = tr("%1h %2m");
    return {tr("LAeq so far: no A-weighted minutes"),
            WallNumbers(tr("No levels recorded in the last %1 h").arg(QStringLiteral("24.0"))),
            tr("Measured %1 of %2").arg(longShift.arg(23).arg(59), longShift.arg(25).arg(0)),
            tr("%1 min C-weighted, not judged").arg(1440),
            WallNumbers(tr("LEX,8h %1 dB(A), dose %2 %").arg(QStringLiteral("100.0"), QStringLiteral("3162.3")))};
}
constexpr int FigureLines = 4;
constexpr double ChartShare = 0.55;   // of the panel's inner height: the chart and its hour labels
constexpr int ScaleFontDivisor = 32;  // the scale font's height: the client's height / 32

int Padding(int width, int height) {
    return std::max(8, std::min(width, height) / 40);
}

int WidestFigureSample(const QFont& font, const QPaintDevice* device) {
    int widest = 0;
    for (const QString& sample : FigureSamples())
        widest = std::max(widest, MeasureTextWidth(font, device, sample));
    return widest;
}

bool FigureFontFits(const QFont& font, const QPaintDevice* device, int width, int lineHeight) {
    return WidestFigureSample(font, device) < width && QFontMetrics(font, device).height() <= lineHeight;
}

// The chart's texts from the wall's glyph cache, laid out as the view lays out its texts.
class GlyphText final : public ChartText {
public:
    explicit GlyphText(GlyphCache& glyphs) : glyphs_(glyphs) {}
    int Width(const QFontMetrics& metrics, const QString& text) override { return TextWidth(metrics, text); }
    void Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft,
              const QString& text) override {
        glyphs_.Draw(painter, font, colour, topLeft, text);
    }

private:
    GlyphCache& glyphs_;
};

}  // namespace

HistoryLayout ComputeHistoryLayout(const QPaintDevice* device, int width, int height, const QFont& scaleFont) {
    HistoryLayout layout;
    layout.Panel = ComputeLayout(width, height, false).Panel;
    const int pad = Padding(width, height);
    const QFontMetrics scale(scaleFont, device);
    const int labelWidth = TextWidth(scale, QString::fromLatin1(ChartScaleSample));
    const QRect inner(QPoint(layout.Panel.Left + pad, layout.Panel.Top + pad),
                      QPoint(layout.Panel.Right - 1 - pad, layout.Panel.Bottom - 1 - pad));
    const int chartArea = static_cast<int>(inner.height() * ChartShare);
    // Room for the scale's labels and the axis's name left of and above the chart, for the
    // criterion's right of it, and for the hour labels under it.
    layout.Chart =
        QRect(QPoint(inner.left() + labelWidth + pad / 2, inner.top() + scale.height() * 3 / 2),
              QPoint(inner.right() - labelWidth - pad / 2, inner.top() + chartArea - scale.height() - pad / 2));
    layout.Figures = QRect(QPoint(layout.Chart.left(), inner.top() + chartArea + pad / 2), inner.bottomRight());
    layout.LineHeight = std::max(0, layout.Figures.height() / FigureLines);
    return layout;
}

void FitHistoryFonts(const QPaintDevice* device, int width, int height, HistoryFonts& fonts) {
    const QSize size(width, height);
    if (fonts.FigureFont && fonts.ScaleFont && fonts.FittedFor == size && fonts.Language == DisplayLanguage())
        return;
    const int scaleHeight = height / ScaleFontDivisor / FontHeightStep * FontHeightStep;
    CreateViewFont(std::max(MinimumFontHeight, scaleHeight), fonts.ScaleFont);
    const HistoryLayout layout = ComputeHistoryLayout(device, width, height, *fonts.ScaleFont);
    const int target = layout.Figures.width();
    // Widths grow about in proportion to the height: start from the line's height, scaled
    // down to the width when too wide, then step down until the samples fit.
    int fontHeight = std::max(MinimumFontHeight, layout.LineHeight / FontHeightStep * FontHeightStep);
    CreateViewFont(fontHeight, fonts.FigureFont);
    const int widest = WidestFigureSample(*fonts.FigureFont, device);
    if (widest >= target && target > 0) {
        const long long scaled = static_cast<long long>(fontHeight) * target / widest;
        fontHeight = std::max<int>(MinimumFontHeight, static_cast<int>(scaled) / FontHeightStep * FontHeightStep);
        CreateViewFont(fontHeight, fonts.FigureFont);
    }
    while (fontHeight > MinimumFontHeight && !FigureFontFits(*fonts.FigureFont, device, target, layout.LineHeight)) {
        fontHeight -= FontHeightStep;
        CreateViewFont(fontHeight, fonts.FigureFont);
    }
    fonts.FittedFor = size;
    fonts.Language = DisplayLanguage();
}

void HistoryPainter::Draw(QPainter& painter, int width, int height, const QFont& footerFont, const HistoryFonts& fonts,
                          const HistoryPicture& picture) {
    const HistoryLayout layout = ComputeHistoryLayout(painter.device(), width, height, *fonts.ScaleFont);
    DrawBackgroundAndPanel(painter, width, height, layout.Panel);
    GlyphText text(glyphs_);
    DrawHistoryChart(painter, layout.Chart, *fonts.ScaleFont, picture, {GridColor, BarColor, TextColor, OtherBarColor},
                     text);
    DrawFigures(painter, layout, fonts, picture);
    if (!picture.Note.empty()) {  // across the top of the chart, where the scale leaves room
        const QString note = QCoreApplication::translate("History", picture.Note.c_str());
        const int noteWidth = TextWidth(QFontMetrics(*fonts.ScaleFont, painter.device()), note);
        glyphs_.Draw(painter, *fonts.ScaleFont, TextColor,
                     {layout.Chart.center().x() - noteWidth / 2, layout.Chart.top()}, note);
    }
    // The title where the meter picture has its footer, in the same font and colour, the
    // meter's address whole however long.
    const QFontMetrics titleMetrics(footerFont, painter.device());
    const QString title =
        FitMeterTitle(text, titleMetrics, width - 2 * PanelMargin, QCoreApplication::translate("History", HistoryTitle),
                      {}, FromCodePage(picture.Host));
    const int titleWidth = TextWidth(titleMetrics, title);
    glyphs_.Draw(painter, footerFont, PanelColor,
                 {width / 2 - titleWidth / 2, ComputeLayout(width, height, false).FooterTop}, title);
    glyphs_.EndPicture();
}

void HistoryPainter::DrawFigures(QPainter& painter, const HistoryLayout& layout, const HistoryFonts& fonts,
                                 const HistoryPicture& picture) {
    const QFontMetrics metrics(*fonts.FigureFont, painter.device());
    QPoint at(layout.Figures.left(), layout.Figures.top() + (layout.LineHeight - metrics.height()) / 2);
    for (const std::string& figure : picture.Figures) {
        glyphs_.Draw(painter, *fonts.FigureFont, TextColor, at, WallNumbers(QString::fromStdString(figure)));
        at.ry() += layout.LineHeight;
    }
    if (!picture.Reason.empty())
        glyphs_.Draw(painter, *fonts.ScaleFont, TextColor, at, QString::fromStdString(picture.Reason));
}
