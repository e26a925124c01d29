#pragma once
// The whole process in another C library locale for one scope, as QApplication leaves it
// under a desktop language such as LANG=de_DE.UTF-8 (whose decimal point is a comma).

#include <clocale>
#include <string>

inline constexpr const char* GermanLocale = "de_DE.UTF-8";  // scripts/test.sh generates it

class ProcessLocale {
public:
    explicit ProcessLocale(const char* name)
        : previous_(std::setlocale(LC_ALL, nullptr)), active_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;
    bool Active() const { return active_; }  // false when the locale is not generated

private:
    std::string previous_;
    bool active_;
};
