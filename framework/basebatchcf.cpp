#include "framework/basebatchcf.h"

#include "lib/codepage.h"
#include "lib/edition.h"
#include "lib/strs.h"
#include "lib/system_info.h"
#include "lib/xml_helpers.h"
#include "platform/automation/dispatch.h"
#include "platform/rtl/text.h"

namespace vx {

const TClassInfo& TfrmBaseBatch::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmBaseBatch>("TfrmBaseBatch", [](auto&) {});
  return info;
}

TfrmBaseBatch::TfrmBaseBatch(TComponent* owner) : TfrmBaseOpt(owner) {
  btnQuery = new TBitBtn(this);
  btnQuery->SetName("btnQuery");
  btnQuery->SetParent(Panel1);
  btnQuery->SetCaption("直接处理");
  btnQuery->SetHint("直接处理");
  btnQuery->SetBounds(btnOk->Left() - 80, btnOk->Top(), 75, btnOk->Height());
  btnQuery->OnClick = Bind<&TfrmBaseBatch::btnQueryClick>(this);
  chkLog = new TBitCheckBox(this);
  chkLog->SetName("chkLog");
  chkLog->SetParent(tsOption2);
  chkLog->SetCaption("生成Log文档");
  ADO1 = new TVxADOConnection(this);
  ADO1->SetName("ADO1");
  Query2 = new TVxADOQuery(this);
  Query2->SetName("Query2");
  Query2->SetConnection(ADO1);
  Query3 = new TVxADOQuery(this);
  Query3->SetName("Query3");
  Query3->SetConnection(ADO1);
  lblToday->SetCaption("作业日期");
  grpGenTime->SetCaption("运行方式");
  btnOk->SetCaption("后台处理");
  btnOk->SetHint("后台处理");
}

void TfrmBaseBatch::SetupProgram() {
  TfrmBaseOpt::SetupProgram();
  ProgramKind = "B";
  FrameworkOptionCount = 2;
  ShowDoneMessage = true;
}

bool TfrmBaseBatch::FillParamCaptions(Variant& row, int module_count) {
  bool r = TfrmBaseOpt::FillParamCaptions(row, module_count);
  row[module_count + 1] = VarArrayOf({chkLog->Caption(), "chkLog"});
  return r;
}

bool TfrmBaseBatch::FillParamValues(Variant& row, int module_count) {
  bool r = TfrmBaseOpt::FillParamValues(row, module_count);
  row[module_count + 1] = chkLog->Checked() ? "Y" : "N";
  return r;
}

bool TfrmBaseBatch::InitModule(const Variant& startup) {
  bool r = TfrmBaseOpt::InitModule(startup);
  ApplyDirectRunRule(false);
  return r;
}

void TfrmBaseBatch::ApplyDirectRunRule(bool with_period) {
  if (with_period && btnPeriod->Down())
    btnQuery->SetEnabled(false);
  else
    btnQuery->SetEnabled(LocalServer);
  if (IsEarlierEdition()) return;
  Variant answer;
  if (ServerCheck("ADMMB", "11", false, answer, VarArrayOf({UpperCase(ProgramID)})) &&
      answer.IsArray() && answer.HighBound() >= answer.LowBound() + 3 &&
      VarToStr(answer[answer.LowBound() + 3]) == "Y")
    btnQuery->SetEnabled(false);
}

void TfrmBaseBatch::btnPeriodClick(TObject* sender) {
  TfrmBaseOpt::btnPeriodClick(sender);
  ApplyDirectRunRule(true);
}

bool TfrmBaseBatch::RunByShell(int mode) {
  if (mode == 5) btnQueryClick(btnQuery);
  Close();
  return true;
}

void TfrmBaseBatch::btnQueryClick(TObject*) {
  btnQuery->SetEnabled(false);
  struct Reenable {
    TBitBtn* button;
    ~Reenable() { button->SetEnabled(true); }
  } reenable{btnQuery};
  if (!CollectParams()) return;
  std::string job_id;
  try {
    ParamArray = VarAnsiToWideCP(ParamArray, 936);
    job_id = VarToStr(Call(AppServer, "Request1", {ParamArray, GetClientComputerName()}));
  } catch (...) {
    job_id = "ERROR";
  }
  bool refused = SameText(job_id, "ERROR");
  if (refused) {
    std::string reason;
    try {
      reason = VarToStr(Call(AppServer, "ErrorDescript"));
    } catch (const std::exception& e) {
      reason = ExceptionText(e);
    }
    AddMessage("E;000013;" + VxConverter()->ToUI(Variant(reason)).ToText());
  } else {
    ResultCode = 1;
    ResultValue = job_id;
    try {
      ParamArray = VarWideToAnsiCP(ParamArray, 936);
      Variant values = ParamArray[2];
      std::string sub_id = job_id.substr(0, std::min<std::size_t>(8, job_id.size())) + "0001";
      if (IsLocalHost(MainMidas->Address())) {
        RunLocal(job_id, ProgramID, "", CompanyID, UserID, ServerClass, ProgramKind, SystemDB,
                 values, 1, sub_id);
      } else {
        Variant id(job_id);
        Call(AppServer, "ExecSvrDLL",
             {Ref(id), ProgramID, "", CompanyID, UserID, ServerClass, ProgramKind, SystemDB, values,
              std::int32_t{1}, sub_id, std::int32_t{ProductID}});
      }
    } catch (const std::exception&) {
      ShowMessageText(GetLangText("TfrmBaseBatch", "sReason", true, "有问题! 原因: ") + "\r" +
                          VxConverter()->ToUI(Variant(MessageTexts)).ToText(),
                      mtError, {mbOK});
      return;
    }
    if (!IsEarlierEdition()) WriteAlertMessages();
    if (ShowDoneMessage)
      ShowMessageText(GetLangText("TfrmBaseBatch", "sOver", true, "处理完毕! ") +
                          VxConverter()->ToUI(Variant(MessageTexts)).ToText(),
                      mtInformation, {mbOK});
    if (IsEarlierEdition() && CanTakeFocus(btnQuery)) {
      btnQuery->SetEnabled(true);
      btnQuery->SetFocus();
    }
  }
  try {
    Variant id(job_id);
    Call(AppServer, "UpdateStatus1", {Ref(id), MessageTexts, Now()});
  } catch (...) {
    // the status report is a courtesy: its failure changes nothing
  }
}

