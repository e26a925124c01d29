#include "exposure/uncertainty.h"

#include "exposure/acoustics.h"
#include "exposure/printed_figures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double CoverageFactor = 1.65;  // one-sided 95 %
constexpr double ClassOneU2 = 0.7;
constexpr double ClassTwoU2 = 1.5;

// ISO 9612:2009, Annex C, Table C.4: c1·u1 in dB by the number of measurements N (rows; 3 and
// 4 for the full-day strategy only) and u1 from 0.5 to 6.0 dB in steps of 0.5 (columns). The
// standard's own worked examples read the same cells: Annex E (N = 6, u1 = 2.0 dB: 1.4 dB)
// and Annex F (N = 6, u1 = 1.65 dB: 1.0 dB, between the cells).
constexpr std::array<int, 15> TableN = {3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20, 25, 30};
constexpr double TableU1Step = 0.5;
constexpr std::array<std::array<double, 12>, 15> TableC1U1 = {{
    {0.6, 1.6, 3.1, 5.2, 8.0, 11.5, 15.7, 20.6, 26.1, 32.2, 39.0, 46.5},
    {0.4, 0.9, 1.6, 2.5, 3.6, 5.0, 6.7, 8.6, 10.9, 13.4, 16.1, 19.2},
    {0.3, 0.7, 1.2, 1.7, 2.4, 3.3, 4.4, 5.6, 6.9, 8.5, 10.2, 12.1},
    {0.3, 0.6, 0.9, 1.4, 1.9, 2.6, 3.3, 4.2, 5.2, 6.3, 7.6, 8.9},
    {0.2, 0.5, 0.8, 1.2, 1.6, 2.2, 2.8, 3.5, 4.3, 5.1, 6.1, 7.2},
    {0.2, 0.5, 0.7, 1.1, 1.4, 1.9, 2.4, 3.0, 3.6, 4.4, 5.2, 6.1},
    {0.2, 0.4, 0.7, 1.0, 1.3, 1.7, 2.1, 2.6, 3.2, 3.9, 4.6, 5.4},
    {0.2, 0.4, 0.6, 0.9, 1.2, 1.5, 1.9, 2.4, 2.9, 3.5, 4.1, 4.8},
    {0.2, 0.3, 0.5, 0.8, 1.0, 1.3, 1.7, 2.0, 2.5, 2.9, 3.5, 4.0},
    {0.1, 0.3, 0.5, 0.7, 0.9, 1.2, 1.5, 1.8, 2.2, 2.6, 3.0, 3.5},
    {0.1, 0.3, 0.5, 0.6, 0.8, 1.1, 1.3, 1.6, 2.0, 2.3, 2.7, 3.2},
    {0.1, 0.3, 0.4, 0.6, 0.8, 1.0, 1.2, 1.5, 1.8, 2.1, 2.5, 2.9},
    {0.1, 0.3, 0.4, 0.5, 0.7, 0.9, 1.1, 1.4, 1.7, 2.0, 2.3, 2.6},
    {0.1, 0.2, 0.3, 0.5, 0.6, 0.8, 1.0, 1.2, 1.4, 1.7, 2.0, 2.3},
    {0.1, 0.2, 0.3, 0.4, 0.6, 0.7, 0.9, 1.1, 1.3, 1.5, 1.7, 2.0},
}};

// A row of the table at `u1`, between its columns; u1 = 0 contributes nothing.
double RowAt(std::size_t row, double u1) {
    const double column = u1 / TableU1Step - 1.0;  // 0 for 0.5 dB
    if (column <= 0.0)
        return TableC1U1[row][0] * std::max(0.0, u1 / TableU1Step);
    const auto below = static_cast<std::size_t>(std::floor(column));
    if (below + 1 >= TableC1U1[row].size())
        return TableC1U1[row][below];
    const double part = column - static_cast<double>(below);
    return TableC1U1[row][below] + part * (TableC1U1[row][below + 1] - TableC1U1[row][below]);
}

}  // namespace

