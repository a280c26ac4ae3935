#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zorvik::logtools {

// One row of the log's QSOs table as the tools write it. An empty optional is a Null column;
// date-times are "YYYY-MM-DD HH:MM:SS" UTC, as the host stores them.
struct Contact {
  std::optional<std::string> call;
  std::optional<std::string> qsoBegin;
  std::optional<std::string> qsoEnd;
  std::optional<double> freq;  // MHz
  std::optional<std::string> band;
  std::optional<std::string> mode;
  std::optional<std::string> dxccId;  // "0" for no entity
  std::optional<std::string> dxccPrefix;
  std::optional<std::string> qslSent;
  std::optional<std::string> qslRcvd;
  std::optional<std::string> qslVia;
  std::optional<std::string> qslMsg;
  std::optional<std::string> operatorCall;
  std::optional<std::string> rstSent;
  std::optional<std::string> rstRcvd;
  std::optional<std::string> myQthId;
  std::optional<std::string> bandRx;
  std::optional<double> freqRx;
  std::optional<std::string> propMode;
  std::optional<std::string> satName;
  std::optional<std::string> satMode;
  std::optional<std::string> name;
  std::optional<std::string> address;
  std::optional<std::string> txPower;
  std::optional<std::string> qth;
  std::optional<std::string> contestId;
};

// A UTC time as the log stores it: "YYYY-MM-DD HH:MM:SS".
std::string IsoDateTime(std::chrono::sys_seconds when);

}  // namespace zorvik::logtools
