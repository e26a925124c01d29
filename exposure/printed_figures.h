#pragma once
// How every reader of the record prints its figures: levels with one decimal and covered time
// as h:mm, with "." whatever the locale. A figure is judged as it is printed, so that a page
// or a CSV never shows 80.0 beside "below the lower action value".

#include <string>

// One decimal, rounded as printf's "%.1f" rounds, with "." whatever the locale: "85.1";
// empty for a value that is not a finite number.
std::string FormatTenths(double value);

// The value as FormatTenths prints it, read back (NaN for a value that is not finite).
double PrintedTenths(double value);

// Covered seconds as hours and minutes, "8:00", to the nearest minute.
std::string FormatHoursMinutes(double seconds);

// The whole per cent, rounded down, that `seconds` printed as h:mm is of `ofSeconds` printed
// as h:mm: 384 minutes of 59.95 s print as 6:24, which is 80 % of 8:00 (0 when `ofSeconds`
// prints as 0:00).
int PrintedPercent(double seconds, double ofSeconds);
