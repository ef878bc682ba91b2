#include "controls/selectpnl.h"

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

void RegisterSelectPanelTypes() {
  RegisterEnumType("TSelectStyle", {"sp_Range", "sp_Discrete", "sp_UserChoice"});
  RegisterEnumType("TValueType",
                   {"vt_String", "vt_Number", "vt_Date", "vt_Time", "vt_Float", "vt_OtherMask"});
  RegisterEnumType("TDateType", {"dt_NoneCare", "dt_YYYYMMDD", "dt_MMDDYYYY", "dt_DDMMYYYY",
                                 "dt_YYMMDD", "dt_YYYMMDD"});
  RegisterEnumType("TCheckDuplicate", {"cd_None", "cd_CheckCase", "cd_CaseInsensitive"});
}

int CountOf(std::string_view text, std::string_view sign) {
  if (sign.empty()) return 0;
  int n = 0;
  for (std::size_t at = text.find(sign); at != std::string_view::npos;
       at = text.find(sign, at + sign.size()))
    ++n;
  return n;
}

// A number text in a normal form: blanks and thousands separators dropped,
// the local decimal separator read as a point. Not a number reads as 0.
double FloatValue(std::string_view text) {
  std::string s;
  char decimal = FormatSettings().DecimalSeparator;
  for (char c : text) {
    if (c == ' ' || (c == ',' && decimal != ',')) continue;
    s += c == decimal ? '.' : c;
  }
  return TryStrToFloat(s).value_or(0.0);
}

const char* const kDefaultHints[] = {
    "用户自定输入方式",  "区间选择-起始信息",     "区间选择-起始信息开窗",
    "区间选择-截止信息", "区间选择-截止信息开窗", "多选-己选择的信息",
    "多选-信息开窗",     "多选-删除一笔信息",     "多选-删除己选信息"};

}  // namespace

// ---- range order ------------------------------------------------------------------------

TDateTime RangeDate(const TRangeRule& rule, std::string_view text) {
  std::string t = Trim(text);
  if (t.empty() || t == Trim(rule.BlankText)) return TDateTime(0);
  const std::string& sign = rule.DateSign;
  switch (CountOf(t, sign)) {
    case 1:
      // A year and month: the first of that month.
      switch (rule.DateType) {
        case dt_YYYYMMDD:
        case dt_YYMMDD:
        case dt_YYYMMDD:
          t = t + sign + "01";
          break;
        case dt_MMDDYYYY:
          t = t.substr(0, std::min<std::size_t>(2, t.size())) + sign + "01" +
              (t.size() > 2 ? t.substr(2) : std::string());
          break;
        case dt_DDMMYYYY:
          t = "01" + sign + t;
          break;
        default:
          return TDateTime(0);
      }
      break;
    case 2:
      break;
    default:
      return TDateTime(0);
  }
  int p[3];
  for (int& part : p) {
    std::optional<int> v = TryStrToInt(Trim(CutFirstField(t, sign)));
    if (!v) return TDateTime(0);
    part = *v;
  }
  int year = 0, month = 0, day = 0;
  switch (rule.DateType) {
    case dt_YYYYMMDD:
      year = p[0], month = p[1], day = p[2];
      break;
    case dt_MMDDYYYY:
      year = p[2], month = p[0], day = p[1];
      break;
    case dt_DDMMYYYY:
      year = p[2], month = p[1], day = p[0];
      break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
      year = p[0] + 1911, month = p[1], day = p[2];
      break;
    default:
      return TDateTime(0);
  }
  TDateTime date;
  return TryEncodeDate(year, month, day, date) ? date : TDateTime(0);
}

