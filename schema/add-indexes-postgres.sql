-- Adds the indexes the print server's lookups rely on to an existing order
-- database (PostgreSQL). Safe to run again: an index already there is kept.

CREATE INDEX IF NOT EXISTS ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
CREATE INDEX IF NOT EXISTS ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);
CREATE INDEX IF NOT EXISTS ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);
