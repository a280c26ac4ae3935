#include "AdifContact.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::logtools {
namespace {

AdifRecord Record(std::vector<std::pair<std::string, std::string>> fields) {
  AdifRecord record;
  record.number = 1;
  for (auto& [name, value] : fields) record.fields.emplace(name, value);
  return record;
}

AdifRecord Basic(std::vector<std::pair<std::string, std::string>> more = {}) {
  more.insert(more.begin(), {{"CALL", "w1aw"}, {"QSO_DATE", "20240131"}, {"TIME_ON", "2358"}});
  return Record(std::move(more));
}

TEST(AdifContact, TimesBecomeBeginAndEnd) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> fields;
    const char* begin;
    const char* end;
    bool warned;
  };
  const std::vector<Case> cases = {
      {"four-digit TIME_ON, no TIME_OFF",
       {{"TIME_ON", "0905"}},
       "2024-01-31 09:05:00",
       "2024-01-31 09:05:00",
       false},
      {"six-digit times",
       {{"TIME_ON", "090510"}, {"TIME_OFF", "091002"}},
       "2024-01-31 09:05:10",
       "2024-01-31 09:10:02",
       false},
      {"past midnight without QSO_DATE_OFF",
       {{"TIME_ON", "2358"}, {"TIME_OFF", "0003"}},
       "2024-01-31 23:58:00",
       "2024-02-01 00:03:00",
       false},
      {"QSO_DATE_OFF given",
       {{"TIME_ON", "1200"}, {"TIME_OFF", "1300"}, {"QSO_DATE_OFF", "20240202"}},
       "2024-01-31 12:00:00",
       "2024-02-02 13:00:00",
       false},
      {"unreadable TIME_OFF",
       {{"TIME_ON", "1200"}, {"TIME_OFF", "99"}},
       "2024-01-31 12:00:00",
       "2024-01-31 12:00:00",
       true},
      {"QSO_DATE_OFF before the start",
       {{"TIME_ON", "1200"}, {"TIME_OFF", "1300"}, {"QSO_DATE_OFF", "20240130"}},
       "2024-01-31 12:00:00",
       "2024-01-31 12:00:00",
       true},
  };
  for (const Case& c : cases) {
    AdifRecord record = Record(c.fields);
    record.fields.emplace("CALL", "W1AW");
    record.fields.emplace("QSO_DATE", "20240131");
    const ContactFromRecord result = ContactFromAdif(record, std::nullopt);
    ASSERT_TRUE(result.contact.has_value()) << c.name;
    EXPECT_EQ(result.contact->qsoBegin, c.begin) << c.name;
    EXPECT_EQ(result.contact->qsoEnd, c.end) << c.name;
    EXPECT_EQ(!result.messages.empty(), c.warned) << c.name;
  }
}

TEST(AdifContact, RefusesRecordsWithoutCallDateOrStartTime) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> fields;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no call", {{"QSO_DATE", "20240101"}, {"TIME_ON", "1200"}}, "no CALL"},
      {"blank call", {{"CALL", " "}, {"QSO_DATE", "20240101"}, {"TIME_ON", "1200"}}, "no CALL"},
      {"no date", {{"CALL", "K1"}, {"TIME_ON", "1200"}}, "no QSO_DATE"},
      {"impossible date",
       {{"CALL", "K1"}, {"QSO_DATE", "20230229"}, {"TIME_ON", "1200"}},
       "QSO_DATE"},
      {"date with dashes",
       {{"CALL", "K1"}, {"QSO_DATE", "2023-01-01"}, {"TIME_ON", "1200"}},
       "QSO_DATE"},
      {"no time", {{"CALL", "K1"}, {"QSO_DATE", "20240101"}}, "no TIME_ON"},
      {"hour 24", {{"CALL", "K1"}, {"QSO_DATE", "20240101"}, {"TIME_ON", "2400"}}, "TIME_ON"},
      {"five digits", {{"CALL", "K1"}, {"QSO_DATE", "20240101"}, {"TIME_ON", "12000"}}, "TIME_ON"},
      {"minute 60", {{"CALL", "K1"}, {"QSO_DATE", "20240101"}, {"TIME_ON", "1260"}}, "TIME_ON"},
  };
  for (const Case& c : cases) {
    const ContactFromRecord result = ContactFromAdif(Record(c.fields), std::nullopt);
    EXPECT_FALSE(result.contact.has_value()) << c.name;
    ASSERT_FALSE(result.messages.empty()) << c.name;
    EXPECT_NE(result.messages[0].find(c.message), std::string::npos)
        << c.name << ": " << result.messages[0];
  }
}

