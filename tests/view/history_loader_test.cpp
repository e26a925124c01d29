// Reading the history off the display's thread: what a read gives for a good, a missing, a
// locked and a corrupt database, and the loader's answers on the display's thread.
#include "view/history_loader.h"

#include "tests/support/case_name.h"
#include "tests/support/level_database.h"
#include "tests/support/qt_wait.h"
#include "tests/support/xdg_sandbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <pthread.h>

#include <memory>

using namespace decimon::test;

namespace {

using namespace std::chrono_literals;

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC

struct ReadCase {
    const char* name;
    std::function<void(LevelDatabase&)> prepare;
    bool readable;
    const char* error;  // part of SQLite's reason
    std::size_t rows;
    bool pathless = false;                  // a request without a database
    std::vector<std::int64_t> unwritten{};  // starts of minutes not written yet
    std::int64_t shiftFrom = 0;             // the shift under way's start; 0: none
    std::int64_t endedFrom = 0;             // the start of the shift that ended an hour ago; 0: none
};

class HistoryReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(HistoryReads, GiveTheHostsMinutesOrSayWhyNot) {
    LevelDatabase database;
    GetParam().prepare(database);
    const HistoryWindow window = HistoryWindowAt(Noon, 1.0);
    HistoryRequest request{GetParam().pathless ? "" : database.Path().string(), "press", window, {}, {}, {}};
    for (std::int64_t start : GetParam().unwritten)
        request.Unwritten.push_back({"press", start, "dBA", 1, 1.0, 99.0, 99.0, 99.0});
    if (GetParam().shiftFrom != 0)
        request.Shift = ShiftWindow{{2025, 12, 2}, 0, {}, GetParam().shiftFrom, window.To};
    if (GetParam().endedFrom != 0)
        request.Ended = ShiftWindow{{2025, 12, 2}, 0, {}, GetParam().endedFrom, Noon - 3600};
    const HistoryRecord record = ReadHistory(request);
    EXPECT_EQ(record.Readable, GetParam().readable);
    EXPECT_NE(record.Error.find(GetParam().error), std::string::npos) << record.Error;
    ASSERT_EQ(record.Rows.size(), GetParam().rows);
    for (const MinuteRow& row : record.Rows) {
        EXPECT_TRUE(&row == &record.Rows.front() || (&row)[-1].Start < row.Start) << "in order, each minute once";
        EXPECT_EQ(row.Host, "press");
        const auto inShift = [&](const std::optional<ShiftWindow>& shift) { return shift && row.Start >= shift->From; };
        EXPECT_TRUE(row.Start >= window.From || inShift(request.Shift) || inShift(request.Ended)) << row.Start;

        EXPECT_LT(row.Start, window.To);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Databases, HistoryReads,
    ::testing::Values(
        ReadCase{"Good",
                 [](LevelDatabase& database) {
                     database.Write(Joined({SteadyMinutes("press", Noon - 3600, 90, 80.0),  // 30 after
                                            SteadyMinutes("hall", Noon - 600, 5, 70.0)}));  // the window
                 },
                 true, "", 60},
        // The minute under way, and one written meanwhile: the record's is taken.
        ReadCase{"UnwrittenBesideTheRecord",
                 [](LevelDatabase& database) { database.Write(SteadyMinutes("press", Noon - 600, 5, 80.0)); },
                 true,
                 "",
                 6,
                 false,
                 {Noon - 600, Noon, Noon + 60}},
        // The shift under way began before the window: its minutes are read too.
        ReadCase{"ShiftBeforeTheWindow",
                 [](LevelDatabase& database) { database.Write(SteadyMinutes("press", Noon - 7200, 120, 80.0)); },
                 true,
                 "",
                 120,
                 false,
                 {},
                 Noon - 7200},
        // So did the shift that just ended, kept on the wall.
        ReadCase{"EndedShiftBeforeTheWindow",
                 [](LevelDatabase& database) { database.Write(SteadyMinutes("press", Noon - 10800, 180, 80.0)); },
                 true,
                 "",
                 180,
                 false,
                 {},
                 0,
                 Noon - 10800},
        ReadCase{"Missing", [](LevelDatabase&) {}, true, "", 0},
        // A display started seconds ago: what it measured, before anything is written.
        ReadCase{"NothingWrittenYet", [](LevelDatabase&) {}, true, "", 1, false, {Noon}},
        ReadCase{"NoPath", [](LevelDatabase&) {}, true, "", 0, true},
        ReadCase{"Locked",
                 [](LevelDatabase& database) {
                     database.Write(SteadyMinutes("press", Noon - 600, 5, 80.0));
                     database.LockExclusively();
                 },
                 false, "locked", 0},
        ReadCase{"Corrupt",
                 [](LevelDatabase& database) { XdgSandbox::WriteFile(database.Path(), std::string(4096, 'x')); }, false,
                 "not a database", 0},
        ReadCase{"NoTable", [](LevelDatabase& database) { XdgSandbox::WriteFile(database.Path(), ""); }, false,
                 "no such table", 0}),
    CaseName());

class Loader : public ::testing::Test {
protected:
    void SetUp() override { database_.Write(SteadyMinutes("press", Noon - 600, 5, 80.0)); }

