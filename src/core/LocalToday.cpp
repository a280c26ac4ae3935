#include "core/LocalToday.h"

namespace zorvik {

std::optional<std::tm> LocalTime(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  const bool converted = localtime_s(&local, &when) == 0;
#else
  const bool converted = localtime_r(&when, &local) != nullptr;
#endif
  if (!converted) return std::nullopt;
  return local;
}

std::chrono::sys_days LocalDay(std::time_t when) {
  const std::optional<std::tm> local = LocalTime(when);
  if (!local)
    return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::from_time_t(when));
  return std::chrono::year_month_day(std::chrono::year(local->tm_year + 1900),
                                     std::chrono::month(static_cast<unsigned>(local->tm_mon + 1)),
                                     std::chrono::day(static_cast<unsigned>(local->tm_mday)));
}

std::chrono::sys_days LocalToday() {
  return LocalDay(std::time(nullptr));
}

}  // namespace zorvik
