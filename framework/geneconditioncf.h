#pragma once
// TfrmGeneCondition: the dialog that asks for a condition scheme's name and,
// for each of the module's own date fields, whether the date saved with the
// scheme is moved by a rule. The settings live in the module form's
// DateEnvList, one ETX-separated entry per offered field:
//   range panel:  "0", name, begin Y/N, count, unit, mode, days,
//                 end Y/N, count, unit, mode, days, "D"
//   single date:  "1", name, Y/N, count, unit, mode, days, "D"
#include <string>

#include "controls/btchkbox.h"
#include "controls/dblabel.h"
#include "controls/vxspin.h"
#include "framework/shift_row.h"
#include "framework/vxform.h"
#include "platform/automation/variant.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/stdctrls.h"

namespace vx {

class TfrmBaseGene;

class TfrmGeneCondition : public TVXForm {
  VX_CLASS(TfrmGeneCondition, TVXForm)
  // Needs the module form the scheme is saved for.
  TfrmGeneCondition(TfrmBaseGene* owner, const std::string& date_field_names, int skip_count);

  TDBLabel* lblCondition;
  TEdit* edConName;
  TGroupBox* gbDateFields;
  TLabel* lblPeriod13;
  TComboBox* cbodatecondition;
  TPanel* pnSp;
  TBitCheckBox* spDate_B;
  TBitCheckBox* spDate_E;
  TLabel* lblPeriodB;
  TLabel* lblPeriodE;
  TVxSpinEdit* seSetDay_B1;
  TVxSpinEdit* seSetDay_E1;
  TComboBox* cboSetDay_B1;
  TComboBox* cboSetDay_E1;
  TComboBox* cboSetDay_B2;
  TComboBox* cboSetDay_E2;
  TVxSpinEdit* seSetDay_B2;
  TVxSpinEdit* seSetDay_E2;
  TLabel* lblPeriodB1;
  TLabel* lblPeriodE1;
  TPanel* pnEdit;
  TBitCheckBox* edSetDate;
  TLabel* lblPeriod15;
  TVxSpinEdit* seSetDay1;
  TComboBox* cboSetDay1;
  TComboBox* cboSetDay2;
  TVxSpinEdit* seSetDay2;
  TLabel* lblPeriod16;
  TButton* btnOk;
  TButton* btnCancel;

  std::string DateFieldNames;
  int SkipCount = 0;
  bool ReplaceScheme = false;
  bool UserEditing = false;

  // Rebuilds the owner's DateEnvList and the items of cbodatecondition.
  void SetDateEnv();
  // Writes the editors back into the selected entry.
  void StoreDateEnv();

  // Published handlers.
  void btnOkClick(TObject* sender);
  void FormKeyPress(TObject* sender, TKeyChar& key);
  void cbodateconditionChange(TObject* sender);
  void spDate_BClick(TObject* sender);
  void spDate_EClick(TObject* sender);
  void edSetDateClick(TObject* sender);
  void cboSetDay_B2Change(TObject* sender);
  void cboSetDay_E2Change(TObject* sender);
  void cboSetDay2Change(TObject* sender);
  void cboSetDay1Change(TObject* sender);
  void seSetDay_B1Enter(TObject* sender);
  void seSetDay_B1Change(TObject* sender);
  void seSetDay_B1Exit(TObject* sender);
  void seSetDay1Enter(TObject* sender);
  void seSetDay1Change(TObject* sender);
  void seSetDay1Exit(TObject* sender);

 private:
  void BuildComponents();
  TShiftRow BeginRow() const;
  TShiftRow EndRow() const;
  TShiftRow SingleRow() const;
  void BoxClicked(const TShiftRow& row, bool by_user);
  void ModeChanged(TComboBox* mode, TVxSpinEdit* days);
  TfrmBaseGene* module_;
  // Inside a handler run as a call rather than by the user's click.
  bool calling_ = false;
};

// Shows the dialog for owner; [name, date-field list, Replace], or three
// empty texts when the user cancelled.
Variant AskSchemeName(const std::string& date_fields, TfrmBaseGene* owner, int skip_count);

}  // namespace vx
