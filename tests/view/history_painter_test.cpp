// The history picture drawn off screen and probed: one bar per recorded minute with gaps left
// empty, the dashed criterion line, the shifts' boundaries, the figures in large type, and
// fonts that fit at every size; the chart's labels, apart from each other on the wall's window
// and the report's days, and the meter's title with its address whole. (Its panel is the
// meter picture's, drawn by the same code.)
#include "view/history_painter.h"

#include "exposure/local_days.h"
#include "tests/support/case_name.h"
#include "tests/support/level_database.h"
#include "tests/support/time_zone.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace decimon::test;

namespace {

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC
constexpr int W = 800;
constexpr int H = 600;

int CountPixels(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour.rgb() & 0xffffff);
    return count;
}

class HistoryImage : public ::testing::Test {
protected:
    void SetUp() override {
        CreateViewFont(12, footerFont_);
        // Four hours at 88 dB with a gap of 48 minutes after the first 100, then four at 70.
        picture_ = MakeHistoryPicture(window_, "press",
                                      {true, "",
                                       Joined({SteadyMinutes("press", window_.From, 100, 88.0),
                                               SteadyMinutes("press", window_.From + 60 * 148, 92, 88.0),
                                               SteadyMinutes("press", window_.From + 60 * 240, 240, 70.0)})},
                                      ShiftWindow{{2025, 12, 2}, 0, {0, 480}, window_.From, window_.To});
    }

    QImage Draw(int width = W, int height = H) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::black);  // whatever was there before must be covered
        FitHistoryFonts(&image, width, height, fonts_);
        QPainter painter(&image);
        HistoryPainter().Draw(painter, width, height, *footerFont_, fonts_, picture_);
        return image;
    }
    HistoryLayout Layout() {
        const QImage device(1, 1, QImage::Format_RGB32);
        FitHistoryFonts(&device, W, H, fonts_);
        return ComputeHistoryLayout(&device, W, H, *fonts_.ScaleFont);
    }
    // The chart's column of the minute `index` minutes after the window's start.
    int MinuteX(const QRect& chart, int index) const {
        return chart.left() + (2 * index + 1) * chart.width() / (2 * window_.Minutes);
    }

    HistoryWindow window_ = HistoryWindowAt(Noon, 8.0);
    HistoryPicture picture_;
    HistoryFonts fonts_;
    FontSlot footerFont_;
};

TEST_F(HistoryImage, OneBarPerRecordedMinuteAndGapsLeftEmpty) {
    const QImage image = Draw();
    const QRect chart = Layout().Chart;
    const auto barHeight = [&](int index) {
        return CountPixels(image, QRect(MinuteX(chart, index), chart.top(), 1, chart.height()), BarColor);
    };
    const int loud = barHeight(50);
    const int quiet = barHeight(300);
    EXPECT_GT(quiet, 0);
    // 88 dB and 70 dB on a scale from 60 to 100: 28 and 10 of its 40 dB, less the grid lines.
    EXPECT_NEAR(loud, chart.height() * 28 / 40, chart.height() / 10);
    EXPECT_NEAR(quiet, chart.height() * 10 / 40, chart.height() / 10);
    EXPECT_EQ(barHeight(124), 0) << "the minute in the gap has a bar";
    EXPECT_GT(barHeight(150), 0);
}

TEST_F(HistoryImage, DashedLineAtTheCriterion) {
    const QImage image = Draw();
    const QRect chart = Layout().Chart;
    const int y = chart.bottom() + 1 - static_cast<int>(std::lround(chart.height() * 25.0 / 40.0));
    int dashes = 0;
    for (int x = chart.left() + 1; x <= chart.right(); ++x)
        dashes += image.pixelColor(x, y) == TextColor && image.pixelColor(x - 1, y) != TextColor;
    EXPECT_GT(dashes, 20) << "no dashed white line at 85 dB";
}

