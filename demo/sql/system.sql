-- System database of the demo installation (attached as VXSYS): programs,
-- companies, users, settings, system information, the message catalogue, the
-- validator's query definitions, saved schemes and the alert configuration.
-- Loaded by vxdemodb into a fresh file; every statement is plain SQL.

CREATE TABLE ADMMB (
  MB001 TEXT NOT NULL PRIMARY KEY,   -- program id
  MB002 TEXT NOT NULL,               -- name, Simplified Chinese
  MB003 TEXT NOT NULL,               -- name, Traditional Chinese
  MB004 TEXT NOT NULL,               -- kind: B batch, R report
  MB005 TEXT NOT NULL DEFAULT 'N',   -- Y: the direct run is disabled
  MB006 TEXT NOT NULL,               -- system code
  MB007 TEXT NOT NULL DEFAULT '',    -- remark
  MB008 TEXT NOT NULL                -- name, English
);
INSERT INTO ADMMB VALUES
  ('STKB17', '盘点帐面量重计', '盤點帳面量重計', 'B', 'N', 'STK', '按库存交易重算盘点底稿的帐面数量', 'Stocktaking Book Quantity Recount'),
  ('STKB05', '库存成本重计', '庫存成本重計', 'B', 'Y', 'STK', '月结时由系统执行', 'Inventory Cost Recount'),
  ('STKR01', '库存明细表', '庫存明細表', 'R', 'N', 'STK', '', 'Stock Ledger Report'),
  ('STKR12', '盘点差异表', '盤點差異表', 'R', 'N', 'STK', '', 'Stocktaking Variance Report'),
  ('PURB02', '采购单结案', '採購單結案', 'B', 'N', 'PUR', '', 'Purchase Order Close');

-- System information of each company.
CREATE TABLE VRXSYS (
  COMPANY TEXT NOT NULL,
  NAME TEXT NOT NULL,
  VALUE TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (COMPANY, NAME)
);
INSERT INTO VRXSYS VALUES
  ('DEMO', 'VRX002', '示范公司'),
  ('DEMO', 'Sys001', '1'),
  ('DEMO', 'Sys002', '/'),
  ('DEMO', 'SYS007', '商品大类'),
  ('DEMO', 'SYS008', '商品中类'),
  ('DEMO', 'SYS009', '商品品牌'),
  ('DEMO', 'SYS010', '商品季节');

-- Companies: id, name, database file (in the folder of the system database).
CREATE TABLE DSCMA (
  MA001 TEXT NOT NULL PRIMARY KEY,
  MA002 TEXT NOT NULL,
  MA003 TEXT NOT NULL
);
INSERT INTO DSCMA VALUES ('DEMO', '示范公司', 'DEMO.db');

-- Users.
CREATE TABLE VRXMA (
  MA001 TEXT NOT NULL PRIMARY KEY,   -- user id
  MA002 TEXT NOT NULL,               -- name
  MA003 TEXT NOT NULL DEFAULT '',    -- mobile
  MA004 TEXT NOT NULL DEFAULT '',    -- e-mail
  MA005 TEXT NOT NULL DEFAULT 'N'    -- Y: also a portal user
);
INSERT INTO VRXMA VALUES
  ('DS', '系统管理员', '13800000001', 'ds@demo.example', 'Y'),
  ('WANGL', '王丽', '13800000002', 'wangl@demo.example', 'N'),
  ('CHENJ', '陈杰', '13800000003', 'chenj@demo.example', 'N'),
  ('LIUY', '刘洋', '', 'liuy@demo.example', 'Y'),
  ('ZHAOM', '赵敏', '13800000005', '', 'N');

-- Installation settings.
CREATE TABLE VRXINTMA (
  MA001 TEXT NOT NULL PRIMARY KEY,   -- key
  MA002 TEXT NOT NULL DEFAULT '',    -- description
  MA003 TEXT NOT NULL DEFAULT ''     -- value
);
INSERT INTO VRXINTMA VALUES
  ('StartupPortal', '启用企业门户 (Y/N)', 'N'),
  ('Portal WS', '企业门户 Web 服务地址', '');