bool RangeOutOfOrder(const TRangeRule& rule, const std::string& begin, const std::string& end) {
  if (begin.empty() || end.empty()) return false;
  auto kept_as_is = [&] {
    if (begin == rule.BlankText || end == rule.BlankText) return true;
    return rule.UseDiscard &&
           (Trim(begin) == Trim(rule.Discard) || Trim(end) == Trim(rule.Discard));
  };
  switch (rule.ValueType) {
    case vt_Number:
      // 64 bits: long codes are numbers too.
      return TryStrToInt64(Trim(begin)).value_or(0) > TryStrToInt64(Trim(end)).value_or(0);
    case vt_String:
    case vt_Time:
      return !kept_as_is() && CompareInterfaceBytes(begin, end) > 0;
    case vt_Date:
      if (!rule.AutoChangeDateSite || kept_as_is()) return false;
      if (rule.DateType == dt_NoneCare) return CompareInterfaceBytes(begin, end) > 0;
      return RangeDate(rule, begin) > RangeDate(rule, end);
    case vt_Float:
      return FloatValue(begin) > FloatValue(end);
    case vt_OtherMask:
      return false;
  }
  return false;
}

// ---- TSelectPanel -----------------------------------------------------------------------

const TClassInfo& TSelectPanel::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSelectPanel>("TSelectPanel", [](auto& r) {
    RegisterSelectPanelTypes();
    using P = TSelectPanel;
    for (const char* name : {"Hint", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
    r.template Ord<&P::Style, &P::SetStyle>("Style", "TSelectStyle");
    r.template Bool<&P::UserChoice, &P::SetUserChoice>("UserChoice");
    r.template Str<&P::HintWord, &P::SetHintWord>("HintWord");
    r.template Obj<&P::BeginWords, &P::SetBeginWords>("BeginWords", "TStrings");
    r.template Obj<&P::FinalWords, &P::SetFinalWords>("FinalWords", "TStrings");
    r.template Bool<&P::UseVertical, &P::SetUseVertical>("UseVertical");
    r.template Ord<&P::OtherWidth, &P::SetOtherWidth>("OtherWidth", "Integer");
    r.template Ord<&P::OtherHeight, &P::SetOtherHeight>("OtherHeight", "Integer");
    r.template Str<&P::EditMask, &P::SetEditMask>("EditMask", "TEditMask");
    r.template Ord<&P::ValueType, &P::SetValueType>("ValueType", "TValueType");
    r.template Ord<&P::DateType, &P::SetDateType>("DateType", "TDateType");
    r.template Str<&P::DateSign, &P::SetDateSign>("DateSign");
    r.template Bool<&P::AutoChangeDateSite, &P::SetAutoChangeDateSite>("AutoChangeDateSite");
    r.template Str<&P::Discard, &P::SetDiscard>("Discard");
    r.template Bool<&P::UseDiscard, &P::SetUseDiscard>("UseDiscard");
    r.template Bool<&P::CanOpenWin, &P::SetCanOpenWin>("CanOpenWin");
    r.template Ord<&P::GlyphIndex, &P::SetGlyphIndex>("GlyphIndex", "Integer");
    r.template Obj<&P::ChildHints, &P::SetChildHints>("ChildHints", "TStrings");
    r.template Ord<&P::CheckDuplicate, &P::SetCheckDuplicate>("CheckDuplicate", "TCheckDuplicate");
    r.template Bool<&P::SortListBox, &P::SetSortListBox>("SortListBox");
    r.template Obj<&P::Items, &P::SetItems>("Items", "TListItems");
    r.template Obj<&P::Columns, &P::SetColumns>("Columns", "TListColumns");
    r.template Obj<&P::ColumnCaptions, &P::SetColumnCaptions>("ColumnCaptions", "TStrings");
    r.template Bool<&P::ShowColumnHeader, &P::SetShowColumnHeader>("ShowColumnHeader");
    r.template Bool<&P::HideSelection, &P::SetHideSelection>("HideSelection");
    r.template Bool<&P::ColumnsAutoSize, &P::SetColumnsAutoSize>("ColumnsAutoSize");
    r.template Event<&P::OnOpenWinClick>("OnOpenWinClick", "TOpenWinClickEvent");
    r.template Event<&P::OnClearClick>("OnClearClick");
    r.template Event<&P::OnDeleteClick>("OnDeleteClick", "TDeleteClickEvent");
    r.template Event<&P::OnTypeClick>("OnTypeClick");
    r.template Event<&P::OnStyleChanging>("OnStyleChanging", "TStyleChangingEvent");
    r.template Event<&P::OnStyleChange>("OnStyleChange", "TStyleChangeEvent");
    r.template Event<&P::OnItemSelect>("OnItemSelect", "TListViewSelectItemEvent");
    r.template Event<&P::OnItemChange>("OnItemChange", "TListViewDataChangeEvent");
    r.template Event<&P::OnItemChanging>("OnItemChanging", "TListViewDataChangingEvent");
  });
  return info;
}

TSelectPanel::TSelectPanel(TComponent* owner)
    : TGroupBox(owner),
      begin_words_(std::make_unique<TStringList>()),
      final_words_(std::make_unique<TStringList>()),
      child_hints_(std::make_unique<TStringList>()),
      column_captions_(std::make_unique<TStringList>()),
      hint_word_("区间选择") {
  SetBounds(Left(), Top(), 353, 45);
  for (const char* w : {"起", "起"})
    begin_words_->Add(w);
  for (const char* w : {"止", "止"})
    final_words_->Add(w);
  for (const char* h : kDefaultHints)
    child_hints_->Add(h);
  column_captions_->Add("Data");

  auto make_button = [this](TGSpeedButton* b, TWinControl* parent, int glyph, int images) {
    b->SetParent(parent);
    b->SetFlat(true);
    b->SetBounds(0, 0, 23, 23);
    b->SetGlyphIndex(glyph);
    b->SetNumGlyphs(images);
    // The buttons keep their clicks; their double-clicks are the panel's.
    b->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);
  };
  auto make_edit = [this](const char* name) {
    auto* ed = new TOrlMaskEdit(this);
    ed->SetName(name);
    ed->SetParent(range_panel_);
    ed->SetHeight(24);
    ed->OnClick = Bind<&TSelectPanel::PartClicked>(this);
    ed->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);
    ed->OnKeyDown = Bind<&TSelectPanel::PartKeyDown>(this);
    ed->OnKeyUp = Bind<&TSelectPanel::PartKeyUp>(this);
    ed->OnKeyPress = Bind<&TSelectPanel::PartKeyPress>(this);
    return ed;
  };
  auto make_panel = [this](const char* name) {
    auto* p = new TPanel(this);
    p->SetName(name);
    p->SetParent(this);
    p->SetBevelInner(bvNone);
    p->SetBevelOuter(bvNone);
    p->SetCaption(" ");
    p->OnClick = Bind<&TSelectPanel::PartClicked>(this);
    p->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);
    return p;
  };
  auto make_label = [this](const char* name, const std::string& text) {
    auto* l = new TLabel(this);
    l->SetName(name);
    l->SetParent(range_panel_);
    l->SetAutoSize(true);
    l->SetCaption(text);
    l->OnClick = Bind<&TSelectPanel::PartClicked>(this);
    l->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);
    return l;
  };
  auto make_f2 = [&](const char* name, TWinControl* parent) {
    auto* b = new TF2Button(this);
    b->SetName(name);
    make_button(b, parent, glyph_index_, 1);
    b->OnClick = Bind<&TSelectPanel::F2Clicked>(this);
    return b;
  };

  type_check_box_ = new TOrlCheckBox(this);
  type_check_box_->SetName("TypeCheckBox");
  type_check_box_->SetParent(this);
  type_check_box_->SetBounds(16, 17, type_check_box_->Width(), type_check_box_->Height());
  type_check_box_->SetCaption(hint_word_);
  type_check_box_->SetChecked(false);
  type_check_box_->OnClick = Bind<&TSelectPanel::TypeClicked>(this);
  type_check_box_->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);

  range_panel_ = make_panel("RangePanel");
  begin_label_ = make_label("BeginLabel", begin_words_->Get(1));
  ed_begin_ = make_edit("edBegin");
  begin_f2_ = make_f2("BeginF2Button", range_panel_);
  final_label_ = make_label("FinalLabel", final_words_->Get(1));
  ed_final_ = make_edit("edFinal");
  ed_final_->SetHeight(ed_begin_->Height());
  final_f2_ = make_f2("FinalF2Button", range_panel_);

  list_panel_ = make_panel("ListPanel");
  list_f2_ = make_f2("ListF2Button", list_panel_);
  delete_button_ = new TGSpeedButton(this);
  delete_button_->SetName("DeleteButton");
  make_button(delete_button_, list_panel_, 47, 1);
  delete_button_->OnClick = Bind<&TSelectPanel::DeleteClicked>(this);
  clear_button_ = new TGSpeedButton(this);
  clear_button_->SetName("ClearButton");
  make_button(clear_button_, list_panel_, 4, 2);
  clear_button_->OnClick = Bind<&TSelectPanel::ClearClicked>(this);

  list_box_ = new TOrlListView(this);
  list_box_->SetName("ListBox");
  list_box_->SetParent(list_panel_);
  list_box_->SetViewStyle(vsReport);
  list_box_->SetMultiSelect(true);
  list_box_->SetRowSelect(true);
  list_box_->SetReadOnly(true);
  list_box_->SetShowColumnHeaders(false);
  list_box_->SetSortType(stNone);
  list_box_->SetHideSelection(false);
  list_box_->SetCursor(crHandPoint);
  list_box_->OnClick = Bind<&TSelectPanel::PartClicked>(this);
  list_box_->OnDblClick = Bind<&TSelectPanel::PartDblClicked>(this);
  list_box_->OnKeyDown = Bind<&TSelectPanel::PartKeyDown>(this);
  list_box_->OnKeyUp = Bind<&TSelectPanel::PartKeyUp>(this);
  list_box_->OnKeyPress = Bind<&TSelectPanel::PartKeyPress>(this);
  list_box_->OnSelectItem = Bind<&TSelectPanel::ListSelected>(this);
  list_box_->OnChange = Bind<&TSelectPanel::ListChanged>(this);
  list_box_->OnChanging = Bind<&TSelectPanel::ListChanging>(this);

  begin_words_->OnChange = Bind<&TSelectPanel::WordsChanged>(this);
  final_words_->OnChange = Bind<&TSelectPanel::WordsChanged>(this);
  child_hints_->OnChange = Bind<&TSelectPanel::HintsChanged>(this);
  column_captions_->OnChange = Bind<&TSelectPanel::CaptionsChanged>(this);

  ready_ = true;
  CaptionsChanged(nullptr);
  ApplyHints();
  ShowParts(style_);
  LayoutParts(style_);
}

