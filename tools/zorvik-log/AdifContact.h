#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AdifReader.h"
#include "Contact.h"

namespace zorvik::logtools {

// A record turned into a contact, or the reasons it could not be. Warnings may come with a
// contact (a field was dropped); without a contact they say why the record was refused.
struct ContactFromRecord {
  std::optional<Contact> contact;
  std::vector<std::string> messages;
};

// Maps one ADIF record onto a QSOs row the way the host stores it:
// CALL, OPERATOR (else STATION_CALLSIGN, else `defaultOperator`) and BAND upper-cased; BAND from
// FREQ when missing; QSO_DATE + TIME_ON give QSO_Begin, QSO_DATE_OFF (else QSO_DATE) + TIME_OFF
// give QSO_End (the next day when TIME_OFF is earlier and no QSO_DATE_OFF is given; QSO_Begin
// when there is no TIME_OFF); MODE, with SUBMODE for PSK (the host files PSK31 etc. as modes);
// DXCC as the entity code, "0" when missing; QSL_SENT/QSL_RCVD as they are, upper-cased;
// QSL_VIA, QSLMSG, RST_SENT, RST_RCVD, NAME, QTH, ADDRESS, TX_PWR, CONTEST_ID, PROP_MODE,
// SAT_NAME, SAT_MODE, BAND_RX, FREQ_RX.
// A record without CALL, without a valid QSO_DATE (YYYYMMDD) or TIME_ON (HHMM or HHMMSS) is
// refused; an unreadable FREQ, DXCC or end time is dropped with a warning.
ContactFromRecord ContactFromAdif(const AdifRecord& record,
                                  const std::optional<std::string>& defaultOperator);

}  // namespace zorvik::logtools
