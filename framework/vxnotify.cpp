#include "framework/vxnotify.h"

#include <exception>
#include <vector>

#include "framework/basegene.h"
#include "framework/portaluser.h"
#include "framework/vxdialogcf.h"
#include "lib/web_service.h"
#include "lib/xml_helpers.h"
#include "platform/rtl/text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"

namespace vx {

namespace {

constexpr const char* kReceiversProlog = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
constexpr int kColumns = 8;
constexpr int kColWidths[kColumns] = {47, 50, 80, 133, 68, 33, 32, 32};
constexpr const char* kTitles[kColumns] = {"收件人", "姓名", "手机号码", "邮箱地址",
                                           "类型",   "消息", "短信",     "邮件"};
constexpr const char* kSystemUserType = "1.系统用户";
constexpr const char* kPortalUserType = "5.Portal用户";
constexpr int kMsgCol = 5;  // message, short message, e-mail: columns 5 to 7

TBitBtn* Button(TfrmNotify* form, const char* name, const char* caption, TModalResult result,
                int left) {
  auto* b = new TBitBtn(form);
  b->SetName(name);
  b->SetParent(form);
  b->SetCaption(caption);
  b->SetModalResult(result);
  b->SetBounds(left, 178, 75, 25);
  return b;
}

// The receiver number of an element named "R<n>", or 0 for any other name.
int ReceiverNumber(const std::string& name) {
  if (name.size() < 2 || name[0] != 'R') return 0;
  int n = 0;
  for (std::size_t i = 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > 100000) return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// What a portal answer may hold: a user list of a large company fits well
// within these, an answer built to exhaust the dialog does not.
constexpr int kMaxPortalNodes = 200000;
constexpr int kMaxPortalAttributes = 64;

// Why the answer is refused, or empty text. Walks the tree without
// recursion, so its depth costs no stack.
std::string PortalAnswerFault(const XmlDocument& doc) {
  int nodes = 0;
  XmlNode root = doc.AsNode();
  XmlNode n = root.FirstChild();
  while (n) {
    if (++nodes > kMaxPortalNodes) return "the portal's answer has too many nodes";
    if (n.NodeType() == XmlNodeType::Element && n.AttributeCount() > kMaxPortalAttributes)
      return "the portal's answer has an element with too many attributes";
    if (XmlNode child = n.FirstChild()) {
      n = child;
      continue;
    }
    while (n && !(n == root) && !n.NextSibling())
      n = n.ParentNode();
    if (!n || n == root) break;
    n = n.NextSibling();
  }
  return {};
}

}  // namespace

const TClassInfo& TfrmNotify::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmNotify>("TfrmNotify", [](auto&) {});
  return info;
}

TfrmNotify::TfrmNotify(TComponent* owner) : TVXForm(owner) {
  SetCaption("被通知人");
  SetBounds(Left(), Top(), 539, 234);
  grReceive = new TStringAlignGrid(this);
  grReceive->SetName("grReceive");
  grReceive->SetParent(this);
  grReceive->SetBounds(4, 4, 523, 166);
  grReceive->SetColCount(kColumns);
  grReceive->SetRowCount(2);
  grReceive->SetFixedCols(0);
  grReceive->SetFixedRows(1);
  grReceive->SetDefaultRowHeight(18);
  grReceive->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
                         goColSizing, goEditing, goAlwaysShowEditor});
  for (int c = 0; c < kColumns; ++c) {
    grReceive->SetColWidths(c, kColWidths[c]);
    grReceive->SetCells(c, 0, kTitles[c]);
  }
  me01 = new TMemo(this);
  me01->SetName("me01");
  me01->SetParent(this);
  me01->SetVisible(false);
  me01->Lines()->Add(kSystemUserType);
  me01->Lines()->Add(kPortalUserType);
  me04 = new TMemo(this);
  me04->SetName("me04");
  me04->SetParent(this);
  me04->SetVisible(false);
  me04->Lines()->Add("[F2]系统用户开窗");
  BitBtn1 = Button(this, "BitBtn1", "确定", 1, 360);
  BitBtn1->SetDefault(true);
  BitBtn2 = Button(this, "BitBtn2", "取消", 2, 446);
  BitBtn2->SetCancel(true);

  OnCreate = Bind<&TfrmNotify::FormCreate>(this);
  OnKeyDown = Bind<&TfrmNotify::FormKeyDown>(this);
  BitBtn1->OnClick = Bind<&TfrmNotify::BitBtn1Click>(this);
  grReceive->OnEditButtonClick = Bind<&TfrmNotify::grReceiveEditButtonClick>(this);
  grReceive->OnKeyDown = Bind<&TfrmNotify::grReceiveKeyDown>(this);
  grReceive->OnShowHintCell = Bind<&TfrmNotify::grReceiveShowHintCell>(this);
}

// The dialog is prepared once its portal settings are known (Prepare).
void TfrmNotify::FormCreate(TObject*) {}