TSelectPanel::~TSelectPanel() {
  ready_ = false;
}

bool TSelectPanel::Loading() const {
  return IsLoading() || (Parent() && Parent()->IsLoading()) || (Owner() && Owner()->IsLoading());
}

bool TSelectPanel::IsRangeInput() const {
  return style_ == sp_Range || (style_ == sp_UserChoice && type_check_box_->Checked());
}

// ---- showing and laying out ---------------------------------------------------------------

void TSelectPanel::ShowParts(TSelectStyle style) {
  if (!ready_ || ComponentState().Contains(csDesigning)) return;
  type_check_box_->SetVisible(style == sp_UserChoice);
  bool range = style == sp_Range || (type_check_box_->Visible() && type_check_box_->Checked());
  range_panel_->SetVisible(range);
  list_panel_->SetVisible(!range);
}

void TSelectPanel::PlaceFront(TPanel* front, TPanel* back, int left, int top, int width,
                              int height) {
  front->BringToFront();
  front->SetBounds(left, top, width, height);
  back->SetBounds(left, top, width, height);
}

void TSelectPanel::LayoutParts(TSelectStyle style) {
  if (!ready_ || arranging_ || IsDestroying()) return;
  arranging_ = true;
  try {
    const std::string& cb_caption = type_check_box_->Caption();
    const int cb_text_height = TextHeight(*type_check_box_->Font(), cb_caption);
    type_check_box_->SetBounds(type_check_box_->Left(), type_check_box_->Top(),
                               TextWidth(*type_check_box_->Font(), cb_caption) + 24,
                               cb_text_height + 2);
    const int h = TextHeight(*Font(), Caption());
    switch (style) {
      case sp_Range:
      case sp_Discrete: {
        type_check_box_->SetVisible(false);
        TPanel* front = style == sp_Range ? range_panel_ : list_panel_;
        TPanel* back = style == sp_Range ? list_panel_ : range_panel_;
        const int b = front->BevelWidth();
        const int top = h + 3;
        PlaceFront(front, back, 2, top, Width() - 2 - b - 2, Height() - top - b - 2);
        if (style == sp_Discrete)
          LayoutList();
        else if (use_vertical_)
          LayoutVertical();
        else
          LayoutHorizontal();
        break;
      }
      case sp_UserChoice: {
        type_check_box_->SetVisible(true);
        type_check_box_->BringToFront();
        type_check_box_->SetBounds(16, h + 1, type_check_box_->Width(), type_check_box_->Height());
        TPanel* front = user_choice_ ? range_panel_ : list_panel_;
        TPanel* back = user_choice_ ? list_panel_ : range_panel_;
        const int top = cb_text_height + type_check_box_->Top() + 2;
        PlaceFront(front, back, 2, top, Width() - 2 - 2, Height() - top - 2);
        LayoutVertical();
        LayoutList();
        break;
      }
    }
  } catch (...) {
    arranging_ = false;
    throw;
  }
  arranging_ = false;
}

