#pragma once
// The receivers dialog: who is told when a submitted job has finished, and
// how (a message in the suite, a short message, an e-mail). Its result is the
// receivers text that travels with the job: XML with one element per
// receiver, or "N" when there is none.
#include <string>

#include "framework/vxform.h"
#include "platform/ui/buttons.h"
#include "platform/ui/grids.h"

namespace vx {

class TfrmBaseGene;

class TfrmNotify : public TVXForm {
  VX_CLASS(TfrmNotify, TVXForm)
  explicit TfrmNotify(TComponent* owner);

  TStringAlignGrid* grReceive;
  TMemo* me01;  // the type list
  TMemo* me04;  // the hint of column 0
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  std::string PortalFlag;
  std::string PortalAddress;
  std::string ResultXml;

  // Once PortalFlag and PortalAddress are known: the type list, the cell
  // editors, the converted texts and the column titles of the language file.
  void Prepare();
  // Fills the grid from a receivers text; a text that is not XML leaves one
  // empty row.
  void LoadReceiversXml(const std::string& xml);
  // The receivers text of the grid, or "N".
  std::string BuildReceiversXml() const;
  // The portal's answer to "PORTAL.getAllUser", or empty text after telling
  // the user what went wrong.
  std::string GetPortalUsers();

  // Published handlers.
  void FormCreate(TObject* sender);
  void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
  void BitBtn1Click(TObject* sender);
  void grReceiveEditButtonClick(TObject* sender);
  void grReceiveKeyDown(TObject* sender, Word& key, TShiftState shift);
  void grReceiveShowHintCell(TObject* sender, int col, int row, std::string& hint, bool& can_show);

 private:
  // The batch form that owns the dialog (nullptr when another form does).
  TfrmBaseGene* BatchForm() const;
  bool ChoosingReceiver() const;
  void ChooseReceiver();
  std::string FirstType() const;
};

// The portal request for the user, the company and the system code page.
std::string PortalUsersRequest(const std::string& user_id, const std::string& company_id,
                               const std::string& sys_code_page);

// Shows the receivers dialog over the batch form; the edited text when it was
// confirmed, otherwise xml unchanged.
std::string EditReceivers(TfrmBaseGene* owner, const std::string& xml,
                          const std::string& portal_flag, const std::string& portal_address);

}  // namespace vx
