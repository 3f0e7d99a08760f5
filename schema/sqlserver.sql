-- Order database of one outlet on Microsoft SQL Server (the terminals create
-- it; this script is for a test server). Names are unquoted and text is
-- NVARCHAR. Master tables carry no ID column, so "order by id" in the joins
-- names the work table's ID alone.

CREATE TABLE Kelt_mt_Outlet (
    OutletCode NVARCHAR(20) NOT NULL PRIMARY KEY,
    OutletName NVARCHAR(60),
    RefOutlet NVARCHAR(200)
);

CREATE TABLE Kelt_mt_PrinterGroup (
    PrinterGroupCode NVARCHAR(20) NOT NULL PRIMARY KEY,
    PrinterGroupName NVARCHAR(60),
    RefPrinterGroup NVARCHAR(100)
);

CREATE TABLE kelt_mt_printerModel (
    PrinterCode NVARCHAR(20) NOT NULL PRIMARY KEY,
    PrinterModelName NVARCHAR(60)
);

CREATE TABLE Kelt_mt_Device (
    DeviceCode INT NOT NULL PRIMARY KEY,
    DeviceName NVARCHAR(60),
    PrinterType NVARCHAR(1),
    PrinterCode NVARCHAR(20),
    OptionPrinter1 INT,
    DirectPort NVARCHAR(200),
    LDNName NVARCHAR(60),
    PrinterFont1 NVARCHAR(60),
    PrinterFont2 NVARCHAR(60),
    PrinterFont3 NVARCHAR(60),
    PrinterFont4 NVARCHAR(60),
    PrinterRowLine INT,
    WP_FileName NVARCHAR(200)
);

CREATE TABLE Kelt_mt_Service (
    ServiceType NVARCHAR(5) NOT NULL PRIMARY KEY,
    ServiceName NVARCHAR(60),
    BillCaption NVARCHAR(60)
);

CREATE TABLE mrex_mt_item (
    ItemCode NVARCHAR(20) NOT NULL PRIMARY KEY,
    ItemName NVARCHAR(100),
    BasedMeasure NVARCHAR(20),
    RefPrinterGroupCode NVARCHAR(20)
);

CREATE TABLE Kelt_trs_BillDetails (
    ID INT IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    BillNo NVARCHAR(20),
    ItemCode NVARCHAR(20),
    Quantity NUMERIC(18, 3),
    KitchenStatus INT NOT NULL DEFAULT 0
);

CREATE TABLE kelt_trs_printingdetails (
    ID INT IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    TRSID INT,
    TableCode NVARCHAR(20),
    ItemCode NVARCHAR(20),
    PluCode NVARCHAR(20),
    Quantity NUMERIC(18, 3),
    BillNo NVARCHAR(20),
    TrsNo NVARCHAR(20),
    PosDescription NVARCHAR(100),
    PosDescription1 NVARCHAR(100),
    PosDescription2 NVARCHAR(100),
    PosDescription3 NVARCHAR(100),
    UnitPrice NUMERIC(18, 2),
    Amount NUMERIC(18, 2),
    Remark1 NVARCHAR(100),
    Remark2 NVARCHAR(100),
    Remark3 NVARCHAR(100),
    Remark4 NVARCHAR(100),
    Remark5 NVARCHAR(100),
    ServiceType NVARCHAR(5),
    VoidRemark NVARCHAR(100),
    RePrintRemark NVARCHAR(100),
    KitStatus NVARCHAR(60),
    KitReference NVARCHAR(60),
    PaxNo INT,
    StaffName NVARCHAR(60),
    BillRef1 NVARCHAR(60),
    BillRef2 NVARCHAR(60),
    BillRef3 NVARCHAR(60),
    AgentCode NVARCHAR(20),
    AgentName NVARCHAR(60),
    ClientCode NVARCHAR(20),
    ClientName NVARCHAR(100),
    PrintStatus INT NOT NULL DEFAULT 0
);

CREATE INDEX ix_printingdetails_waiting ON kelt_trs_printingdetails (PrintStatus, ID);
-- A ticket gathers the waiting rows of one table or of one item code.
CREATE INDEX ix_printingdetails_table ON kelt_trs_printingdetails (TableCode, PrintStatus);
CREATE INDEX ix_printingdetails_item ON kelt_trs_printingdetails (ItemCode, PrintStatus);

CREATE TABLE kelt_trs_printkitchen (
    ID INT IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    PrinterGroupCode NVARCHAR(20),
    Remark1 NVARCHAR(100),
    Remark2 NVARCHAR(100),
    Remark3 NVARCHAR(100),
    Remark4 NVARCHAR(100),
    Remark5 NVARCHAR(100),
    FromTableCode NVARCHAR(20),
    ToTableCode NVARCHAR(20),
    TrsDate DATE,
    TrsTime TIME(0),
    PrintStatus INT NOT NULL DEFAULT 0
);

CREATE INDEX ix_printkitchen_waiting ON kelt_trs_printkitchen (PrintStatus);

-- The print server's outlet lease: which server prints for an outlet, until
-- when by the database's clock (UTC).
CREATE TABLE kps_outlet_lease (
    LeaseName NVARCHAR(200) NOT NULL PRIMARY KEY,
    Holder NVARCHAR(300) NOT NULL,
    Locked INT NOT NULL DEFAULT 0,
    ExpiresAt DATETIME2 NOT NULL
);

-- The print server's own: what its printers were sent and not yet marked
-- printed, read by whichever server prints next.
CREATE TABLE kps_print_journal (
    ItemKey NVARCHAR(200) NOT NULL,
    Writer NVARCHAR(100) NOT NULL,
    Job BIGINT NOT NULL,
    Device NVARCHAR(60),
    StartedAt NVARCHAR(19)
);

CREATE INDEX ix_print_journal_item ON kps_print_journal (ItemKey);
