// A writer of the record for the crash test: appends minutes after the last one in the file,
// five per transaction, and prints "written FIRST LAST" once each transaction has committed,
// until it is killed.
#include "record/level_reader.h"
#include "record/level_store.h"

#include <cstdio>
#include <limits>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: level_writer_child DATABASE\n");
        return 2;
    }
    std::int64_t next = 1764676800;
    {
        LevelReader reader(argv[1]);
        const auto rows = reader.ReadMinutes(
            {std::nullopt, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()});
        if (rows && !rows->empty())
            next = rows->back().Start + 60;
    }
    LevelStore store(argv[1]);
    for (;;) {
        std::vector<MinuteRow> batch;
        for (int minute = 0; minute < 5; ++minute, next += 60)
            batch.push_back({"press", next, "dBA", 60, 60.0, 85.0 + minute * 0.1, 80.0, 90.0});
        if (!store.Write(batch)) {
            std::fprintf(stderr, "level_writer_child: %s\n", store.Error().c_str());
            return 1;
        }
        std::printf("written %lld %lld\n", static_cast<long long>(batch.front().Start),
                    static_cast<long long>(batch.back().Start));
        std::fflush(stdout);
    }
}
