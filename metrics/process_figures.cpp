#include "metrics/process_figures.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// The fields of /proc/self/stat after the command name, which may hold spaces and parentheses.
struct StatFields {
    double utimeTicks = 0, stimeTicks = 0, startTicks = 0, rssPages = 0;
};

bool ReadStat(StatFields& fields) {
    std::ifstream file("/proc/self/stat");
    std::string text;
    if (!std::getline(file, text))
        return false;
    const auto end = text.rfind(')');
    if (end == std::string::npos)
        return false;
    std::istringstream rest(text.substr(end + 2));
    std::string field;
    // After the name: state is field 3; utime 14, stime 15, starttime 22, rss 24.
    for (int number = 3; number <= 24 && rest >> field; ++number) {
        if (number == 14)
            fields.utimeTicks = std::stod(field);
        else if (number == 15)
            fields.stimeTicks = std::stod(field);
        else if (number == 22)
            fields.startTicks = std::stod(field);
        else if (number == 24)
            fields.rssPages = std::stod(field);
    }
    return true;
}

// The boot time, seconds since the epoch ("btime" of /proc/stat).
double BootTime() {
    std::ifstream file("/proc/stat");
    std::string key;
    double value = 0;
    while (file >> key) {
        if (key == "btime" && file >> value)
            return value;
        file.ignore(1 << 20, '\n');
    }
    return 0;
}

double OpenFds() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return 0;
    double count = 0;
    while (const dirent* entry = readdir(dir))
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count - 1;  // the directory's own descriptor
}

}  // namespace

ProcessFigures ReadProcessFigures() {
    ProcessFigures figures;
    StatFields stat;
    if (ReadStat(stat)) {
        const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
        figures.CpuSeconds = (stat.utimeTicks + stat.stimeTicks) / ticks;
        static const double bootTime = BootTime();  // fixed while the machine runs
        figures.StartTimeSeconds = bootTime + stat.startTicks / ticks;
        figures.ResidentBytes = stat.rssPages * static_cast<double>(sysconf(_SC_PAGESIZE));
    }
    figures.OpenFds = OpenFds();
    return figures;
}
