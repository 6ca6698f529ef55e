-- The entry database: one row per entry.
-- lngID is AUTOINCREMENT so that an id, once used, never comes back for another entry.
-- strName compares without regard to letter case, as names are looked up that way.
CREATE TABLE tblCofra (
    lngID       INTEGER PRIMARY KEY AUTOINCREMENT,
    strName     TEXT COLLATE NOCASE,
    strPassHint TEXT,
    strEntry    TEXT
);
CREATE INDEX idxCofraName ON tblCofra (strName);