TEST(AdifContact, MapsFieldsAsTheHostStoresThem) {
  const ContactFromRecord result = ContactFromAdif(Basic({{"BAND", "20m"},
                                                          {"MODE", "ssb"},
                                                          {"FREQ", "14.2"},
                                                          {"DXCC", "007"},
                                                          {"QSL_SENT", "n"},
                                                          {"QSL_RCVD", ""},
                                                          {"QSL_VIA", "via Bureau"},
                                                          {"STATION_CALLSIGN", "k1zrv"},
                                                          {"RST_SENT", "59"},
                                                          {"NAME", "Al"},
                                                          {"BAND_RX", "70cm"},
                                                          {"TX_PWR", "100"}}),
                                                   std::nullopt);
  ASSERT_TRUE(result.contact.has_value());
  const Contact& c = *result.contact;
  EXPECT_EQ(c.call, "W1AW");
  EXPECT_EQ(c.band, "20M");
  EXPECT_EQ(c.mode, "SSB");
  EXPECT_EQ(c.freq, 14.2);
  EXPECT_EQ(c.dxccId, "7");
  EXPECT_EQ(c.qslSent, "N");          // kept as the ADIF value, only upper-cased
  EXPECT_EQ(c.qslRcvd, "");           // present but empty stays empty, not Null
  EXPECT_EQ(c.qslVia, "via Bureau");  // free text keeps its case
  EXPECT_EQ(c.operatorCall, "K1ZRV");
  EXPECT_EQ(c.rstSent, "59");
  EXPECT_FALSE(c.rstRcvd.has_value());
  EXPECT_EQ(c.bandRx, "70CM");
  EXPECT_EQ(c.txPower, "100");
  EXPECT_TRUE(result.messages.empty());
}

TEST(AdifContact, FillsGapsAndDropsUnreadableValues) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> fields;
    std::optional<std::string> band, mode, dxcc, op;
    bool warned;
  };
  const std::optional<std::string> none;
  const std::vector<Case> cases = {
      {"band from frequency", {{"FREQ", "7.074"}}, "40M", none, "0", "DEFAULT", false},
      {"frequency outside the bands", {{"FREQ", "8.5"}}, none, none, "0", "DEFAULT", false},
      {"unreadable frequency", {{"FREQ", "14,074"}}, none, none, "0", "DEFAULT", true},
      {"PSK submode is the mode",
       {{"MODE", "PSK"}, {"SUBMODE", "psk63"}},
       none,
       "PSK63",
       "0",
       "DEFAULT",
       false},
      {"other submodes are not",
       {{"MODE", "SSB"}, {"SUBMODE", "USB"}},
       none,
       "SSB",
       "0",
       "DEFAULT",
       false},
      {"unreadable DXCC", {{"DXCC", "USA"}}, none, none, "0", "DEFAULT", true},
      {"DXCC zero", {{"DXCC", "0"}}, none, none, "0", "DEFAULT", false},
      {"OPERATOR before STATION_CALLSIGN",
       {{"OPERATOR", "n1op"}, {"STATION_CALLSIGN", "K1ST"}},
       none,
       none,
       "0",
       "N1OP",
       false},
  };
  for (const Case& c : cases) {
    const ContactFromRecord result = ContactFromAdif(Basic(c.fields), std::string("default"));
    ASSERT_TRUE(result.contact.has_value()) << c.name;
    EXPECT_EQ(result.contact->band, c.band) << c.name;
    EXPECT_EQ(result.contact->mode, c.mode) << c.name;
    EXPECT_EQ(result.contact->dxccId, c.dxcc) << c.name;
    EXPECT_EQ(result.contact->operatorCall, c.op) << c.name;
    EXPECT_EQ(!result.messages.empty(), c.warned) << c.name;
  }
  // Without a default the operator stays Null rather than becoming empty text.
  EXPECT_FALSE(ContactFromAdif(Basic(), std::nullopt).contact->operatorCall.has_value());
}

}  // namespace
}  // namespace zorvik::logtools
