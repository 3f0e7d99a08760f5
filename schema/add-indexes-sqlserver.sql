-- Adds the indexes the print server's lookups rely on, the table of its
-- outlet lease and the print journal table a server reads after taking over,
-- to an existing order database (Microsoft SQL Server). Safe to run again:
-- an index or table already there is kept.

IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'ix_printingdetails_waiting'
               AND object_id = OBJECT_ID('kelt_trs_printingdetails'))
    CREATE INDEX ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'ix_printingdetails_table'
               AND object_id = OBJECT_ID('kelt_trs_printingdetails'))
    CREATE INDEX ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'ix_printingdetails_item'
               AND object_id = OBJECT_ID('kelt_trs_printingdetails'))
    CREATE INDEX ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'ix_printkitchen_waiting'
               AND object_id = OBJECT_ID('kelt_trs_printkitchen'))
    CREATE INDEX ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);
IF OBJECT_ID('kps_outlet_lease') IS NULL
    CREATE TABLE kps_outlet_lease (
        LeaseName NVARCHAR(200) NOT NULL PRIMARY KEY,
        Holder NVARCHAR(300) NOT NULL,
        Locked INT NOT NULL DEFAULT 0,
        ExpiresAt DATETIME2 NOT NULL
    );

IF OBJECT_ID('kps_print_journal') IS NULL
    CREATE TABLE kps_print_journal (
        ItemKey NVARCHAR(200) NOT NULL,
        Writer NVARCHAR(100) NOT NULL,
        Job BIGINT NOT NULL,
        Device NVARCHAR(60),
        StartedAt NVARCHAR(19)
    );
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'ix_print_journal_item'
               AND object_id = OBJECT_ID('kps_print_journal'))
    CREATE INDEX ix_print_journal_item ON kps_print_journal (ItemKey);