void TfrmBaseBatch::WriteAlertMessages() {
  if (!ADO1->Connected()) {
    Variant conn = GetCounterValue("ResultConnectString", VarArrayOf({""}));
    ADO1->SetLoginPrompt(false);
    ADO1->SetConnectionString(VarToStr(conn));
    ADO1->Open();
  }
  std::string db = SystemDB + "..";
  std::string sql =
      " SELECT MD001, MD002, MD003, MD006, ISNULL(MD007, '') MD007  FROM $$TMCMD  "
      "LEFT JOIN $$TMCMC ON MC001 = MD001 AND MC002 = MD002  WHERE UPPER(MC005) = "
      ":MC005  AND MD004 = :MD004 ";
  for (std::size_t at = sql.find("$$"); at != std::string::npos; at = sql.find("$$", at))
    sql.replace(at, 2, db);
  Query2->Close();
  Query2->SQL()->SetText(Trim(sql));
  Query2->ParamByName("MC005").SetValue(UpperCase(ProgramID));
  Query2->ParamByName("MD004").SetValue("6");
  Query2->Open();
  Query2->First();
  while (!Query2->Eof()) {
    std::string def = Query2->FieldByName("MD007").AsString();
    if (Trim(def).empty()) {
      Query2->Next();
      continue;
    }
    Query3->Close();
    Query3->SQL()->SetText(" SELECT GETDATE() DATEX ");
    Query3->Open();
    std::string stamp =
        FormatDateTime("yyyymmddhhnnsszzz", Query3->FieldByName("DATEX").AsDateTime());
    std::string day = stamp.substr(0, 8);
    XmlDocument doc = LoadXMLText(ExtractField(def, "||", 1));
    Query3->Close();
    Query3->SQL()->SetText(
        std::string(" SELECT (SELECT CASE WHEN MAX(TC001) IS NULL THEN '") + day + "000001" + "' " +
        " ELSE CONVERT(CHAR(14), CAST(MAX(TC001) AS BIGINT) + 1) END " + " FROM " +
        " (SELECT MAX(TC001) TC001 FROM ADMTC WHERE TC004 LIKE '" + day + "%' " + " UNION " +
        " SELECT MAX(TD001) TD001 FROM ADMTD WHERE TD004 LIKE '" + day + "%') B) SEQX ");
    Query3->Open();
    std::string seq = Query3->FieldByName("SEQX").AsString();
    Query3->Close();
    Query3->SQL()->SetText(
        " INSERT INTO ADMTC (TC001, TC002, TC003, TC004, TC005, TC006, TC007, TC008, TC009,  "
        "COMPANY, CREATOR, CREATE_DATE, FLAG)  VALUES (:TC001, :TC002, :TC003, :TC004, :TC005, "
        ":TC006, :TC007, :TC008, :TC009,:COMPANY, :CREATOR, :CREATE_DATE, :FLAG) ");
    std::string receivers;
    std::string title;
    if (XmlNode node = doc.SelectSingleNode("//MD007/Receiver"))
      receivers = ReplaceText(node.Xml(), "Receiver>", "Root>", false);
    if (XmlNode node = doc.SelectSingleNode("//MD007/Title/@Value")) title = node.Text();
    Query3->ParamByName("TC001").SetValue(seq);
    Query3->ParamByName("TC002").SetValue(UserID);
    Query3->ParamByName("TC003").SetValue(
        Trim("<?xml version=\"1.0\" encoding=\"GB2312\"?>" + receivers));
    Query3->ParamByName("TC004").SetValue(stamp);
    Query3->ParamByName("TC005").SetValue("N");
    Query3->ParamByName("TC006").SetValue(title);
    Query3->ParamByName("TC007").SetValue(ExtractField(def, "||", 3));
    Query3->ParamByName("TC008").SetValue(
        Trim(ReplaceText(ExtractField(def, "||", 2), "[**********]", "", false)));
    Query3->ParamByName("TC009").SetValue("4");
    Query3->ParamByName("COMPANY").SetValue(CompanyID);
    Query3->ParamByName("CREATOR").SetValue(UserID);
    Query3->ParamByName("CREATE_DATE").SetValue(stamp);
    Query3->ParamByName("FLAG").SetValue(std::int32_t{1});
    try {
      Query3->ExecSQL();
    } catch (const std::exception&) {
      // an alert that cannot be stored is skipped
    }
    Query2->Next();
  }
}

}  // namespace vx
