#include "view/meter_painter.h"

#include "platform/qt/code_page.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstring>
#include <initializer_list>

namespace {

// The column between labels and values: trunc(W * 0.35), the product in double precision.
int ColumnX(int width) {
    return static_cast<int>(width * 0.35);
}

// A text's size in a font: its advance width and its line height.
QSize TextExtent(const QFontMetrics& metrics, const QString& text) {
    return {TextWidth(metrics, text), metrics.height()};
}

}  // namespace

// Every pixel is written once, with the same result as filling all white and drawing the
// panel over it.
void DrawBackgroundAndPanel(QPainter& painter, int width, int height, const PanelRect& panel) {
    const QRect client(0, 0, width, height);
    const QRect body(panel.Left, panel.Top, panel.Right - panel.Left, panel.Bottom - panel.Top);
    if (body.width() < PanelCornerSize || body.height() < PanelCornerSize || !client.contains(body)) {
        painter.fillRect(client, BackgroundColor);
    } else {
        painter.fillRect(0, 0, width, body.top(), BackgroundColor);
        painter.fillRect(0, body.bottom() + 1, width, height - body.bottom() - 1, BackgroundColor);
        painter.fillRect(0, body.top(), body.left(), body.height(), BackgroundColor);
        painter.fillRect(body.right() + 1, body.top(), width - body.right() - 1, body.height(), BackgroundColor);
        const int corner = PanelCornerSize / 2;  // the squares the rounded corners leave partly white
        painter.fillRect(body.left(), body.top(), corner, corner, BackgroundColor);
        painter.fillRect(body.right() + 1 - corner, body.top(), corner, corner, BackgroundColor);
        painter.fillRect(body.left(), body.bottom() + 1 - corner, corner, corner, BackgroundColor);
        painter.fillRect(body.right() + 1 - corner, body.bottom() + 1 - corner, corner, corner, BackgroundColor);
    }
    // Fill and outline share one colour, so the fill alone covers the outline's pixels
    // [Left, Right) x [Top, Bottom).
    painter.setPen(Qt::NoPen);
    painter.setBrush(PanelColor);
    painter.drawRoundedRect(body.normalized(), PanelCornerSize / 2, PanelCornerSize / 2, Qt::AbsoluteSize);
    painter.setBrush(Qt::NoBrush);
}

MeterLayout ComputeLayout(int width, int height, bool displayWarning) {
    MeterLayout layout{};
    layout.X = ColumnX(width);
    const int panelSpan = height - (PanelMargin + PanelBottomMargin);
    if (displayWarning) {
        layout.Y1 = PanelMargin + panelSpan / 5;
        layout.Y2 = height / 2;
    } else {
        layout.Y1 = PanelMargin + panelSpan / 3;
        layout.Y2 = PanelMargin + 2 * (panelSpan / 3);
    }
    layout.Panel = {PanelMargin, PanelMargin, width - PanelMargin, height - PanelBottomMargin};
    layout.FooterTop = height - FooterRise;
    return layout;
}

FitTargets ComputeFitTargets(int width) {
    // The label and the level keep the column gap plus twice the panel margin to the
    // client's edges.
    constexpr int margin = ColumnGap + 2 * PanelMargin;
    const int x = ColumnX(width);
    return {x - margin, width - x - margin, (7 * width) / 8};
}

namespace {

void FitFontToWidest(const QPaintDevice* device, FontSlot& slot, std::initializer_list<QString> texts, int target) {
    FitFontToWidth(device, slot, *texts.begin(), target);
    for (const QString& text : texts) {
        if (MeasureTextWidth(*slot, device, text) >= target)
            FitFontToWidth(device, slot, text, target);
    }
}

}  // namespace

void FitWallFonts(const QPaintDevice* device, int width, const WallTexts& texts, ViewFonts& fonts) {
    const FitTargets targets = ComputeFitTargets(width);
    FitFontToWidest(device, fonts.LabelFont, {texts.LevelLabel, texts.DoseLabel1, texts.DoseLabel2}, targets.Label);
    FitFontToWidest(device, fonts.LevelFont, {texts.LevelSample, texts.TimeSample}, targets.Level);
    FitFontToWidest(device, fonts.WarningFont, {texts.WarningSample, texts.DefaultBanner2}, targets.Warning);
}

