#pragma once
// TSelectPanel: the framework's condition field. A captioned group box in
// which the user gives a condition as a range (a begin and an end value,
// each in a masked edit with an F2 query button) or as a list of chosen
// values (a multi-column list with an F2 button that adds values, a button
// that deletes the selected rows and one that clears the list), or switches
// between the two with a check box.
#include <string>
#include <vector>

#include "controls/f2button.h"
#include "controls/orlparts.h"
#include "lib/strs.h"
#include "platform/ui/extctrls.h"

namespace vx {

enum class TSelectStyle { sp_Range, sp_Discrete, sp_UserChoice };
using enum TSelectStyle;
enum class TValueType { vt_String, vt_Number, vt_Date, vt_Time, vt_Float, vt_OtherMask };
using enum TValueType;
enum class TCheckDuplicate { cd_None, cd_CheckCase, cd_CaseInsensitive };
using enum TCheckDuplicate;

class TSelectPanel;

using TOpenWinClickEvent = TEvent<TSelectPanel* /*SenderParent*/, TWinControl* /*Sender*/>;
using TDeleteClickEvent = TEvent<TObject*, bool& /*Accept*/>;
using TStyleChangingEvent =
    TEvent<TObject*, TSelectStyle /*NowStyle*/, TSelectStyle& /*NewStyle*/, bool& /*Accept*/>;
using TStyleChangeEvent = TEvent<TObject*, TSelectStyle /*OldStyle*/, TSelectStyle /*NewStyle*/>;
using TListViewSelectItemEvent = TEvent<TObject*, TListItem*, int /*xIndex*/, bool /*xIsSelect*/>;
using TListViewDataChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
using TListViewDataChangingEvent = TEvent<TObject*, TListItem*, TItemChange, bool& /*AllowChange*/>;

// What decides whether a range stands in the wrong order.
struct TRangeRule {
  TValueType ValueType = vt_String;
  TDateType DateType = dt_NoneCare;
  std::string DateSign = "/";
  bool AutoChangeDateSite = true;
  bool UseDiscard = false;
  std::string Discard;
  // What the begin edit reads when empty under its mask.
  std::string BlankText;
};

// A range text of a date field read in the date layout: a year and month
// alone counts as the first of the month. 0 for an empty or blank text, a
// text that is no date in that layout, or dt_NoneCare.
TDateTime RangeDate(const TRangeRule& rule, std::string_view text);
// Whether begin and end must be exchanged (both non-empty, as the edits
// read them).
bool RangeOutOfOrder(const TRangeRule& rule, const std::string& begin, const std::string& end);

class TSelectPanel : public TGroupBox {
  VX_CLASS(TSelectPanel, TGroupBox)
  explicit TSelectPanel(TComponent* owner);
  ~TSelectPanel() override;

  // ---- the parts ----
  TOrlCheckBox* TypeCheckBox() const { return type_check_box_; }
  TPanel* RangePanel() const { return range_panel_; }
  TLabel* BeginLabel() const { return begin_label_; }
  TOrlMaskEdit* edBegin() const { return ed_begin_; }
  TF2Button* BeginF2Button() const { return begin_f2_; }
  TLabel* FinalLabel() const { return final_label_; }
  TOrlMaskEdit* edFinal() const { return ed_final_; }
  TF2Button* FinalF2Button() const { return final_f2_; }
  TPanel* ListPanel() const { return list_panel_; }
  TF2Button* ListF2Button() const { return list_f2_; }
  TGSpeedButton* DeleteButton() const { return delete_button_; }
  TGSpeedButton* ClearButton() const { return clear_button_; }
  TOrlListView* ListBox() const { return list_box_; }

  // ---- published properties ----
  TSelectStyle Style() const { return style_; }
  // OnStyleChanging may refuse or redirect; a change to or from sp_Range
  // in the horizontal layout exchanges the size with OtherWidth/Height.
  void SetStyle(TSelectStyle style);
  // Range input chosen in sp_UserChoice. The type check box shows it while
  // that style is on (set on entering it, and by setting UserChoice).
  bool UserChoice() const { return user_choice_; }
  void SetUserChoice(bool v);
  const std::string& HintWord() const { return hint_word_; }
  void SetHintWord(std::string_view word);
  TStrings* BeginWords() const;
  void SetBeginWords(TStrings* words);
  TStrings* FinalWords() const;
  void SetFinalWords(TStrings* words);
  bool UseVertical() const { return use_vertical_; }
  // Only while Style is sp_Range.
  void SetUseVertical(bool v);
  int OtherWidth() const { return other_width_; }
  void SetOtherWidth(int v) { other_width_ = v; }
  int OtherHeight() const { return other_height_; }
  void SetOtherHeight(int v) { other_height_ = v; }
  const std::string& EditMask() const { return edit_mask_; }
  void SetEditMask(std::string_view mask);
  TValueType ValueType() const { return rule_.ValueType; }
  void SetValueType(TValueType v) { rule_.ValueType = v; }
  TDateType DateType() const { return rule_.DateType; }
  void SetDateType(TDateType v) { rule_.DateType = v; }
  const std::string& DateSign() const { return rule_.DateSign; }
  void SetDateSign(std::string_view v) { rule_.DateSign = std::string(v); }
  bool AutoChangeDateSite() const { return rule_.AutoChangeDateSite; }
  void SetAutoChangeDateSite(bool v) { rule_.AutoChangeDateSite = v; }
  const std::string& Discard() const { return rule_.Discard; }
  void SetDiscard(std::string_view v) { rule_.Discard = std::string(v); }
  bool UseDiscard() const { return rule_.UseDiscard; }
  void SetUseDiscard(bool v) { rule_.UseDiscard = v; }
  bool CanOpenWin() const { return can_open_win_; }
  void SetCanOpenWin(bool v);
  int GlyphIndex() const { return glyph_index_; }
  // A picture the buttons cannot show leaves them with picture 0 and the
  // property as it was.
  void SetGlyphIndex(int index);
  TStrings* ChildHints() const;
  void SetChildHints(TStrings* hints);
  TCheckDuplicate CheckDuplicate() const { return check_duplicate_; }
  void SetCheckDuplicate(TCheckDuplicate v);
  bool SortListBox() const { return sort_list_box_; }
  void SetSortListBox(bool v);
  TListItems* Items() const;
  void SetItems(TListItems* items);
  TListColumns* Columns() const;
  void SetColumns(TListColumns* columns);
  TStrings* ColumnCaptions() const;
  // Rebuilds the columns, each sized to its caption.
  void SetColumnCaptions(TStrings* captions);
  bool ShowColumnHeader() const;
  void SetShowColumnHeader(bool v);
  bool HideSelection() const;
  void SetHideSelection(bool v);
  bool ColumnsAutoSize() const;
  void SetColumnsAutoSize(bool v);
  // The panel and every part, at every depth.
  void SetEnabled(bool enabled) override;

