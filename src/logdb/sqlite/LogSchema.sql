-- The log file: an SQLite 3 database with these four tables. The program reads and writes only
-- the columns named here and works on any SQLite file that has them (extra columns, other tables
-- and indexes are left alone). Text columns compare without regard to case, as DXKeeper's engine
-- does. Dates and date-times are ISO 8601 text "YYYY-MM-DD HH:MM:SS" in UTC. Rows are addressed by
-- SQLite's rowid, so the tables must be ordinary rowid tables.

CREATE TABLE QSOs (
  Call        TEXT COLLATE NOCASE,
  QSO_Begin   TEXT COLLATE NOCASE,   -- start of the contact, UTC
  QSO_End     TEXT COLLATE NOCASE,   -- end of the contact, UTC
  Freq        REAL,                  -- MHz
  Band        TEXT COLLATE NOCASE,   -- "20M", "160M", "70CM", upper case as DXKeeper stores it
  Mode        TEXT COLLATE NOCASE,
  DXCCID      TEXT COLLATE NOCASE,   -- DXCC entity code as text, "0" for none
  DXCCPrefix  TEXT COLLATE NOCASE,
  QSL_Sent    TEXT COLLATE NOCASE,   -- R or Y, or empty/Null
  QSL_Rcvd    TEXT COLLATE NOCASE,   -- R, Y, S, V, I, X, or empty/Null
  QSL_Via     TEXT COLLATE NOCASE,
  QSLMsg      TEXT COLLATE NOCASE,
  Operator    TEXT COLLATE NOCASE,
  RST_Sent    TEXT COLLATE NOCASE,
  RST_Rcvd    TEXT COLLATE NOCASE,
  MYQTHID     TEXT COLLATE NOCASE,
  BAND_RX     TEXT COLLATE NOCASE,
  FREQ_RX     REAL,
  PROP_MODE   TEXT COLLATE NOCASE,
  SAT_NAME    TEXT COLLATE NOCASE,
  SAT_MODE    TEXT COLLATE NOCASE,
  Name        TEXT COLLATE NOCASE,
  Address     TEXT COLLATE NOCASE,
  TX_Power    TEXT COLLATE NOCASE,
  QTH         TEXT COLLATE NOCASE,
  CONTEST_ID  TEXT COLLATE NOCASE
);

-- One row per DXCC entity: BandModes holds 44 status characters, four runs of eleven bands
-- (160M 80M 40M 30M 20M 17M 15M 12M 10M 6M 2M) for the mode groups AM/FM/SSB, CW, other modes,
-- PSK31/PSK63/PSK125. "W" = worked, not confirmed; "C" = confirmed by card; "-" = not worked.
CREATE TABLE Progress (
  CountryCode TEXT COLLATE NOCASE,
  Prefix      TEXT COLLATE NOCASE,
  BandModes   TEXT COLLATE NOCASE
);

-- The operator's own locations; the queue rows copy the first row's address fields.
CREATE TABLE QTHs (
  QTHID         TEXT COLLATE NOCASE,
  City          TEXT COLLATE NOCASE,
  County        TEXT COLLATE NOCASE,
  State         TEXT COLLATE NOCASE,
  Country       TEXT COLLATE NOCASE,
  Grid          TEXT COLLATE NOCASE,
  Latitude      TEXT COLLATE NOCASE,
  Longitude     TEXT COLLATE NOCASE,
  CQZone        TEXT COLLATE NOCASE,
  ITUZone       TEXT COLLATE NOCASE,
  Iota          TEXT COLLATE NOCASE,
  StreetAddress TEXT COLLATE NOCASE,
  PostalCode    TEXT COLLATE NOCASE
);

-- DXKeeper's QSL print queue.
CREATE TABLE PrintQueue (
  Call          TEXT COLLATE NOCASE,
  DXCC          TEXT COLLATE NOCASE,
  QSO_Begin     TEXT COLLATE NOCASE,
  RST_Sent      TEXT COLLATE NOCASE,
  RST_Rcvd      TEXT COLLATE NOCASE,
  mode          TEXT COLLATE NOCASE,
  Freq          REAL,
  band          TEXT COLLATE NOCASE,
  via           TEXT COLLATE NOCASE,
  Operator      TEXT COLLATE NOCASE,
  QSL_Rcvd      TEXT COLLATE NOCASE,
  Incidence     TEXT COLLATE NOCASE,
  "Unique"      TEXT COLLATE NOCASE,
  Needed        TEXT COLLATE NOCASE,
  Notes         TEXT COLLATE NOCASE,
  Enabled       TEXT COLLATE NOCASE,
  MYQTHID       TEXT COLLATE NOCASE,
  City          TEXT COLLATE NOCASE,
  County        TEXT COLLATE NOCASE,
  State         TEXT COLLATE NOCASE,
  Country       TEXT COLLATE NOCASE,
  Grid          TEXT COLLATE NOCASE,
  Latitude      TEXT COLLATE NOCASE,
  Longitude     TEXT COLLATE NOCASE,
  CQZone        TEXT COLLATE NOCASE,
  ITUZone       TEXT COLLATE NOCASE,
  Iota          TEXT COLLATE NOCASE,
  StreetAddress TEXT COLLATE NOCASE,
  PostalCode    TEXT COLLATE NOCASE,
  BAND_RX       TEXT COLLATE NOCASE,
  FREQ_RX       REAL,
  PROP_MODE     TEXT COLLATE NOCASE,
  SAT_NAME      TEXT COLLATE NOCASE,
  SAT_MODE      TEXT COLLATE NOCASE,
  dxccid        TEXT COLLATE NOCASE,
  Name          TEXT COLLATE NOCASE,
  Address       TEXT COLLATE NOCASE,
  TX_Power      TEXT COLLATE NOCASE,
  QTH           TEXT COLLATE NOCASE,
  CONTEST_ID    TEXT COLLATE NOCASE
);