-- Message catalogue: templates take their arguments as "%s", in order.
CREATE TABLE VRXMSG (
  KIND TEXT NOT NULL,
  ID TEXT NOT NULL,
  CHS TEXT NOT NULL,
  CHT TEXT NOT NULL,
  ENG TEXT NOT NULL,
  PRIMARY KEY (KIND, ID)
);
INSERT INTO VRXMSG VALUES
  ('E', '000001', '%s不存在或不正确!', '%s不存在或不正確!', '%s does not exist or is not valid!'),
  ('W', '000004', '%s不符合条件, 请确认!', '%s不符合條件, 請確認!', '%s does not meet the conditions; please check!'),
  ('W', '000002', '%s的个数应为 %s, 实际上限为 %s!', '%s的個數應為 %s, 實際上限為 %s!', '%s should have %s entries, but its upper bound is %s!'),
  ('W', '000003', '%s共 %s 项, 第 %s 项没有内容!', '%s共 %s 項, 第 %s 項沒有內容!', '%s has %s entries; entry %s is empty!'),
  ('I', '000003', '没有可提交的选择条件!%s', '沒有可提交的選擇條件!%s', 'There are no options to submit!%s'),
  ('W', '000014', '外壳传入的参数与画面栏位不符!', '外殼傳入的參數與畫面欄位不符!', 'The values passed by the shell do not fit the fields of this form!'),
  ('E', '000005', '日期不正确!%s', '日期不正確!%s', 'The date is not valid!%s'),
  ('E', '000006', '无法连接应用服务器!', '無法連接應用伺服器!', 'Cannot connect to the application server!'),
  ('E', '000013', '作业提交失败! 原因: %s', '作業提交失敗! 原因: %s', 'The job was not accepted! Reason: %s'),
  ('E', '000030', '参数阵列建立失败!%s', '參數陣列建立失敗!%s', 'The parameter array could not be built!%s'),
  ('I', '000011', '(选择条件标题)', '(選擇條件標題)', '(option captions)'),
  ('E', '000036', '画面的系统代号与程序代号不符!', '畫面的系統代號與程式代號不符!', 'The system code of the form does not match the program id!'),
  ('E', '000037', '必填栏位不可空白!', '必填欄位不可空白!', 'A required field is empty!'),
  ('E', '000038', '外壳传入的启动参数不足!', '外殼傳入的啟動參數不足!', 'The start-up array from the shell is incomplete!'),
  ('I', '000004', '作业已提交, 作业编号: %s', '作業已提交, 作業編號: %s', 'The job was submitted as %s'),
  ('I', '000008', '输入的资料', '輸入的資料', 'The value entered'),
  ('I', '000009', ' 请输入有效的日期', ' 請輸入有效的日期', ' Please enter a valid date'),
  ('I', '000010', ' (年/月/日)', ' (年/月/日)', ' (year/month/day)'),
  ('E', '100082', '%s不可早于%s!', '%s不可早於%s!', '%s cannot be earlier than %s!'),
  ('R', '200235', '方案内容无法还原到画面!', '方案內容無法還原到畫面!', 'The saved scheme could not be put back into the form!'),
  ('E', '000015', '读取客户端设定失败!', '讀取客戶端設定失敗!', 'The client configuration could not be read!'),
  ('E', '000016', '读取服务器设定失败!', '讀取伺服器設定失敗!', 'The server configuration could not be read!');