std::string TSelectPanel::WordAt(const TStringList& words, int entry) const {
  // A list with fewer entries shows its last one.
  if (words.Count() == 0) return {};
  return words.Get(std::min(entry, words.Count() - 1));
}

void TSelectPanel::LayoutHorizontal() {
  const int w = range_panel_->Width();
  const int f = begin_f2_->Width();
  const int l2 = final_label_->Width();
  begin_label_->SetCaption(WordAt(*begin_words_, 0));
  const int l1 = begin_label_->Width();
  const int top = (range_panel_->Height() - ed_begin_->Height()) / 2;
  begin_label_->SetBounds(2, top, begin_label_->Width(), begin_label_->Height());
  const int edit_width =
      can_open_win_ ? (w - 2 - l1 - f - l2 - f - 8) / 2 - 1 : (w - 2 - l1 - l2 - 4) / 2 - 1;
  ed_begin_->SetBounds(begin_label_->Left() + begin_label_->Width() + 1, top, edit_width,
                       ed_begin_->Height());
  const int begin_right = ed_begin_->Left() + ed_begin_->Width();
  begin_f2_->SetBounds(begin_right + 2, top, begin_f2_->Width(), begin_f2_->Height());
  final_label_->SetCaption(WordAt(*final_words_, 0));
  const int final_left =
      can_open_win_ ? begin_f2_->Left() + begin_f2_->Width() + 2 : begin_right + 4;
  final_label_->SetBounds(final_left, top, final_label_->Width(), final_label_->Height());
  ed_final_->SetBounds(final_label_->Left() + final_label_->Width() + 2, top, edit_width,
                       ed_final_->Height());
  final_f2_->SetBounds(ed_final_->Left() + ed_final_->Width() + 2, top, final_f2_->Width(),
                       final_f2_->Height());
}

