#include "ContactWriter.h"

#include <sqlite3.h>

namespace zorvik::logtools {

ContactWriter::ContactWriter(LogConnection& log)
    : log_(log),
      insert_(log,
              "INSERT INTO QSOs (Call, QSO_Begin, QSO_End, Freq, Band, Mode, DXCCID, DXCCPrefix, "
              "QSL_Sent, QSL_Rcvd, QSL_Via, QSLMsg, Operator, RST_Sent, RST_Rcvd, MYQTHID, "
              "BAND_RX, FREQ_RX, PROP_MODE, SAT_NAME, SAT_MODE, Name, Address, TX_Power, QTH, "
              "CONTEST_ID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, "
              "?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, ?26)") {}

std::int64_t ContactWriter::Append(const Contact& c) {
  insert_.Reset();
  insert_.BindOptional(1, c.call);
  insert_.BindOptional(2, c.qsoBegin);
  insert_.BindOptional(3, c.qsoEnd);
  insert_.BindReal(4, c.freq);
  insert_.BindOptional(5, c.band);
  insert_.BindOptional(6, c.mode);
  insert_.BindOptional(7, c.dxccId);
  insert_.BindOptional(8, c.dxccPrefix);
  insert_.BindOptional(9, c.qslSent);
  insert_.BindOptional(10, c.qslRcvd);
  insert_.BindOptional(11, c.qslVia);
  insert_.BindOptional(12, c.qslMsg);
  insert_.BindOptional(13, c.operatorCall);
  insert_.BindOptional(14, c.rstSent);
  insert_.BindOptional(15, c.rstRcvd);
  insert_.BindOptional(16, c.myQthId);
  insert_.BindOptional(17, c.bandRx);
  insert_.BindReal(18, c.freqRx);
  insert_.BindOptional(19, c.propMode);
  insert_.BindOptional(20, c.satName);
  insert_.BindOptional(21, c.satMode);
  insert_.BindOptional(22, c.name);
  insert_.BindOptional(23, c.address);
  insert_.BindOptional(24, c.txPower);
  insert_.BindOptional(25, c.qth);
  insert_.BindOptional(26, c.contestId);
  insert_.Step();
  return sqlite3_last_insert_rowid(log_.Handle());
}

}  // namespace zorvik::logtools
