#include "exposure/shift_sums.h"

#include <algorithm>

ShiftSums::ShiftSums(const std::vector<DatedPattern>& patterns, const LocalDate& from, const LocalDate& to,
                     std::int64_t now)
    : now_(now) {
    for (LocalDate date = from; date <= to; date = NextDate(date)) {
        for (const ShiftWindow& window : ShiftWindows(PatternOfDay(patterns, date), date))
            if (window.From < now)
                windows_.push_back(window);
    }
}

ShiftFigures ShiftSums::Figures(std::size_t index, const std::string& host) const {
    const auto found = sums_.find({index, host});
    return found != sums_.end() ? found->second.Figures() : FiguresOfShift(windows_[index], {}, now_);
}

void ShiftSums::Add(const MinuteRow& row) {
    if (sum_ == nullptr || row.Host != host_ || row.Start < from_ || row.Start >= to_) {
        const auto after = std::upper_bound(windows_.begin(), windows_.end(), row.Start,
                                            [](std::int64_t start, const ShiftWindow& w) { return start < w.From; });
        if (after == windows_.begin() || row.Start >= std::prev(after)->To) {
            sum_ = nullptr;  // between two shifts, or outside the period
            return;
        }
        const std::size_t index = static_cast<std::size_t>(after - windows_.begin()) - 1;
        host_ = row.Host;
        from_ = windows_[index].From;
        to_ = windows_[index].To;
        sum_ = &sums_.try_emplace(Key{index, row.Host}, windows_[index], now_).first->second;
    }
    sum_->Add(row);
}