// Where each text of a picture stands; the banner lines only when the banner is shown.
MeterPainter::PlacedTexts MeterPainter::PlaceTexts(const QPaintDevice* device, int width, int height,
                                                   const ViewFonts& fonts, const MeterPicture& picture) const {
    const MeterLayout layout = ComputeLayout(width, height, picture.DisplayWarning);
    PlacedTexts placed;

    const QFontMetrics label(*fonts.LabelFont, device);
    const QString& levelLabel = texts_.LevelLabel;
    const QString& doseLabel1 = texts_.DoseLabel1;
    const QString& doseLabel2 = texts_.DoseLabel2;
    const QSize levelLabelSize = TextExtent(label, levelLabel);
    const QSize doseLabel1Size = TextExtent(label, doseLabel1);
    const QSize doseLabel2Size = TextExtent(label, doseLabel2);
    const int labelRight = layout.X - ColumnGap;
    placed.Labels = {
        PlacedText{fonts.LabelFont.get(),
                   TextColor,
                   {labelRight - levelLabelSize.width(), layout.Y1 - levelLabelSize.height() / 2},
                   levelLabel},
        PlacedText{fonts.LabelFont.get(),
                   TextColor,
                   {labelRight - doseLabel1Size.width(), layout.Y2 - doseLabel1Size.height()},
                   doseLabel1},
        PlacedText{fonts.LabelFont.get(),
                   TextColor,
                   {labelRight - doseLabel2Size.width(), layout.Y2 - doseLabel1Size.height() + doseLabel2Size.height()},
                   doseLabel2},
    };

    const QFontMetrics level(*fonts.LevelFont, device);
    const QString levelText = WallTexts::LevelText(picture.LevelText);
    const QString doseText = texts_.TimeText(picture.DoseText);
    const int valueLeft = layout.X + ColumnGap;
    placed.Level = {fonts.LevelFont.get(),
                    TextColor,
                    {valueLeft, layout.Y1 - TextExtent(level, levelText).height() / 2},
                    levelText};
    placed.Dose = {
        fonts.LevelFont.get(), TextColor, {valueLeft, layout.Y2 - TextExtent(level, doseText).height() / 2}, doseText};

    // Centred on the client's middle, each text measured by itself.
    const auto centred = [&](const FontSlot& font, const QColor& colour, const QString& text, int top) {
        const QFontMetrics metrics(*font, device);
        return PlacedText{font.get(), colour, {width / 2 - TextExtent(metrics, text).width() / 2, top}, text};
    };
    if (picture.DisplayWarning) {
        const QFontMetrics warning(*fonts.WarningFont, device);
        const QString line1 = texts_.BannerLine(picture, 1);
        const QString line2 = texts_.BannerLine(picture, 2);
        placed.Banner = {
            centred(fonts.WarningFont, TextColor, line1, height - 3 * TextExtent(warning, line1).height()),
            centred(fonts.WarningFont, TextColor, line2, height - 2 * TextExtent(warning, line2).height()),
        };
    }
    placed.Footer = centred(fonts.FooterFont, PanelColor, FromCodePage(picture.FooterText), layout.FooterTop);
    return placed;
}

std::vector<QRect> MeterPainter::TextBoxes(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                                           const MeterPicture& picture) const {
    const PlacedTexts placed = PlaceTexts(device, width, height, fonts, picture);
    std::vector<QRect> boxes;
    const auto add = [&](const PlacedText& text) {
        boxes.emplace_back(text.TopLeft, TextExtent(QFontMetrics(*text.Font, device), text.Text));
    };
    for (const PlacedText& text : placed.Labels)
        add(text);
    add(placed.Level);
    add(placed.Dose);
    for (const PlacedText& text : placed.Banner)
        add(text);
    add(placed.Footer);
    return boxes;
}

void MeterPainter::Draw(QPainter& painter, int width, int height, const ViewFonts& fonts, const MeterPicture& picture) {
    DrawBackgroundAndPanel(painter, width, height, ComputeLayout(width, height, picture.DisplayWarning).Panel);
    const PlacedTexts placed = PlaceTexts(painter.device(), width, height, fonts, picture);
    const auto draw = [&](const PlacedText& text) {
        glyphs_.Draw(painter, *text.Font, text.Colour, text.TopLeft, text.Text);
    };
    for (const PlacedText& text : placed.Labels)
        draw(text);
    draw(placed.Level);
    draw(placed.Dose);
    for (const PlacedText& text : placed.Banner)
        draw(text);
    draw(placed.Footer);
    glyphs_.EndPicture();
}

QRegion MeterPainter::ChangedArea(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                                  const MeterPicture& shown, const MeterPicture& next) {
    const QRect client(0, 0, width, height);
    const bool sameBanner = shown.DisplayWarning == next.DisplayWarning &&
                            std::strcmp(shown.WarningLine1, next.WarningLine1) == 0 &&
                            std::strcmp(shown.WarningLine2, next.WarningLine2) == 0;
    if (!sameBanner)  // the rows move
        return client;
    const PlacedTexts before = PlaceTexts(device, width, height, fonts, shown);
    const PlacedTexts after = PlaceTexts(device, width, height, fonts, next);
    QRegion changed;
    const auto add = [&](const PlacedText& old, const PlacedText& now) {
        if (old.Text != now.Text) {
            changed += glyphs_.InkBounds(*old.Font, old.Colour, old.TopLeft, old.Text);
            changed += glyphs_.InkBounds(*now.Font, now.Colour, now.TopLeft, now.Text);
        }
    };
    add(before.Level, after.Level);
    add(before.Dose, after.Dose);
    add(before.Footer, after.Footer);
    return changed & client;
}
