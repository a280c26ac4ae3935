#pragma once

#include <chrono>
#include <ctime>
#include <optional>

namespace zorvik {

// The calendar date and time of day on the user's clock (the local time zone) at `when`; nullopt
// when the system cannot convert the time.
std::optional<std::tm> LocalTime(std::time_t when);

// The date on the user's calendar (the local time zone, not UTC) at `when`: what a user in
// Sydney calls today is already tomorrow in London. Falls back to the UTC date when the system
// cannot convert the time.
std::chrono::sys_days LocalDay(std::time_t when);

// Today on the user's calendar: LocalDay of the current time. The stop-date field starts with it,
// and a typed day and month without a year fall in its year.
std::chrono::sys_days LocalToday();

}  // namespace zorvik