void TSelectPanel::LayoutVertical() {
  const int w = range_panel_->Width();
  const int f = begin_f2_->Width();
  const int g = (range_panel_->Height() - ed_begin_->Height() - ed_final_->Height()) / 3;
  begin_label_->SetCaption(WordAt(*begin_words_, 1));
  const int l1 = begin_label_->Width();
  begin_label_->SetBounds(2, g, l1, begin_label_->Height());
  const int edit_width = can_open_win_ ? w - 2 - l1 - f - 4 : w - 2 - l1 - 2;
  ed_begin_->SetBounds(2 + l1 + 2, g, edit_width, ed_begin_->Height());
  begin_f2_->SetBounds(ed_begin_->Left() + ed_begin_->Width() + 1, g, begin_f2_->Width(),
                       begin_f2_->Height());
  final_label_->SetCaption(WordAt(*final_words_, 1));
  const int final_top = g + begin_label_->Top() + ed_begin_->Height();
  final_label_->SetBounds(2, final_top, final_label_->Width(), final_label_->Height());
  ed_final_->SetBounds(ed_begin_->Left(), final_top, edit_width, ed_final_->Height());
  final_f2_->SetBounds(begin_f2_->Left(), final_top, final_f2_->Width(), final_f2_->Height());
}

void TSelectPanel::LayoutList() {
  const int f = list_f2_->Width();
  list_box_->SetBounds(list_box_->Left(), 0, list_panel_->Width() - list_box_->Left() - f - 3,
                       list_panel_->Height());
  const int left = list_box_->Width() + 2;
  list_f2_->SetBounds(left, 0, list_f2_->Width(), list_f2_->Height());
  delete_button_->SetBounds(left, list_f2_->Top() + list_f2_->Height(), delete_button_->Width(),
                            delete_button_->Height());
  clear_button_->SetBounds(left, delete_button_->Top() + delete_button_->Height(),
                           clear_button_->Width(), clear_button_->Height());
}

