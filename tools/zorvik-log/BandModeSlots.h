#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "logops/SlotRules.h"

namespace zorvik::logtools {

// The layout of Progress.BandModes as the host keeps it: 44 status characters, four runs of
// eleven bands (160M 80M 40M 30M 20M 17M 15M 12M 10M 6M 2M), one run per mode group: AM/FM/SSB,
// CW, every other mode, PSK31/PSK63/PSK125. Band and mode texts compare exactly, case included,
// as the Add action compares them.
using logdb::BandIndex;
using logdb::kBandCount;
using logdb::kBandModesLength;
using logdb::ModeGroupOffset;
using logdb::SlotPosition;

// Status characters. A slot with contacts shows the best of them: "V" over "C" over "W".
inline constexpr char kNotWorked = '-';
inline constexpr char kWorked = 'W';     // worked, no card received
inline constexpr char kConfirmed = 'C';  // confirmed by a received card (QSL_Rcvd "Y")
inline constexpr char kVerified = 'V';   // confirmation already verified for award credit

// The status one contact gives its slot, from its QSL_Rcvd: "Y" gives "C", "V" gives "V",
// anything else (Null, empty, R, S, I, X, stray values) gives "W". Letters compare in any case,
// as the log's columns do.
char StatusOfContact(const std::optional<std::string>& qslRcvd);

// Counts contacts into per-entity BandModes texts. Contacts without an entity ("0", empty or
// Null) or on a band outside the table are passed over.
class ProgressTally {
 public:
  void Add(const std::optional<std::string>& dxccId, const std::optional<std::string>& band,
           const std::optional<std::string>& mode, const std::optional<std::string>& qslRcvd);

  // The 44 characters of an entity; all "-" for an entity without counted contacts.
  std::string BandModes(const std::string& dxccId) const;

  // Entities with at least one counted contact, with their texts.
  const std::map<std::string, std::string>& Entities() const { return entities_; }

 private:
  std::map<std::string, std::string> entities_;
};

}  // namespace zorvik::logtools
