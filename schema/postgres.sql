-- Order database of one outlet on PostgreSQL. Names are unquoted so that
-- every statement of the server finds them whatever case it writes them in.
-- Master tables carry no ID column, so "order by id" in the joins names the
-- work table's ID alone.

CREATE TABLE Kelt_mt_Outlet (
    OutletCode VARCHAR(20) NOT NULL PRIMARY KEY,
    OutletName VARCHAR(60),
    RefOutlet VARCHAR(200)
);

CREATE TABLE Kelt_mt_PrinterGroup (
    PrinterGroupCode VARCHAR(20) NOT NULL PRIMARY KEY,
    PrinterGroupName VARCHAR(60),
    RefPrinterGroup VARCHAR(100)
);

CREATE TABLE kelt_mt_printerModel (
    PrinterCode VARCHAR(20) NOT NULL PRIMARY KEY,
    PrinterModelName VARCHAR(60)
);

CREATE TABLE Kelt_mt_Device (
    DeviceCode INTEGER NOT NULL PRIMARY KEY,
    DeviceName VARCHAR(60),
    PrinterType VARCHAR(1),
    PrinterCode VARCHAR(20),
    OptionPrinter1 INTEGER,
    DirectPort VARCHAR(200),
    LDNName VARCHAR(60),
    PrinterFont1 VARCHAR(60),
    PrinterFont2 VARCHAR(60),
    PrinterFont3 VARCHAR(60),
    PrinterFont4 VARCHAR(60),
    PrinterRowLine INTEGER,
    WP_FileName VARCHAR(200)
);

CREATE TABLE Kelt_mt_Service (
    ServiceType VARCHAR(5) NOT NULL PRIMARY KEY,
    ServiceName VARCHAR(60),
    BillCaption VARCHAR(60)
);

CREATE TABLE mrex_mt_item (
    ItemCode VARCHAR(20) NOT NULL PRIMARY KEY,
    ItemName VARCHAR(100),
    BasedMeasure VARCHAR(20),
    RefPrinterGroupCode VARCHAR(20)
);

CREATE TABLE Kelt_trs_BillDetails (
    ID SERIAL PRIMARY KEY,
    BillNo VARCHAR(20),
    ItemCode VARCHAR(20),
    Quantity NUMERIC(18, 3),
    KitchenStatus INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE kelt_trs_printingdetails (
    ID SERIAL PRIMARY KEY,
    TRSID INTEGER,
    TableCode VARCHAR(20),
    ItemCode VARCHAR(20),
    PluCode VARCHAR(20),
    Quantity NUMERIC(18, 3),
    BillNo VARCHAR(20),
    TrsNo VARCHAR(20),
    PosDescription VARCHAR(100),
    PosDescription1 VARCHAR(100),
    PosDescription2 VARCHAR(100),
    PosDescription3 VARCHAR(100),
    UnitPrice NUMERIC(18, 2),
    Amount NUMERIC(18, 2),
    Remark1 VARCHAR(100),
    Remark2 VARCHAR(100),
    Remark3 VARCHAR(100),
    Remark4 VARCHAR(100),
    Remark5 VARCHAR(100),
    ServiceType VARCHAR(5),
    VoidRemark VARCHAR(100),
    RePrintRemark VARCHAR(100),
    KitStatus VARCHAR(60),
    KitReference VARCHAR(60),
    PaxNo INTEGER,
    StaffName VARCHAR(60),
    BillRef1 VARCHAR(60),
    BillRef2 VARCHAR(60),
    BillRef3 VARCHAR(60),
    AgentCode VARCHAR(20),
    AgentName VARCHAR(60),
    ClientCode VARCHAR(20),
    ClientName VARCHAR(100),
    PrintStatus INTEGER NOT NULL DEFAULT 0
);

CREATE INDEX ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
-- A ticket gathers the waiting rows of one table or of one item code.
CREATE INDEX ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
CREATE INDEX ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);

CREATE TABLE kelt_trs_printkitchen (
    ID SERIAL PRIMARY KEY,
    PrinterGroupCode VARCHAR(20),
    Remark1 VARCHAR(100),
    Remark2 VARCHAR(100),
    Remark3 VARCHAR(100),
    Remark4 VARCHAR(100),
    Remark5 VARCHAR(100),
    FromTableCode VARCHAR(20),
    ToTableCode VARCHAR(20),
    TrsDate DATE,
    TrsTime TIME,
    PrintStatus INTEGER NOT NULL DEFAULT 0
);

CREATE INDEX ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);

-- The print server's outlet lease: which server prints for an outlet, until
-- when by the database's clock (UTC).
CREATE TABLE kps_outlet_lease (
    LeaseName VARCHAR(200) NOT NULL PRIMARY KEY,
    Holder VARCHAR(300) NOT NULL,
    Locked INTEGER NOT NULL DEFAULT 0,
    ExpiresAt TIMESTAMP NOT NULL
);

-- The print server's own: what its printers were sent and not yet marked
-- printed, read by whichever server prints next.
CREATE TABLE kps_print_journal (
    ItemKey VARCHAR(200) NOT NULL,
    Writer VARCHAR(100) NOT NULL,
    Job BIGINT NOT NULL,
    Device VARCHAR(60),
    StartedAt VARCHAR(19)
);

CREATE INDEX ix_print_journal_item ON kps_print_journal (ItemKey);

-- Wakes the print server (LISTEN kps_waiting) as soon as a row starts
-- waiting to print, instead of at its next second.
CREATE OR REPLACE FUNCTION kps_notify_waiting() RETURNS trigger LANGUAGE plpgsql
    AS 'BEGIN PERFORM pg_notify(''kps_waiting'', ''''); RETURN NULL; END';
CREATE TRIGGER kps_waiting_items AFTER INSERT OR UPDATE OF PrintStatus ON kelt_trs_printingdetails
    FOR EACH ROW WHEN (NEW.PrintStatus = 0) EXECUTE FUNCTION kps_notify_waiting();
CREATE TRIGGER kps_waiting_notices AFTER INSERT OR UPDATE OF PrintStatus ON kelt_trs_printkitchen
    FOR EACH ROW WHEN (NEW.PrintStatus = 0) EXECUTE FUNCTION kps_notify_waiting();
