// The meter and history pictures in every language at the wall's three sizes: each text in its
// panel (the footer under it), none over another; the numbers with the language's decimal sign.
#include "config/settings_store.h"
#include "res/ui_language.h"
#include "tests/support/level_database.h"
#include "view/history_painter.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace decimon::test;

namespace {

class WallLanguages : public ::testing::TestWithParam<std::tuple<const char*, QSize>> {
protected:
    void SetUp() override { ApplyDisplayLanguage(std::get<0>(GetParam())); }
    void TearDown() override { ApplyDisplayLanguage("en"); }
    const QSize size_ = std::get<1>(GetParam());
    const QImage device_{1, 1, QImage::Format_RGB32};
};

TEST_P(WallLanguages, MeterTextsStayInThePanelApart) {
    ViewFonts fonts;  // the fitted three grow from nothing to the largest height that fits
    CreateViewFont(12, fonts.FooterFont);
    MeterPainter painter;
    painter.SetTexts(WallTexts::Translated());
    FitWallFonts(&device_, size_.width(), painter.Texts(), fonts);
    Settings settings;
    SetFactoryDefaults(settings);  // the default banner
    const MeterPicture picture = MakeMeterPicture(PaintCopy{108.9, "dBA", "> 8h 0m", "Press shop, Hall 3"}, settings);
    const std::vector<QRect> boxes = painter.TextBoxes(&device_, size_.width(), size_.height(), fonts, picture);
    const PanelRect panel = ComputeLayout(size_.width(), size_.height(), true).Panel;
    const QRect inside(QPoint(panel.Left, panel.Top), QPoint(panel.Right - 1, panel.Bottom - 1));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const bool footer = i + 1 == boxes.size();
        EXPECT_TRUE(footer ? boxes[i].top() >= panel.Bottom : inside.contains(boxes[i])) << i;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " over " << j;
    }
}

TEST_P(WallLanguages, HistoryFiguresFitTheirColumn) {
    HistoryFonts fonts;
    FitHistoryFonts(&device_, size_.width(), size_.height(), fonts);
    const HistoryLayout layout = ComputeHistoryLayout(&device_, size_.width(), size_.height(), *fonts.ScaleFont);
    const HistoryWindow window = HistoryWindowAt(1764676800, 8.0);
    const ShiftWindow shift{{2025, 12, 2}, 0, {0, 480}, window.From, window.To};
    for (const auto& rows :
         {SteadyMinutes("press", window.From, 479, 88.0), SteadyMinutes("press", window.From, 9, 88.0, "dBC"), {}}) {
        for (const std::string& line : MakeHistoryPicture(window, "press", {true, "", rows}, shift).Figures)
            EXPECT_LT(MeasureTextWidth(*fonts.FigureFont, &device_, WallNumbers(QString::fromStdString(line))),
                      layout.Figures.width())
                << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, WallLanguages,
                         ::testing::Combine(::testing::ValuesIn(SettingsStore::DisplayLanguages),
                                            ::testing::Values(QSize(800, 600), QSize(1920, 1080), QSize(3840, 2160))));
TEST_P(WallLanguages, NumbersTakeTheLanguagesDecimalSign) {
    const std::string shown = WallTexts::LevelText("85.3 dBA. 7").toStdString();  // only a point between digits
    EXPECT_EQ(shown, std::get<0>(GetParam()) == std::string("en") ? "85.3 dBA. 7" : "85,3 dBA. 7");
}

}  // namespace
