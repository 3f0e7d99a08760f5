-- Master data of a small demo outlet: one hot kitchen printing to a file, one
-- bar printer on the network that diverts to a second network printer by the
-- bar. RefOutlet has no "O" at position 74, so tickets are grouped by table.
-- The bar's snacks are named in Chinese, Thai and Arabic: its printer is in
-- "auto", so those lines come out drawn as images.

INSERT INTO Kelt_mt_Outlet (OutletCode, OutletName, RefOutlet)
VALUES ('OUT01', 'Demo Bistro', 'NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN');

INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName, RefPrinterGroup)
VALUES ('KIT', 'Hot Kitchen', 'O');
INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName, RefPrinterGroup)
VALUES ('BAR', 'Bar', 'XO');

INSERT INTO kelt_mt_printerModel (PrinterCode, PrinterModelName)
VALUES ('RCPT80', '80 mm receipt printer');

INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode, OptionPrinter1,
    DirectPort, LDNName, PrinterFont1, PrinterFont2, PrinterFont3, PrinterFont4, PrinterRowLine,
    WP_FileName)
VALUES (1, 'KITCHEN1', 'D', 'RCPT80', NULL, 'kitchen1.prn', NULL, NULL, NULL, NULL, NULL, 40,
    'Kit001.ini');
INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode, OptionPrinter1,
    DirectPort, LDNName, PrinterFont1, PrinterFont2, PrinterFont3, PrinterFont4, PrinterRowLine,
    WP_FileName)
VALUES (2, 'BAR1', 'O', 'RCPT80', 3, NULL, '127.0.0.1', NULL, NULL, NULL, NULL, 40,
    'Kit001.ini');
INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode, OptionPrinter1,
    DirectPort, LDNName, PrinterFont1, PrinterFont2, PrinterFont3, PrinterFont4, PrinterRowLine,
    WP_FileName)
VALUES (3, 'BAR2', 'O', 'RCPT80', NULL, NULL, '127.0.0.1', NULL, NULL, NULL, NULL, 40,
    'Kit001.ini');

INSERT INTO Kelt_mt_Service (ServiceType, ServiceName, BillCaption) VALUES ('D', 'Dine In', 'DINE IN');
INSERT INTO Kelt_mt_Service (ServiceType, ServiceName, BillCaption) VALUES ('T', 'Take Away', 'TAKE AWAY');

INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F001', 'Tomato Soup', 'BOWL', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F002', 'Caesar Salad', 'PLATE', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F003', 'Grilled Salmon', 'PLATE', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F004', 'Beef Burger', 'PLATE', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F005', 'Chicken Curry', 'PLATE', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F006', 'Fried Rice', 'PLATE', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F007', 'French Fries', 'PORTION', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('F008', 'Crème Brûlée', 'PORTION', 'KIT');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B001', 'Espresso', 'CUP', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B002', 'Fresh Orange Juice', 'GLASS', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B003', 'Iced Lemon Tea', 'GLASS', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B004', 'House Red Wine', 'GLASS', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B005', '饺子', 'PLATE', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B006', 'ผัดไทย', 'PLATE', 'BAR');
INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure, RefPrinterGroupCode) VALUES ('B007', 'فلافل', 'PLATE', 'BAR');