void TfrmNotify::Prepare() {
  bool portal = PortalFlag == "Y" && !PortalAddress.empty();
  me01->Lines()->Clear();
  me01->Lines()->Add(portal ? kPortalUserType : kSystemUserType);
  grReceive->SetColEditor(0, ceEditButton);
  grReceive->SetColEditor(4, cePickList);
  grReceive->SetColList(4, me01->Lines());
  for (int c = kMsgCol; c < kColumns; ++c) {
    grReceive->SetColEditor(c, ceCheckBox);
    grReceive->SetCheckValues(c, "Y", "N");
  }
  ConvertFormTexts();
  for (int c = 0; c < kColumns; ++c)
    grReceive->SetCells(
        c, 0,
        GetLangText("TfrmNotify", "Cells" + IntToStr(c) + "0", false, grReceive->Cells(c, 0)));
}

std::string TfrmNotify::FirstType() const {
  return me01->Lines()->Count() > 0 ? me01->Lines()->Get(0) : std::string();
}

void TfrmNotify::LoadReceiversXml(const std::string& xml) {
  XmlDocument doc = LoadXMLText(xml);
  grReceive->SetRowCount(2);
  grReceive->ClearRow(1);
  XmlNode root = doc.DocumentElement();
  if (!root) return;
  // Receivers are taken in document order, one row each: a text whose
  // numbering has gaps (R1, R3) keeps every receiver.
  std::vector<XmlNode> receivers;
  for (XmlNode n = root.FirstChild(); n; n = n.NextSibling())
    if (n.NodeType() == XmlNodeType::Element && ReceiverNumber(n.NodeName()) > 0)
      receivers.push_back(n);
  if (receivers.empty()) return;
  grReceive->SetRowCount(static_cast<int>(receivers.size()) + 1);
  TStrings* types = me01->Lines();
  for (int b = 1; b <= static_cast<int>(receivers.size()); ++b) {
    const XmlNode& r = receivers[b - 1];
    grReceive->ClearRow(b);
    grReceive->SetCells(0, b, GetXMLAttribute(r, "ID"));
    grReceive->SetCells(1, b, GetXMLAttribute(r, "Name"));
    if (r.HasAttribute("Mob")) grReceive->SetCells(2, b, GetXMLAttribute(r, "Mob"));
    if (r.HasAttribute("Mail")) grReceive->SetCells(3, b, GetXMLAttribute(r, "Mail"));
    if (r.HasAttribute("Type")) {
      std::string type = GetXMLAttribute(r, "Type");
      for (int i = 0; i < types->Count(); ++i)
        if (!type.empty() && !types->Get(i).empty() && types->Get(i)[0] == type[0]) {
          grReceive->SetCells(4, b, types->Get(i));
          break;
        }
    }
    std::string msg = GetXMLAttribute(r, "Msg");
    for (std::size_t i = 0; i < 3 && i < msg.size(); ++i)
      if (msg[i] == 'Y') grReceive->SetCells(kMsgCol + static_cast<int>(i), b, "Y");
  }
}

std::string TfrmNotify::BuildReceiversXml() const {
  XmlDocument doc = LoadXMLText(std::string(kReceiversProlog) + "<Root/>");
  XmlNode root = doc.DocumentElement();
  bool any = false;
  for (int row = 1; row < grReceive->RowCount(); ++row) {
    if (grReceive->Cells(0, row).empty()) continue;
    XmlNode r = root.AppendChild(doc.CreateElement("R" + IntToStr(row)));
    SetXMLAttribute(r, "ID", grReceive->Cells(0, row));
    SetXMLAttribute(r, "Name", grReceive->Cells(1, row));
    if (!grReceive->Cells(2, row).empty()) SetXMLAttribute(r, "Mob", grReceive->Cells(2, row));
    if (!grReceive->Cells(3, row).empty()) SetXMLAttribute(r, "Mail", grReceive->Cells(3, row));
    std::string type = grReceive->Cells(4, row);
    if (!type.empty()) SetXMLAttribute(r, "Type", type.substr(0, 1));
    std::string msg;
    for (int c = kMsgCol; c < kColumns; ++c)
      msg += grReceive->Cells(c, row) == "Y" ? "Y" : "N";
    SetXMLAttribute(r, "Msg", msg);
    any = true;
  }
  return any ? std::string(kReceiversProlog) + root.Xml() : std::string("N");
}

std::string PortalUsersRequest(const std::string& user_id, const std::string& company_id,
                               const std::string& sys_code_page) {
  std::string locale = sys_code_page == "936"   ? "zh_CN"
                       : sys_code_page == "950" ? "zh_TW"
                                                : "ch_US";
  std::string r =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Request>   <Access>     "
      "<Authentication user=\"";
  r += user_id;
  r += "\" password=\"\"/> ";
  r += "    <Connection application=\"TAVIRO\" source=\"\"/> ";
  r += "    <Organization name=\"";
  r += company_id;
  r += "\"/> ";
  r += "    <Locale language=\"";
  r += locale;
  r += "\"/> ";
  r += "  </Access> ";
  r += "  <RequestContent/> ";
  r += "</Request>";
  return r;
}