-- Query definitions of the validator. SQL_TEXT runs on the company
-- connection; "$$" stands for the system database name followed by "..";
-- :P1, :P2 ... take the argument array's elements 0, 1 ... Kind C (check)
-- answers its first row, kind L (list) every row. MIN_PRODUCT: the lowest
-- ProductID the definition serves (0: all). LIMIT_COLUMN: the column a
-- BaseLimited text restricts ('' none).
CREATE TABLE VRXQRY (
  TABLE_NAME TEXT NOT NULL,
  QUERY_NO TEXT NOT NULL,
  KIND TEXT NOT NULL CHECK (KIND IN ('C', 'L')),
  SQL_TEXT TEXT NOT NULL,
  MIN_PRODUCT INTEGER NOT NULL DEFAULT 0,
  LIMIT_COLUMN TEXT NOT NULL DEFAULT '',
  REMARK TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (TABLE_NAME, QUERY_NO)
);
INSERT INTO VRXQRY VALUES
  ('ADMMB', '01', 'C',
   'SELECT MB002, MB003, MB004, MB005, MB006, MB007, MB001, MB008 FROM $$ADMMB WHERE UPPER(MB001) = UPPER(:P1)',
   0, '', 'program names; element 7 the English name'),
  ('ADMMB', '11', 'C',
   'SELECT MB001, MB004, MB006, MB005 FROM $$ADMMB WHERE UPPER(MB001) = UPPER(:P1)',
   0, '', 'element 3: Y when the direct run is disabled'),
  ('INVTE', '01', 'L',
   'SELECT TE001, TE002, TE003 FROM INVTE WHERE TE001 LIKE :P1 || ''%'' ORDER BY TE001',
   0, 'TE004', 'F2 list of stocktaking worksheets'),
  ('INVTE', '02', 'C',
   'SELECT TE002 FROM INVTE WHERE TE001 = :P1',
   0, 'TE004', 'the stocktaking date of a worksheet'),
  ('VRXMA', '04', 'L',
   'SELECT MA001, MA002, MA003, MA004 FROM $$VRXMA WHERE MA001 LIKE :P1 || ''%'' ORDER BY MA001',
   0, '', 'F2 list of users'),
  ('GENES', '01', 'C',
   'SELECT ES003 FROM $$GENES WHERE ES001 = :P1 AND ES002 = :P2 AND ES003 = :P3',
   2, '', 'a scheme of that name exists for the user and program');

-- Saved schemes (condition sets) per user and program.
CREATE TABLE GENES (
  ES001 TEXT NOT NULL,               -- user id
  ES002 TEXT NOT NULL,               -- program id
  ES003 TEXT NOT NULL,               -- scheme name
  ES004 TEXT NOT NULL DEFAULT '',    -- created "YYYYMMDDHHNNSS"
  ES005 TEXT NOT NULL DEFAULT '',    -- component names
  ES006 TEXT NOT NULL DEFAULT '',    -- values
  PRIMARY KEY (ES001, ES002, ES003)
);
INSERT INTO GENES VALUES
  ('DS', 'STKB17', '年终盘点', '20241231170000', 'ed01,me02', 'W24001,20241231');

-- Alert configuration: headers name a program (MC005), lines carry the event
-- (MD004; "6" after a direct run) and the definition MD007:
-- "<MD007><Receiver>...</Receiver><Title Value=".."/></MD007>||body||remark".
CREATE TABLE TMCMC (
  MC001 TEXT NOT NULL,
  MC002 TEXT NOT NULL,
  MC003 TEXT NOT NULL DEFAULT '',    -- description
  MC005 TEXT NOT NULL,               -- program id
  PRIMARY KEY (MC001, MC002)
);
CREATE TABLE TMCMD (
  MD001 TEXT NOT NULL,
  MD002 TEXT NOT NULL,
  MD003 TEXT NOT NULL,               -- line
  MD004 TEXT NOT NULL,               -- event
  MD006 TEXT NOT NULL DEFAULT '',    -- remark
  MD007 TEXT,                        -- alert definition
  PRIMARY KEY (MD001, MD002, MD003)
);
INSERT INTO TMCMC VALUES ('STK', '0001', '盘点帐面量重计完成通知', 'STKB17');
INSERT INTO TMCMD VALUES
  ('STK', '0001', '0001', '6', '通知仓管',
   '<MD007><Receiver><R1 ID="DS" Name="系统管理员" Type="1" Msg="YNN"/><R2 ID="WANGL" Name="王丽" Mob="13800000002" Type="1" Msg="YYN"/></Receiver><Title Value="盘点帐面量已重计"/></MD007>||盘点底稿的帐面数量已按库存交易重新计算。[**********]请复核盘点差异后过帐。||STKB17 直接处理'),
  ('STK', '0001', '0002', '6', '通知财务',
   '<MD007><Receiver><R1 ID="CHENJ" Name="陈杰" Mail="chenj@demo.example" Type="1" Msg="YNY"/></Receiver><Title Value="盘点帐面量重计通知"/></MD007>||[**********]帐面数量已更新, 请核对库存金额。||财务'),
  ('STK', '0001', '0003', '6', '停用', '  '),
  ('STK', '0001', '0004', '5', '其他事件', '<MD007><Receiver/><Title Value="x"/></MD007>||不属于直接处理||');
