-- Adds the indexes the print server's lookups rely on, the table of its
-- outlet lease, the print journal table a server reads after taking over and
-- the triggers that wake it when a row starts waiting, to an existing order
-- database (PostgreSQL 11 or later). Safe to run again: an index or table
-- already there is kept, the triggers are made anew.

CREATE INDEX IF NOT EXISTS ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
CREATE INDEX IF NOT EXISTS ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);

CREATE TABLE IF NOT EXISTS kps_outlet_lease (
    LeaseName VARCHAR(200) NOT NULL PRIMARY KEY,
    Holder VARCHAR(300) NOT NULL,
    Locked INTEGER NOT NULL DEFAULT 0,
    ExpiresAt TIMESTAMP NOT NULL
);

CREATE TABLE IF NOT EXISTS kps_print_journal (
    ItemKey VARCHAR(200) NOT NULL,
    Writer VARCHAR(100) NOT NULL,
    Job BIGINT NOT NULL,
    Device VARCHAR(60),
    StartedAt VARCHAR(19)
);
CREATE INDEX IF NOT EXISTS ix_print_journal_item ON kps_print_journal (ItemKey);

-- Wakes the print server (LISTEN kps_waiting) as soon as a row starts
-- waiting to print, instead of at its next second.
CREATE OR REPLACE FUNCTION kps_notify_waiting() RETURNS trigger LANGUAGE plpgsql
    AS 'BEGIN PERFORM pg_notify(''kps_waiting'', ''''); RETURN NULL; END';
DROP TRIGGER IF EXISTS kps_waiting_items ON kelt_trs_printingdetails;
CREATE TRIGGER kps_waiting_items AFTER INSERT OR UPDATE OF PrintStatus ON kelt_trs_printingdetails
    FOR EACH ROW WHEN (NEW.PrintStatus = 0) EXECUTE FUNCTION kps_notify_waiting();
DROP TRIGGER IF EXISTS kps_waiting_notices ON kelt_trs_printkitchen;
CREATE TRIGGER kps_waiting_notices AFTER INSERT OR UPDATE OF PrintStatus ON kelt_trs_printkitchen
    FOR EACH ROW WHEN (NEW.PrintStatus = 0) EXECUTE FUNCTION kps_notify_waiting();
