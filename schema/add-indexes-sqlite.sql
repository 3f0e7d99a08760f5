-- Adds the indexes the print server's lookups rely on, the table of its
-- outlet lease and the print journal table a server reads after taking over,
-- to an existing order database (SQLite). Safe to run again: an index or table
-- already there is kept.

CREATE INDEX IF NOT EXISTS ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
CREATE INDEX IF NOT EXISTS ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);

CREATE TABLE IF NOT EXISTS kps_outlet_lease (
    LeaseName VARCHAR(200) NOT NULL PRIMARY KEY,
    Holder VARCHAR(300) NOT NULL,
    Locked INTEGER NOT NULL DEFAULT 0,
    ExpiresAt TEXT NOT NULL
);

CREATE TABLE IF NOT EXISTS kps_print_journal (
    ItemKey VARCHAR(200) NOT NULL,
    Writer VARCHAR(100) NOT NULL,
    Job INTEGER NOT NULL,
    Device VARCHAR(60),
    StartedAt VARCHAR(19)
);
CREATE INDEX IF NOT EXISTS ix_print_journal_item ON kps_print_journal (ItemKey);