void TSelectPanel::Resize() {
  TGroupBox::Resize();
  LayoutParts(style_);
}

void TSelectPanel::FontChanged() {
  TGroupBox::FontChanged();
  LayoutParts(style_);
}

void TSelectPanel::SwapSize() {
  const int w = Width(), h = Height();
  SetBounds(Left(), Top(), other_width_, other_height_);
  other_width_ = w;
  other_height_ = h;
}

// ---- style ----------------------------------------------------------------------------------

void TSelectPanel::SetStyle(TSelectStyle style) {
  bool accept = true;
  OnStyleChanging(this, style_, style, accept);
  if (!accept) return;
  if (style == sp_UserChoice && ready_ && type_check_box_->Checked() != user_choice_) {
    // The check box shows the chosen input, so that the parts shown and
    // IsRangeInput agree with UserChoice.
    syncing_ = true;
    type_check_box_->SetChecked(user_choice_);
    syncing_ = false;
  }
  ShowParts(style);
  if (style != style_ && (style == sp_Range || style_ == sp_Range) && !use_vertical_ && !Loading())
    SwapSize();
  LayoutParts(style);
  OnStyleChange(this, style_, style);
  style_ = style;
}

void TSelectPanel::SetUserChoice(bool v) {
  user_choice_ = v;
  if (style_ != sp_UserChoice || !ready_) return;
  // Set in code: the box follows without a click of its own.
  syncing_ = true;
  try {
    type_check_box_->SetChecked(v);
  } catch (...) {
    syncing_ = false;
    throw;
  }
  syncing_ = false;
  LayoutParts(style_);
  ShowParts(style_);
}

void TSelectPanel::SetUseVertical(bool v) {
  if (style_ != sp_Range || v == use_vertical_) return;
  use_vertical_ = v;
  if (!Loading()) SwapSize();
  LayoutParts(style_);
}

void TSelectPanel::TypeClicked(TObject*) {
  if (syncing_ || style_ != sp_UserChoice) return;
  user_choice_ = type_check_box_->Checked();
  LayoutParts(style_);
  ShowParts(style_);
  OnTypeClick(this);
}

void TSelectPanel::SetHintWord(std::string_view word) {
  hint_word_ = std::string(word);
  type_check_box_->SetCaption(hint_word_);
  LayoutParts(style_);
}

// ---- word lists -------------------------------------------------------------------------------

TStrings* TSelectPanel::BeginWords() const {
  return begin_words_.get();
}

TStrings* TSelectPanel::FinalWords() const {
  return final_words_.get();
}

void TSelectPanel::SetBeginWords(TStrings* words) {
  SetWords(*begin_words_, words, begin_label_);
}

void TSelectPanel::SetFinalWords(TStrings* words) {
  SetWords(*final_words_, words, final_label_);
}

void TSelectPanel::SetWords(TStringList& words, TStrings* source, TLabel* label) {
  std::vector<std::string> taken;
  for (int i = 0; source && i < source->Count() && i < 2; ++i)
    taken.push_back(source->Get(i));
  // An empty list leaves the words as they are.
  if (taken.empty()) return;
  setting_words_ = true;
  try {
    words.BeginUpdate();
    words.Clear();
    for (const std::string& w : taken)
      words.Add(w);
    words.EndUpdate();
  } catch (...) {
    setting_words_ = false;
    throw;
  }
  setting_words_ = false;
  label->SetCaption(WordAt(words, style_ == sp_UserChoice ? 1 : 0));
  LayoutParts(style_);
}

void TSelectPanel::WordsChanged(TObject* sender) {
  if (setting_words_) return;
  if (auto* words = dynamic_cast<TStrings*>(sender); words && words->Count() >= 2)
    LayoutParts(style_);
}

// ---- mask, buttons, hints -------------------------------------------------------------------