TEST_F(HistoryImage, ShiftBoundariesMarkedAcross) {
    picture_.Boundaries = {window_.From + 60 * 300};
    const QImage image = Draw();
    const QRect chart = Layout().Chart;
    const int x = chart.left() + 300 * chart.width() / window_.Minutes;
    EXPECT_GT(CountPixels(image, QRect(x, chart.top(), 1, chart.height()), TextColor), chart.height() * 9 / 10);
}

TEST_F(HistoryImage, FourLinesOfFiguresOrTheEmptyTextAlone) {
    const HistoryLayout layout = Layout();
    const auto whiteInLine = [&](const QImage& image, int line) {
        return CountPixels(image,
                           QRect(layout.Figures.left(), layout.Figures.top() + line * layout.LineHeight,
                                 layout.Figures.width(), layout.LineHeight),
                           TextColor);
    };
    const QImage figures = Draw();
    for (int line = 0; line < 4; ++line)
        EXPECT_GT(whiteInLine(figures, line), 200) << "line " << line;

    picture_ = MakeHistoryPicture(window_, "press", {});
    const QImage empty = Draw();
    EXPECT_GT(whiteInLine(empty, 0), 200);
    EXPECT_EQ(whiteInLine(empty, 1), 0);
    picture_ = MakeHistoryPicture(window_, "press", {false, "database is locked", {}});
    EXPECT_GT(whiteInLine(Draw(), 1), 20) << "the reason stands under the empty text";
}

class HistoryFontSizes : public ::testing::TestWithParam<QSize> {};

TEST_P(HistoryFontSizes, FiguresFitTheirLinesAndStayLarge) {
    const QSize size = GetParam();
    const QImage device(1, 1, QImage::Format_RGB32);
    HistoryFonts fonts;
    FitHistoryFonts(&device, size.width(), size.height(), fonts);
    const HistoryLayout layout = ComputeHistoryLayout(&device, size.width(), size.height(), *fonts.ScaleFont);
    for (const char* text : {"LAeq so far: no A-weighted minutes", "No levels recorded in the last 24.0 h"})
        EXPECT_LT(MeasureTextWidth(*fonts.FigureFont, &device, QString::fromLatin1(text)), layout.Figures.width())
            << text;
    EXPECT_LE(QFontMetrics(*fonts.FigureFont, &device).height(), layout.LineHeight);
    FontSlot label;  // the meter picture's labels, fitted to the same width
    CreateViewFont(32, label);
    FitFontToWidth(&device, label, WallTexts::Translated().LevelLabel, ComputeFitTargets(size.width()).Label);
    EXPECT_GT(FontHeight(fonts.FigureFont), FontHeight(label)) << "smaller than the meter picture's labels";
    const QFont* figure = fonts.FigureFont.get();
    FitHistoryFonts(&device, size.width(), size.height(), fonts);
    EXPECT_EQ(fonts.FigureFont.get(), figure) << "refitted for the same size";
}

INSTANTIATE_TEST_SUITE_P(Clients, HistoryFontSizes,
                         ::testing::Values(QSize(800, 600), QSize(1280, 800), QSize(1920, 1080), QSize(3840, 2160),
                                           QSize(1080, 1920)));

// The chart's labels as drawn: their texts and boxes.
class LabelBoxes final : public ChartText {
public:
    int Width(const QFontMetrics& metrics, const QString& text) override { return metrics.horizontalAdvance(text); }
    void Draw(QPainter& painter, const QFont& font, const QColor&, QPoint topLeft, const QString& text) override {
        const QFontMetrics metrics(font, painter.device());
        labels.push_back({text, QRect(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()))});
    }
    std::vector<std::pair<QString, QRect>> labels;
};

struct LabelCase {
    const char* name;
    std::function<HistoryPicture()> picture;
    int chartWidth;
    int chartHeight;
    const char* axis;
    std::vector<const char*> shown;  // labels among those drawn
};

class ChartLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ChartLabels, NeverOverlap) {
    const TimeZone zone(CentralEuropeanZone);
    const HistoryPicture picture = GetParam().picture();
    QImage image(1300, 500, QImage::Format_RGB32);
    QFont font;
    font.setPixelSize(16);
    LabelBoxes text;
    {
        QPainter painter(&image);
        DrawHistoryChart(painter, QRect(60, 40, GetParam().chartWidth, GetParam().chartHeight), font, picture,
                         {GridColor, BarColor, TextColor, OtherBarColor}, text);
    }
    int axisNames = 0;
    for (std::size_t a = 0; a < text.labels.size(); ++a) {
        axisNames += text.labels[a].first == GetParam().axis;
        for (std::size_t b = a + 1; b < text.labels.size(); ++b)
            EXPECT_FALSE(text.labels[a].second.intersects(text.labels[b].second))
                << text.labels[a].first.toStdString() << " and " << text.labels[b].first.toStdString();
    }
    EXPECT_EQ(axisNames, 1) << "the level axis names its unit and weighting";
    for (const char* label : GetParam().shown)
        EXPECT_TRUE(std::any_of(text.labels.begin(), text.labels.end(), [&](const auto& drawn) {
            return drawn.first == QString::fromLatin1(label);
        })) << label;
}

// A local day's chart, as the report draws it, with minutes at `levels` from its start.
HistoryPicture DayChart(LocalDate date, const std::vector<double>& levels, const char* weighting = "dBA") {
    HistoryWindow window{LocalDayStart(date), LocalDayStart(NextDate(date)), 0};
    window.Minutes = static_cast<int>((window.To - window.From) / 60);
    std::vector<MinuteRow> rows;
    for (std::size_t minute = 0; minute < levels.size(); ++minute)
        rows.push_back({"press", window.From + 60 * static_cast<std::int64_t>(minute), weighting, 60, 60.0,
                        levels[minute], levels[minute], levels[minute]});
    return MakeHistoryChart(window, "press", rows);
}

HistoryPicture WallShift() {
    return MakeHistoryPicture(HistoryWindowAt(Noon, 8.0), "press", {});
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ChartLabels,
    ::testing::Values(
        LabelCase{"WallShift", WallShift, 880, 300, "Leq, dB", {"60", "70", "80", "90", "100", "85", "12:00"}},
        LabelCase{"ReportDay",
                  [] {
                      return DayChart({2025, 11, 30}, {70.0, 88.0});
                  },
                  880,
                  300,
                  "Leq, dB(A)",
                  {"60", "00:00", "12:00"}},
        // 25 hours, 02:00 twice, labelled every second hour.
        LabelCase{"ClocksGoBack",
                  [] {
                      return DayChart({2025, 10, 26}, {70.0}, "dBC");
                  },
                  1100,
                  300,
                  "Leq, dB(C)",
                  {"00:00", "02:00", "04:00"}},
        // A scale from -100 to 250 dB on a low chart.
        LabelCase{"WideScale",
                  [] {
                      return DayChart({2025, 11, 30}, {-1.0e300, 1.0e300, 80.0});
                  },
                  880,
                  120,
                  "Leq, dB(A)",
                  {"-100", "0", "100", "200"}}),
    CaseName());

TEST(MeterTitle, CutsTheNameAndKeepsTheAddressWhole) {
    QImage image(1, 1, QImage::Format_RGB32);
    QFont font;
    font.setPixelSize(16);
    const QFontMetrics metrics(font, &image);
    PainterText text;
    const QString prefix = QString::fromLatin1("History of ");
    const QString name = QString::fromLatin1("Press hall north, the second line by the loading bay");
    const QString address = QString::fromLatin1("meter-17.plant.example.net");
    const QString full = prefix + name + " (" + address + ")";
    const int wide = metrics.horizontalAdvance(full);
    EXPECT_EQ(FitMeterTitle(text, metrics, wide, prefix, name, address), full);
    const QString cut = FitMeterTitle(text, metrics, wide / 2, prefix, name, address);
    EXPECT_TRUE(cut.startsWith(prefix + "P")) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith("... (" + address + ")")) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), wide / 2);
    EXPECT_EQ(FitMeterTitle(text, metrics, metrics.horizontalAdvance(prefix + address), prefix, name, address),
              prefix + address);
    EXPECT_EQ(FitMeterTitle(text, metrics, 10, prefix, name, address), address);
}

}  // namespace
