#include "AdifContact.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>

#include "BandPlan.h"

namespace zorvik::logtools {

namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && blank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

int Number(std::string_view digits) {
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// A trimmed field; nullopt when absent. Present but blank stays "" (it is not the same as Null).
std::optional<std::string> Field(const AdifRecord& record, std::string_view name) {
  const auto value = record.Get(name);
  if (!value) return std::nullopt;
  return std::string(Trim(*value));
}

std::optional<std::string> UpperField(const AdifRecord& record, std::string_view name) {
  auto value = Field(record, name);
  if (value) *value = Upper(*value);
  return value;
}

// Out-parameters rather than optionals: GCC 12 warns falsely about optional time points.
bool ParseAdifDate(std::string_view text, std::chrono::sys_days& day) {
  if (text.size() != 8 || !AllDigits(text)) return false;
  const std::chrono::year_month_day date{std::chrono::year{Number(text.substr(0, 4))},
                                         std::chrono::month{unsigned(Number(text.substr(4, 2)))},
                                         std::chrono::day{unsigned(Number(text.substr(6, 2)))}};
  if (!date.ok()) return false;
  day = std::chrono::sys_days{date};
  return true;
}

bool ParseAdifTime(std::string_view text, std::chrono::seconds& time) {
  if ((text.size() != 4 && text.size() != 6) || !AllDigits(text)) return false;
  const int hours = Number(text.substr(0, 2));
  const int minutes = Number(text.substr(2, 2));
  const int seconds = text.size() == 6 ? Number(text.substr(4, 2)) : 0;
  if (hours > 23 || minutes > 59 || seconds > 59) return false;
  time = std::chrono::hours{hours} + std::chrono::minutes{minutes} + std::chrono::seconds{seconds};
  return true;
}

std::optional<double> ParseMHz(std::string_view text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !(value > 0)) return std::nullopt;
  return value;
}

}  // namespace

ContactFromRecord ContactFromAdif(const AdifRecord& record,
                                  const std::optional<std::string>& defaultOperator) {
  ContactFromRecord result;
  auto& messages = result.messages;
  Contact c;

  c.call = UpperField(record, "CALL");
  if (!c.call || c.call->empty()) messages.push_back("no CALL");

  const auto dateText = Field(record, "QSO_DATE");
  const auto timeText = Field(record, "TIME_ON");
  std::chrono::sys_days date{};
  std::chrono::seconds time{};
  if (!dateText) {
    messages.push_back("no QSO_DATE");
  } else if (!ParseAdifDate(*dateText, date)) {
    messages.push_back("QSO_DATE \"" + *dateText + "\" is not a date YYYYMMDD");
  }
  if (!timeText) {
    messages.push_back("no TIME_ON");
  } else if (!ParseAdifTime(*timeText, time)) {
    messages.push_back("TIME_ON \"" + *timeText + "\" is not a time HHMM or HHMMSS");
  }
  // Refused: the other fields would only add noise to the messages.
  if (!messages.empty()) return result;

  const std::chrono::sys_seconds begin = date + time;
  std::chrono::sys_seconds end = begin;
  if (const auto offText = Field(record, "TIME_OFF")) {
    std::chrono::seconds offTime{};
    const bool offTimeOk = ParseAdifTime(*offText, offTime);
    std::chrono::sys_days offDate{};
    bool offDateOk = false;
    if (const auto offDateText = Field(record, "QSO_DATE_OFF")) {
      offDateOk = ParseAdifDate(*offDateText, offDate);
      if (!offDateOk) messages.push_back("QSO_DATE_OFF \"" + *offDateText + "\" ignored");
    }
    if (!offTimeOk) {
      messages.push_back("TIME_OFF \"" + *offText + "\" ignored; the end is the start");
    } else if (offDateOk) {
      end = offDate + offTime;
    } else {
      end = date + offTime;
      if (end < begin) end += std::chrono::days{1};  // the contact ran past midnight
    }
    if (end < begin) {
      messages.push_back("the contact ends before it begins; the end is the start");
      end = begin;
    }
  }
  c.qsoBegin = IsoDateTime(begin);
  c.qsoEnd = IsoDateTime(end);

  if (const auto freqText = Field(record, "FREQ"); freqText && !freqText->empty()) {
    c.freq = ParseMHz(*freqText);
    if (!c.freq) messages.push_back("FREQ \"" + *freqText + "\" ignored");
  }
  c.band = UpperField(record, "BAND");
  if ((!c.band || c.band->empty()) && c.freq) {
    if (const auto band = BandOfFrequency(*c.freq)) c.band = std::string(*band);
  }

  c.mode = UpperField(record, "MODE");
  if (c.mode == "PSK") {
    if (auto submode = UpperField(record, "SUBMODE"); submode && !submode->empty()) {
      c.mode = std::move(submode);
    }
  }

  c.dxccId = "0";
  if (const auto dxcc = Field(record, "DXCC"); dxcc && !dxcc->empty()) {
    if (AllDigits(*dxcc) && dxcc->size() <= 6) {
      c.dxccId = std::to_string(Number(*dxcc));  // "001" and "1" are one entity
    } else {
      messages.push_back("DXCC \"" + *dxcc + "\" ignored");
    }
  }

  c.qslSent = UpperField(record, "QSL_SENT");
  c.qslRcvd = UpperField(record, "QSL_RCVD");
  c.qslVia = Field(record, "QSL_VIA");
  c.qslMsg = Field(record, "QSLMSG");

  c.operatorCall = UpperField(record, "OPERATOR");
  if (!c.operatorCall || c.operatorCall->empty())
    c.operatorCall = UpperField(record, "STATION_CALLSIGN");
  if ((!c.operatorCall || c.operatorCall->empty()) && defaultOperator) {
    c.operatorCall = Upper(*defaultOperator);
  }

  c.rstSent = Field(record, "RST_SENT");
  c.rstRcvd = Field(record, "RST_RCVD");
  c.bandRx = UpperField(record, "BAND_RX");
  if (const auto rx = Field(record, "FREQ_RX"); rx && !rx->empty()) {
    c.freqRx = ParseMHz(*rx);
    if (!c.freqRx) messages.push_back("FREQ_RX \"" + *rx + "\" ignored");
  }
  c.propMode = UpperField(record, "PROP_MODE");
  c.satName = Field(record, "SAT_NAME");
  c.satMode = Field(record, "SAT_MODE");
  c.name = Field(record, "NAME");
  c.address = Field(record, "ADDRESS");
  c.txPower = Field(record, "TX_PWR");
  c.qth = Field(record, "QTH");
  c.contestId = Field(record, "CONTEST_ID");

  result.contact = std::move(c);
  return result;
}

}  // namespace zorvik::logtools