void TSelectPanel::SetEditMask(std::string_view mask) {
  edit_mask_ = std::string(mask);
  ed_begin_->SetNoChangeEvents(true);
  try {
    std::string kept = ed_begin_->Text();
    ed_begin_->SetText("");
    ed_begin_->SetEditMask(edit_mask_);
    ed_final_->SetEditMask(edit_mask_);
    rule_.BlankText = ed_begin_->Text();
    ed_begin_->SetText(kept);
  } catch (...) {
    ed_begin_->SetNoChangeEvents(false);
    throw;
  }
  ed_begin_->SetNoChangeEvents(false);
}

void TSelectPanel::SetCanOpenWin(bool v) {
  if (v == can_open_win_) return;
  can_open_win_ = v;
  for (TF2Button* b : {begin_f2_, final_f2_, list_f2_})
    b->SetVisible(v);
  LayoutParts(style_);
}

void TSelectPanel::SetGlyphIndex(int index) {
  if (index == glyph_index_) return;
  bool shown = true;
  for (TF2Button* b : {begin_f2_, final_f2_, list_f2_}) {
    b->SetGlyphIndex(index);
    shown = shown && (index == 0 || (b->Glyph() && !b->Glyph()->Empty()));
  }
  if (!shown) {
    for (TF2Button* b : {begin_f2_, final_f2_, list_f2_})
      b->SetGlyphIndex(0);
    return;
  }
  glyph_index_ = index;
}

TStrings* TSelectPanel::ChildHints() const {
  return child_hints_.get();
}

void TSelectPanel::SetChildHints(TStrings* hints) {
  child_hints_->Assign(hints);
}

void TSelectPanel::HintsChanged(TObject*) {
  ApplyHints();
}

void TSelectPanel::ApplyHints() {
  // Entries 1 to 9, in the order of the parts.
  TControl* parts[] = {type_check_box_, ed_begin_, begin_f2_,      ed_final_,    final_f2_,
                       list_box_,       list_f2_,  delete_button_, clear_button_};
  for (int i = 0; i < 9 && i < child_hints_->Count(); ++i)
    if (parts[i]) parts[i]->SetHint(child_hints_->Get(i));
}

// ---- the list -----------------------------------------------------------------------------------

TListItems* TSelectPanel::Items() const {
  return list_box_->Items();
}

void TSelectPanel::SetItems(TListItems* items) {
  list_box_->SetItems(items);
}

TListColumns* TSelectPanel::Columns() const {
  return list_box_->Columns();
}

void TSelectPanel::SetColumns(TListColumns* columns) {
  list_box_->SetColumns(columns);
}

TStrings* TSelectPanel::ColumnCaptions() const {
  return column_captions_.get();
}

void TSelectPanel::SetColumnCaptions(TStrings* captions) {
  column_captions_->Assign(captions);
}

void TSelectPanel::CaptionsChanged(TObject*) {
  if (!ready_) return;
  TListColumns* columns = list_box_->Columns();
  columns->BeginUpdate();
  try {
    columns->Clear();
    for (int i = 0; i < column_captions_->Count(); ++i) {
      TListColumn* c = columns->Add();
      c->SetCaption(column_captions_->Get(i));
      c->SetWidth(list_box_->ByteWidth(EditTextLength(c->Caption())));
    }
  } catch (...) {
    columns->EndUpdate();
    throw;
  }
  columns->EndUpdate();
}

bool TSelectPanel::ShowColumnHeader() const {
  return list_box_->ShowColumnHeaders();
}

void TSelectPanel::SetShowColumnHeader(bool v) {
  list_box_->SetShowColumnHeaders(v);
}

bool TSelectPanel::HideSelection() const {
  return list_box_->HideSelection();
}

void TSelectPanel::SetHideSelection(bool v) {
  list_box_->SetHideSelection(v);
}

bool TSelectPanel::ColumnsAutoSize() const {
  return list_box_->ColumnsAutoSize();
}

void TSelectPanel::SetColumnsAutoSize(bool v) {
  list_box_->SetColumnsAutoSize(v);
}

void TSelectPanel::SetSortListBox(bool v) {
  sort_list_box_ = v;
  list_box_->SetSortType(v ? stText : stNone);
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate v) {
  check_duplicate_ = v;
  if (v != cd_None) SetSortListBox(true);
  if (!IsRangeInput()) RemoveDuplicates();
}

