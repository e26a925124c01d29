#include "levels/daily_figures.h"

void DailySums::Add(const MinuteRow& row) {
    if (day_ == nullptr || row.Host != host_ || row.Start < dayStart_ || row.Start >= dayEnd_) {
        const LocalDate date = LocalDateOf(row.Start);
        host_ = row.Host;
        dayStart_ = LocalDayStart(date);
        dayEnd_ = LocalDayStart(NextDate(date));
        day_ = &days_[{date, row.Host}];
    }
    day_->Add(row);
}