  // ---- operations ----
  bool IsRangeInput() const;
  // Focuses the panel and, in list input, its list.
  void SetFocus() override;
  // What the begin edit reads when empty under the current mask.
  const std::string& BlankText() const { return rule_.BlankText; }
  const TRangeRule& RangeRule() const { return rule_; }
  // Removes a row whose caption equals the one above it (cd_CheckCase,
  // cd_CaseInsensitive).
  void RemoveDuplicates();
  // Trims the range and exchanges begin and end when they stand in the
  // wrong order (what leaving the panel does before OnExit).
  void PutRangeInOrder();
  // Lays the parts out for the current style.
  void LayoutParts() { LayoutParts(style_); }

  TOpenWinClickEvent OnOpenWinClick;
  TNotifyEvent OnClearClick;
  TDeleteClickEvent OnDeleteClick;
  TNotifyEvent OnTypeClick;
  TStyleChangingEvent OnStyleChanging;
  TStyleChangeEvent OnStyleChange;
  TListViewSelectItemEvent OnItemSelect;
  TListViewDataChangeEvent OnItemChange;
  TListViewDataChangingEvent OnItemChanging;

 protected:
  void DoExit() override;
  void Resize() override;
  void FontChanged() override;

 private:
  void ShowParts(TSelectStyle style);
  void LayoutParts(TSelectStyle style);
  void LayoutHorizontal();
  void LayoutVertical();
  void LayoutList();
  void PlaceFront(TPanel* front, TPanel* back, int left, int top, int width, int height);
  void SwapSize();
  bool Loading() const;
  void SetWords(TStringList& words, TStrings* source, TLabel* label);
  std::string WordAt(const TStringList& words, int entry) const;
  void ApplyHints();

  void TypeClicked(TObject* sender);
  void F2Clicked(TObject* sender);
  void DeleteClicked(TObject* sender);
  void ClearClicked(TObject* sender);
  void PartClicked(TObject* sender);
  void PartDblClicked(TObject* sender);
  void PartKeyDown(TObject* sender, Word& key, TShiftState shift);
  void PartKeyUp(TObject* sender, Word& key, TShiftState shift);
  void PartKeyPress(TObject* sender, TKeyChar& key);
  void ListSelected(TObject* sender, TListItem* item, bool selected);
  void ListChanged(TObject* sender, TListItem* item, TItemChange change);
  void ListChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow);
  void WordsChanged(TObject* sender);
  void HintsChanged(TObject* sender);
  void CaptionsChanged(TObject* sender);
  TObject* ForwardSender(TObject* part);

  TOrlCheckBox* type_check_box_ = nullptr;
  TPanel* range_panel_ = nullptr;
  TLabel* begin_label_ = nullptr;
  TOrlMaskEdit* ed_begin_ = nullptr;
  TF2Button* begin_f2_ = nullptr;
  TLabel* final_label_ = nullptr;
  TOrlMaskEdit* ed_final_ = nullptr;
  TF2Button* final_f2_ = nullptr;
  TPanel* list_panel_ = nullptr;
  TF2Button* list_f2_ = nullptr;
  TGSpeedButton* delete_button_ = nullptr;
  TGSpeedButton* clear_button_ = nullptr;
  TOrlListView* list_box_ = nullptr;

  std::unique_ptr<TStringList> begin_words_, final_words_, child_hints_, column_captions_;
  TSelectStyle style_ = sp_Range;
  bool user_choice_ = true;
  std::string hint_word_;
  bool use_vertical_ = false;
  int other_width_ = 200;
  int other_height_ = 105;
  std::string edit_mask_;
  TRangeRule rule_;
  bool can_open_win_ = true;
  int glyph_index_ = 8;
  TCheckDuplicate check_duplicate_ = cd_None;
  bool sort_list_box_ = false;
  bool ready_ = false;      // every part exists
  bool arranging_ = false;  // a layout or size swap is under way
  bool syncing_ = false;    // code sets the type check box
  bool setting_words_ = false;
};

}  // namespace vx