TfrmBaseGene* TfrmNotify::BatchForm() const {
  return dynamic_cast<TfrmBaseGene*>(Owner());
}

std::string TfrmNotify::GetPortalUsers() {
  if (PortalAddress.empty()) return {};
  TfrmBaseGene* batch = BatchForm();
  std::string request =
      PortalUsersRequest(batch ? batch->UserID : std::string(),
                         batch ? batch->CompanyID : std::string(), VxConverter()->SysCodePage());
  std::string answer;
  try {
    answer = CallWebService(PortalAddress, "PORTAL.getAllUser", request);
  } catch (const std::exception& e) {
    ShowMessage(std::string("Call portal webservice error! ") + e.what() + "\n\rResult:" + answer);
    return {};
  }
  if (answer.empty()) return {};
  // An answer that does not parse, or has no status, is a failure as well:
  // only an explicit code "0" lets users be picked.
  XmlDocument doc = LoadXMLText(answer);
  if (std::string fault = PortalAnswerFault(doc); !fault.empty()) {
    ShowMessage("Call portal webservice error! \n\r" + fault);
    return {};
  }
  if (GetXMLAttribute(doc.SelectSingleNode("//Status[@code]"), "code") != "0") {
    ShowMessage("Call portal webservice error! \n\r" +
                GetXMLAttribute(doc.SelectSingleNode("//Status[@Description]"), "Description"));
    return {};
  }
  return answer;
}

bool TfrmNotify::ChoosingReceiver() const {
  return grReceive->EditorMode() && grReceive->Col() == 0 && grReceive->Row() >= 1;
}

void TfrmNotify::ChooseReceiver() {
  if (!ChoosingReceiver()) return;
  int row = grReceive->Row();
  if (PortalFlag != "Y") {
    TfrmBaseGene* batch = BatchForm();
    if (!batch) return;
    Variant result;
    batch->F2Lookup("VRXMA", "04", Variant(), Variant(), false, result);
    if (!result.IsArray() || result.HighBound() < result.LowBound()) return;
    Variant first = result[result.LowBound()];
    if (!first.IsArray()) return;
    for (int c = 0; c < 4; ++c) {
      int i = first.LowBound() + c;
      grReceive->SetCells(c, row, i <= first.HighBound() ? VarToStr(first[i]) : std::string());
    }
  } else {
    std::string answer = GetPortalUsers();
    if (answer.empty()) return;
    XmlDocument doc = LoadXMLNormalized(answer);
    std::vector<TPortalUser> users;
    for (const XmlNode& rec : doc.SelectNodes("//Record"))
      users.emplace_back(GetXMLAttribute(rec.SelectSingleNode("Field[@name='Id']"), "value"),
                         GetXMLAttribute(rec.SelectSingleNode("Field[@name='Name']"), "value"));
    TPortalUser chosen;
    if (!PickPortalUser(this, users, chosen)) return;
    grReceive->SetCells(0, row, chosen.first);
    grReceive->SetCells(1, row, chosen.second);
  }
  grReceive->SetCells(4, row, FirstType());
  grReceive->SetCells(kMsgCol, row, "Y");
}

void TfrmNotify::FormKeyDown(TObject*, Word&, TShiftState) {}

void TfrmNotify::BitBtn1Click(TObject*) {
  ResultXml = BuildReceiversXml();
  SetModalResult(1);
}

void TfrmNotify::grReceiveEditButtonClick(TObject*) {
  ChooseReceiver();
}

void TfrmNotify::grReceiveKeyDown(TObject*, Word& key, TShiftState shift) {
  if (key == VK_F2 && shift.Empty()) {
    key = 0;
    ChooseReceiver();
  } else if (key == VK_DOWN && shift.Empty() && grReceive->Row() == grReceive->RowCount() - 1) {
    key = 0;
    grReceive->SetRowCount(grReceive->RowCount() + 1);
    grReceive->SetRow(grReceive->RowCount() - 1);
  } else if (key == VK_DELETE && shift.Contains(ssCtrl)) {
    key = 0;
    int row = grReceive->Row();
    if (grReceive->RowCount() <= 2) {
      grReceive->ClearRow(row);  // the grid keeps one data row
    } else {
      grReceive->DeleteRow(row);
    }
  }
}

void TfrmNotify::grReceiveShowHintCell(TObject*, int col, int, std::string& hint, bool&) {
  if (col == 0 && grReceive->EditorMode() && me04->Lines()->Count() > 0)
    hint = me04->Lines()->Get(0);
}

std::string EditReceivers(TfrmBaseGene* owner, const std::string& xml,
                          const std::string& portal_flag, const std::string& portal_address) {
  auto dialog = CreateDialog<TfrmNotify>(owner);
  dialog->PortalFlag = portal_flag;
  dialog->PortalAddress = portal_address;
  dialog->Prepare();
  dialog->LoadReceiversXml(xml);
  return dialog->ShowModal() == 1 ? dialog->ResultXml : xml;
}

}  // namespace vx
