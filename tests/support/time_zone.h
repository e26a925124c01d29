#pragma once
// The process's local time zone for one scope, given as a POSIX TZ rule (no zone database
// needed), the old one put back afterwards.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace decimon::test {

// Central European time: UTC+1, summer time UTC+2 from the last Sunday of March, 02:00, to
// the last Sunday of October, 03:00.
inline constexpr char CentralEuropeanZone[] = "CET-1CEST,M3.5.0,M10.5.0/3";

class TimeZone {
public:
    explicit TimeZone(const char* rule) {
        if (const char* value = std::getenv("TZ"))
            saved_ = value;
        ::setenv("TZ", rule, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace decimon::test