    HistoryRequest Request(const std::string& host) const {
        return {database_.Path().string(), host, HistoryWindowAt(Noon, 1.0), {}, {}, {}};
    }

    LevelDatabase database_;
    std::vector<std::pair<std::string, HistoryRecord>> answers_;
    std::vector<QThread*> threads_;
    std::unique_ptr<HistoryLoader> loader_ =
        std::make_unique<HistoryLoader>([this](const HistoryRequest& request, HistoryRecord record) {
            answers_.emplace_back(request.Host, std::move(record));
            threads_.push_back(QThread::currentThread());
        });
};

TEST_F(Loader, AnswersOnTheDisplaysThread) {
    loader_->Load(Request("press"));
    EXPECT_TRUE(answers_.empty()) << "the read is not done on the caller's thread";
    ASSERT_TRUE(WaitUntil([&] { return !answers_.empty(); }, 5s, ProcessEvents));
    EXPECT_EQ(answers_[0].first, "press");
    EXPECT_EQ(answers_[0].second.Rows.size(), 5u);
    EXPECT_EQ(threads_[0], QCoreApplication::instance()->thread());
    loader_->Load(Request("hall"));
    ASSERT_TRUE(WaitUntil([&] { return answers_.size() == 2; }, 5s, ProcessEvents));
    EXPECT_EQ(answers_[1].first, "hall");
    EXPECT_TRUE(answers_[1].second.Rows.empty());
}

// No thread can be made while the object lives: every new thread's default stack is larger than
// the address space, so that its allocation fails as at the system's limit of threads.
class NoNewThreads {
public:
    NoNewThreads() {
        pthread_getattr_default_np(&saved_);
        pthread_attr_t huge;
        pthread_attr_init(&huge);
        pthread_attr_setstacksize(&huge, std::size_t{1} << 50);
        ok_ = pthread_setattr_default_np(&huge) == 0;
        pthread_attr_destroy(&huge);
    }
    ~NoNewThreads() {
        pthread_setattr_default_np(&saved_);
        pthread_attr_destroy(&saved_);
    }
    NoNewThreads(const NoNewThreads&) = delete;
    NoNewThreads& operator=(const NoNewThreads&) = delete;

    bool Ok() const { return ok_; }

private:
    pthread_attr_t saved_;
    bool ok_ = false;
};

TEST_F(Loader, WithoutAThreadTheRecordCannotBeReadUntilOneCanBeMade) {
    {
        const NoNewThreads noThreads;
        ASSERT_TRUE(noThreads.Ok());
        loader_->Load(Request("press"));
    }
    ASSERT_TRUE(WaitUntil([&] { return !answers_.empty(); }, 5s, ProcessEvents));
    EXPECT_FALSE(answers_[0].second.Readable);
    EXPECT_NE(answers_[0].second.Error.find("no thread"), std::string::npos) << answers_[0].second.Error;
    loader_->Load(Request("press"));
    ASSERT_TRUE(WaitUntil([&] { return answers_.size() == 2; }, 5s, ProcessEvents));
    EXPECT_TRUE(answers_[1].second.Readable);
    EXPECT_EQ(answers_[1].second.Rows.size(), 5u);
}

TEST_F(Loader, ALockedDatabaseNeitherHoldsUpTheCallerNorItsEnd) {
    database_.LockExclusively();
    QElapsedTimer clock;
    clock.start();
    loader_->Load(Request("press"));
    loader_->Load(Request("hall"));  // replaces the first, unless that one has begun
    const qint64 asked = clock.elapsed();
    ASSERT_TRUE(WaitUntil([&] { return !answers_.empty() && answers_.back().first == "hall"; }, 10s, ProcessEvents));
    EXPECT_FALSE(answers_.back().second.Readable);
    EXPECT_LT(asked, HistoryBusyTimeoutMs) << "Load waited for the read";
    const std::size_t answered = answers_.size();
    loader_->Load(Request("press"));
    loader_.reset();  // waits for the read under way, which gives up at its busy time-out
    ProcessEventsFor(2 * std::chrono::milliseconds(HistoryBusyTimeoutMs));
    EXPECT_EQ(answers_.size(), answered) << "an answer came after the loader's end";
}

}  // namespace
