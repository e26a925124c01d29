#pragma once
// Sums the shown levels of good polls into minutes, per host: no I/O, a few arithmetic
// operations per poll. Each good poll stands for the polling interval that follows it, or
// longer when the poll itself took longer (see Extend); that span's seconds go to the minutes
// it falls in, split at each minute's turn, so that a minute may hold time of a poll taken in
// the minute before. A minute ends once it is over: when a
// poll falls into a later minute, when the owner's clock says so, or when the owner finishes
// it (a change of the configuration, the end of the program); a poll for another host, or one
// earlier than the minutes under way (the clock set back), ends them all.

#include "exposure/minute_row.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class MinuteAggregator {
public:
    // The longest span one poll stands for, whatever interval the settings file holds.
    static constexpr std::int64_t MaxSpanSeconds = 24 * 3600;

    // The seconds a poll at `pollingInterval` stands for: the interval, kept from 1 s to
    // MaxSpanSeconds. The exposure counters of the metrics page take the same.
    static double SpanSeconds(std::int32_t pollingInterval);

    // Adds one good poll at `utcSeconds` that showed `level` with `weighting` for `host`,
    // covering the `pollingInterval` seconds that follow it. Returns the minutes it ended, oldest
    // first. A minute's weighting is that of the first poll whose span reaches it.
    std::vector<MinuteRow> Add(std::int64_t utcSeconds, std::string_view host, std::string_view weighting, double level,
                               std::int32_t pollingInterval);
    // The last poll added stood `seconds` longer than its span (a poll that took longer than
    // its interval: its level was shown until the next one began): adds that time after its
    // span, at its level, up to MaxSpanSeconds in all. Nothing once its minutes were finished.
    // Time in minutes that were already ended by the clock is left out.
    void Extend(double seconds);
    // Ends the minutes that are over at `utcSeconds`: those that end at or before it.
    std::vector<MinuteRow> EndBefore(std::int64_t utcSeconds);
    // Ends every minute under way, those the last polls' spans reach too.
    std::vector<MinuteRow> Finish();
    // Whether a minute is under way.
    bool Open() const { return !minutes_.empty(); }
    // The minutes under way as they stand, oldest first, without ending them.
    std::vector<MinuteRow> UnderWay() const;

private:
    // A minute under way: its row, and the sums its Leq and seconds come from.
    struct Minute {
        MinuteRow row;
        double seconds = 0.0;    // may exceed 60 when spans overlap (a late tick, an interval change)
        double energySum = 0.0;  // of seconds x 10^(L/10)
    };
    // The last poll added, while its span may still be extended.
    struct LastPoll {
        std::string weighting;
        double level = 0.0;
        double end = 0.0;      // of its span so far, seconds since the epoch
        double seconds = 0.0;  // its span so far
    };
    static MinuteRow Ended(const Minute& minute);
    // Adds `from` to `to` at `level` to the minutes it falls in, counting a sample in the first.
    void AddSpan(double from, double to, std::string_view weighting, double level, bool sample);
    // The minute under way that starts at `start` (at or after the first's), made when missing.
    Minute& MinuteAt(std::int64_t start, std::string_view weighting, double level);

    std::string host_;
    std::deque<Minute> minutes_;  // consecutive minutes, oldest first
    std::optional<LastPoll> last_;
};

// What the record keeps when `arriving` meets `stored`, the minute of the same host and start
// already there. Parts of one minute from one recorder run (`sameRun`: around a change of
// host or of the settings within it) that together cover at most 60 s are joined: samples
// and covered seconds added, the energy mean weighted by seconds, the extremes of both, the
// stored one's weighting. Otherwise the minute was measured twice (the clock went back, or
// another run measured it), and the one with more sound energy (seconds x 10^(Leq/10)) is
// kept as it stands, the stored one at a tie: never an average of the two.
struct KeptMinute {
    MinuteRow Row;
    bool MeasuredTwice = false;
};
KeptMinute KeepMinute(const MinuteRow& stored, const MinuteRow& arriving, bool sameRun);