void TSelectPanel::RemoveDuplicates() {
  if (check_duplicate_ == cd_None) return;
  TListItems* items = list_box_->Items();
  auto key = [this](TListItem* item) {
    return check_duplicate_ == cd_CaseInsensitive ? UpperCase(item->Caption()) : item->Caption();
  };
  for (int i = items->Count() - 1; i >= 1; --i)
    if (i < items->Count() && key(items->Items(i)) == key(items->Items(i - 1))) items->Delete(i);
}

// ---- buttons
// --------------------------------------------------------------------------------------

void TSelectPanel::F2Clicked(TObject* sender) {
  TWinControl* part = nullptr;
  if (sender == begin_f2_)
    part = ed_begin_;
  else if (sender == final_f2_)
    part = ed_final_;
  else if (sender == list_f2_)
    part = list_box_;
  if (!part) return;
  if (part->CanFocus()) part->SetFocus();
  // The owner (the form) runs its F2 handling on the part.
  SendF2Request(Owner(), part);
  OnOpenWinClick(this, part);
}

void TSelectPanel::DeleteClicked(TObject*) {
  bool accept = true;
  OnDeleteClick(this, accept);
  if (accept) list_box_->DeleteSelected();
}

void TSelectPanel::ClearClicked(TObject*) {
  list_box_->ClearRows();
  if (list_box_->CanFocus()) list_box_->SetFocus();
  OnClearClick(this);
}

// ---- focus, enabled state, events
// -----------------------------------------------------------------

void TSelectPanel::SetFocus() {
  TGroupBox::SetFocus();
  if (!IsRangeInput() && list_box_->CanFocus()) list_box_->SetFocus();
}

void TSelectPanel::SetEnabled(bool enabled) {
  TGroupBox::SetEnabled(enabled);
  std::vector<TControl*> pending(ControlList().begin(), ControlList().end());
  while (!pending.empty()) {
    TControl* c = pending.back();
    pending.pop_back();
    c->SetEnabled(enabled);
    if (auto* w = dynamic_cast<TWinControl*>(c))
      pending.insert(pending.end(), w->ControlList().begin(), w->ControlList().end());
  }
}

void TSelectPanel::PutRangeInOrder() {
  const std::string& mask = ed_begin_->EditMask();
  if (mask.empty() || mask[0] != '!') {
    ed_begin_->SetText(Trim(ed_begin_->Text()));
    ed_final_->SetText(Trim(ed_final_->Text()));
  }
  std::string begin = ed_begin_->Text();
  std::string end = ed_final_->Text();
  if (RangeOutOfOrder(rule_, begin, end)) {
    ed_begin_->SetText(end);
    ed_final_->SetText(begin);
  }
}

void TSelectPanel::DoExit() {
  PutRangeInOrder();
  TGroupBox::DoExit();
}

TObject* TSelectPanel::ForwardSender(TObject* part) {
  if (part == list_box_ || part == ed_begin_ || part == ed_final_) return part;
  return this;
}

void TSelectPanel::PartClicked(TObject* sender) {
  OnClick(ForwardSender(sender));
}

void TSelectPanel::PartDblClicked(TObject* sender) {
  OnDblClick(ForwardSender(sender));
}

void TSelectPanel::PartKeyDown(TObject* sender, Word& key, TShiftState shift) {
  OnKeyDown(sender, key, shift);
}

void TSelectPanel::PartKeyUp(TObject* sender, Word& key, TShiftState shift) {
  OnKeyUp(sender, key, shift);
}

void TSelectPanel::PartKeyPress(TObject* sender, TKeyChar& key) {
  OnKeyPress(sender, key);
}

void TSelectPanel::ListSelected(TObject* sender, TListItem* item, bool selected) {
  OnItemSelect(sender, item, item ? item->Index() : -1, selected);
}

void TSelectPanel::ListChanged(TObject* sender, TListItem* item, TItemChange change) {
  OnItemChange(sender, item, change);
}

void TSelectPanel::ListChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow) {
  OnItemChanging(sender, item, change, allow);
}

}  // namespace vx
