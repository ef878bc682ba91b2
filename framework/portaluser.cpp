#include "framework/portaluser.h"

namespace vx {

const TClassInfo& TfrmPortalUser::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmPortalUser>("TfrmPortalUser", [](auto&) {});
  return info;
}

TfrmPortalUser::TfrmPortalUser(TComponent* owner) : TfrmVXDialog(owner) {
  SetCaption("Portal 用户信息查询");
  SetClientWidth(359);
  SetClientHeight(426);
  grUser = new TStringGrid(this);
  grUser->SetName("grUser");
  grUser->SetParent(this);
  grUser->SetBounds(4, 4, 351, 380);
  grUser->SetColCount(2);
  grUser->SetRowCount(2);
  grUser->SetFixedCols(0);
  grUser->SetFixedRows(1);
  grUser->SetColWidths(0, 154);
  grUser->SetColWidths(1, 143);
  grUser->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRowSelect});
  grUser->SetCells(0, 0, "用户编号");
  grUser->SetCells(1, 0, "用户名称");
  auto button = [this](const char* name, const char* caption, TModalResult result, int left) {
    auto* b = new TBitBtn(this);
    b->SetName(name);
    b->SetParent(this);
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->SetBounds(left, 392, 75, 25);
    return b;
  };
  btnOk = button("btnOk", "确定", 1, 190);
  btnOk->SetDefault(true);
  btnCancel = button("btnCancel", "取消", 2, 276);
  btnCancel->SetCancel(true);
  Selection = VarArrayCreate({{0, 2}});
  OnCloseQuery = Bind<&TfrmPortalUser::FormCloseQuery>(this);
}

void TfrmPortalUser::FormCloseQuery(TObject*, bool&) {
  int row = grUser->Row();
  Selection[0] = grUser->Cells(0, row);
  Selection[1] = grUser->Cells(1, row);
}

bool PickPortalUser(TComponent* owner, const std::vector<TPortalUser>& users, TPortalUser& chosen) {
  chosen = {};
  if (users.empty()) return false;
  auto picker = CreateDialog<TfrmPortalUser>(owner);
  picker->grUser->SetRowCount(static_cast<int>(users.size()) + 1);
  for (std::size_t i = 0; i < users.size(); ++i) {
    int row = static_cast<int>(i) + 1;
    picker->grUser->SetCells(0, row, users[i].first);
    picker->grUser->SetCells(1, row, users[i].second);
  }
  if (picker->ShowModal() != 1) return false;
  chosen = {VarToStr(picker->Selection[0]), VarToStr(picker->Selection[1])};
  return true;
}

}  // namespace vx