double SamplingContribution(int n, double u1) {
    if (n < TableN.front() || !(u1 >= 0.0) || u1 > TableU1Step * TableC1U1.front().size() + 1e-9)
        return std::numeric_limits<double>::quiet_NaN();
    // More shifts than the table's last row are reckoned as its last row, which overstates c1·u1.
    const int rows = std::min(n, TableN.back());
    const auto after = std::lower_bound(TableN.begin(), TableN.end(), rows);
    const auto row = static_cast<std::size_t>(after - TableN.begin());
    if (*after == rows)
        return RowAt(row, u1);
    const double part = static_cast<double>(rows - TableN[row - 1]) / (TableN[row] - TableN[row - 1]);
    return RowAt(row - 1, u1) + part * (RowAt(row, u1) - RowAt(row - 1, u1));
}

ShiftUncertainty UncertaintyOf(const Shift& hours, std::span<const double> lex8h, int meterClass) {
    ShiftUncertainty u;
    u.Hours = hours;
    u.MeterClass = meterClass;
    u.N = static_cast<int>(lex8h.size());
    u.U2 = meterClass == 1 ? ClassOneU2 : ClassTwoU2;
    if (lex8h.empty())
        return u;
    double energy = 0.0;
    double sum = 0.0;
    for (double level : lex8h) {
        energy += LevelEnergy(level - DoseCriterionLevel);
        sum += level;
    }
    u.Lex8h = DoseCriterionLevel + EnergyLevel(energy / u.N);
    u.Band = ActionBandOf("dBA", u.Lex8h);
    if (u.N < FewestShiftsForUncertainty)
        return u;
    double squares = 0.0;
    for (double level : lex8h)
        squares += (level - sum / u.N) * (level - sum / u.N);
    u.U1 = std::sqrt(squares / (u.N - 1));
    u.C1U1 = SamplingContribution(u.N, u.U1);
    if (std::isnan(u.C1U1))
        return u;
    u.StandardU = std::sqrt(u.C1U1 * u.C1U1 + u.U2 * u.U2 + u.U3 * u.U3);
    u.ExpandedU = CoverageFactor * u.StandardU;
    const ActionBand reach = ActionBandOf("dBA", PrintedTenths(u.Lex8h) + PrintedTenths(u.ExpandedU));
    if (reach > u.Band)
        u.Reach = reach;
    return u;
}

std::string ShiftUncertainty::Text() const {
    if (N < FewestShiftsForUncertainty)
        return "too few shifts for an uncertainty (" + std::to_string(N) + " of " +
               std::to_string(FewestShiftsForUncertainty) + ")";
    if (std::isnan(ExpandedU))
        return "no uncertainty: the shifts spread too widely (u1 " + FormatTenths(U1) + " dB)";
    return "LEX,8h " + FormatTenths(Lex8h) + " dB(A), U " + FormatTenths(ExpandedU) + " dB (N = " + std::to_string(N) +
           (MeterClass == MeterClassNotStated ? "; meter class not stated, reckoned as class 2" : "") + ")";
}

const ShiftUncertainty& UncertaintyOfHours(const std::vector<ShiftUncertainty>& uncertainties, const Shift& hours) {
    return *std::find_if(uncertainties.begin(), uncertainties.end(),
                         [&](const ShiftUncertainty& u) { return u.Hours == hours; });
}

std::string ShiftUncertainty::ReachText() const {
    return Reach == ActionBand::None ? "" : "may reach " + ActionValueName(Reach) + " within its uncertainty";
}

std::vector<ShiftUncertainty> UncertaintiesOf(const std::vector<DatedPattern>& patterns,
                                              std::span<const ShiftFigures> shifts, int meterClass) {
    std::vector<Shift> names;
    for (const DatedPattern& pattern : patterns)
        for (const Shift& hours : pattern.Shifts.Shifts())
            if (std::find(names.begin(), names.end(), hours) == names.end())
                names.push_back(hours);
    std::vector<ShiftUncertainty> all;
    for (const Shift& hours : names) {
        std::vector<double> levels;
        for (const ShiftFigures& shift : shifts)
            if (shift.Window.Hours == hours && shift.Band != ActionBand::None)  // ended and judged
                levels.push_back(PrintedTenths(shift.Lex8h));
        all.push_back(UncertaintyOf(hours, levels, meterClass));
    }
    return all;
}
