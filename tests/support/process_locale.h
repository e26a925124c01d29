#pragma once
// The whole process in another C library locale for one test, as QApplication leaves it
// under a desktop language such as LANG=de_DE.UTF-8; the previous locale comes back at the
// end of the scope.

#include <clocale>
#include <string>

// German uses a comma as its decimal point: numbers formatted or parsed in it show it.
inline constexpr const char* GermanLocale = "de_DE.UTF-8";

class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

    // False when the locale is not generated on this machine (scripts/test.sh generates it).
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
