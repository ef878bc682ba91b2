#include "framework/vxform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/btchkbox.h"
#include "controls/dblabel.h"
#include "controls/extpage.h"
#include "controls/f2button.h"
#include "controls/gspdbtn.h"
#include "controls/selectpnl.h"
#include "controls/vrxedit.h"
#include "controls/vxradiobutton.h"
#include "controls/vxradiogroup.h"
#include "controls/vxspin.h"
#include "lib/edition.h"
#include "platform/ui/buttons.h"
#include "platform/ui/headless.h"
#include "platform/ui/stdctrls.h"
#include "tests/env/env_fixture.h"

namespace vx {

// A form of the suite: one level below the root form, with its own controls.
class TfrmVxTest : public TVXForm {
  VX_CLASS(TfrmVxTest, TVXForm)
  explicit TfrmVxTest(TComponent* owner) : TVXForm(owner) {
    Title = Put<TLabel>("Title");
    Title->SetCaption("盘点数量");
    Input = Put<TEdit>("Input");
    Input->SetImeName("Chinese (Simplified) - Microsoft Pinyin");
    OneGlyph = Put<TSpeedButton>("OneGlyph");
    OneGlyph->SetGlyph(Picture(16, 16).get());
    TwoGlyphs = Put<TSpeedButton>("TwoGlyphs");
    TwoGlyphs->SetGlyph(Picture(32, 16).get());
    Bit = Put<TBitBtn>("Bit");
    Bit->SetGlyph(Picture(16, 16).get());
    Quick = Put<TGSpeedButton>("Quick");
    Quick->SetGlyphIndex(9);
    Query = Put<TF2Button>("Query");
    Query->SetF2Control(Input);
    Select = Put<TSelectPanel>("Select");
    Check = Put<TBitCheckBox>("Check");
    Check->SetCaption("仓库");
    Pages = Put<TExtPageControl>("Pages");
    GroupButton = Put<TVxGroupButton>("GroupButton");
    Bound = Put<TDBLabel>("Bound");
    Spin = Put<TVxSpinEdit>("Spin");
    // The earlier edition has no labelled edits.
    if (IsEarlierEdition()) return;
    Plain = Put<TVxEdit>("Plain");
    Field = Put<TVxDBEdit>("Field");
    BtnEdit = Put<TVxBtnDBEdit>("BtnEdit");
    BtnEdit->SetButtonHint("查询仓库");
    Radio = Put<TVxRadioButton>("Radio");
    Radio->SetCaption("数量");
    Group = Put<TVxRadioGroup>("Group");
    Group->SetCaption("单位");
    OnShow = Bind<&TfrmVxTest::FormShow>(this);
  }

  template <class T>
  T* Put(const char* name) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(this);
    return c;
  }

  // As the module forms do: the texts are converted at the first show.
  void FormShow(TObject*) {
    ConvertFormTexts();
    ++shows;
  }

  // A square of black on a fuchsia ground (the bottom-left pixel).
  static std::unique_ptr<TBitmap> Picture(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h, clFuchsia);
    for (int y = 2; y < h - 2; ++y)
      for (int x = 2; x < 14; ++x)
        b->SetPixel(x, y, clBlack);
    return b;
  }

  TLabel* Title;
  TEdit* Input;
  TSpeedButton *OneGlyph, *TwoGlyphs;
  TBitBtn* Bit;
  TGSpeedButton* Quick;
  TF2Button* Query;
  TSelectPanel* Select;
  TBitCheckBox* Check;
  TExtPageControl* Pages;
  TVxEdit* Plain = nullptr;
  TVxDBEdit* Field = nullptr;
  TVxBtnDBEdit* BtnEdit = nullptr;
  TDBLabel* Bound;
  TVxSpinEdit* Spin;
  TVxRadioButton* Radio;
  TVxRadioGroup* Group;
  TVxGroupButton* GroupButton;
  int shows = 0;
};

const TClassInfo& TfrmVxTest::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmVxTest>("TfrmVxTest", [](auto&) {});
  return info;
}

namespace {

class VxForm : public test::EnvFixture {
 protected:
  void SetUp() override {
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
  }
  void TearDown() override {
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
  }
  // A machine with the client configuration's interface code page and the
  // language folders.
  void Machine(const char* system_cp, const char* ui_cp) {
    CodePage(system_cp);
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n\"ProfileType\"=\"0\"\r\n");
    tmp_.Write("inst/SorvendaC.ini", std::string("[CodePage]\nUICodePage=") + ui_cp + "\n");
    for (const char* f : {"CHS", "CHT", "ENG"})
      tmp_.MakeFolder(std::string("inst/MultiLanguage/") + f);
  }
  void LangFile(const std::string& lang, const std::string& package, const std::string& xml) {
    tmp_.Write("inst/MultiLanguage/" + lang + "/" + package + ".Lng", xml);
  }
};

TEST_F(VxForm, DefaultsAndComponents) {
  Machine("936", "936");
  auto* f = Create<TfrmVxTest>(nullptr);
  EXPECT_TRUE(f->KeyPreview());
  EXPECT_EQ(f->Position(), poScreenCenter);
  EXPECT_TRUE(f->ShowHint());
  EXPECT_EQ(f->Font()->Name(), "宋体");
  EXPECT_EQ(f->Font()->Height(), -13);
  EXPECT_EQ(f->Color(), clBtnFace);
  EXPECT_EQ(f->FindComponent("VxConverter"), f->VxConverter());
  EXPECT_EQ(f->FindComponent("LangController"), f->LangController());
  EXPECT_EQ(f->VxConverter()->DesignType(), dtClient);
  EXPECT_FALSE(f->LangController()->Active());
  EXPECT_FALSE(f->TextsConverted());
  EXPECT_TRUE(f->TranslateOnShow());
  EXPECT_EQ(f->SystemCodePage(), "936");
  EXPECT_EQ(f->InterfaceCodePage(), "936");
  EXPECT_EQ(f->Input->ImeName(), "");
  // Fonts stay as authored outside the English interface.
  EXPECT_EQ(f->Title->Font()->Name(), "宋体");
}

TEST_F(VxForm, EnglishInterfaceFonts) {
  Machine("437", "437");
  auto* f = Create<TfrmVxTest>(nullptr);
  for (TControl* c : std::vector<TControl*>{f->Title, f->Input, f->OneGlyph, f->Bit}) {
    EXPECT_EQ(c->Font()->Name(), "Tahoma") << c->Name();
    EXPECT_EQ(c->Font()->Charset(), GB2312_CHARSET) << c->Name();
  }
}

TEST_F(VxForm, OnePictureButtonsGetADisabledPicture) {
  Machine("936", "936");
  auto* f = Create<TfrmVxTest>(nullptr);
  EXPECT_EQ(f->OneGlyph->Glyph()->Width(), 32);
  EXPECT_EQ(f->OneGlyph->Glyph()->Height(), 16);
  EXPECT_EQ(f->OneGlyph->NumGlyphs(), 2);
  // The black square in shadow, its highlight one pixel down-right, face
  // around.
  EXPECT_TRUE(f->OneGlyph->Glyph()->Pixel(8, 8) == clBlack);
  EXPECT_EQ(f->OneGlyph->Glyph()->Pixel(16 + 8, 8), ColorToRGB(clBtnShadow));
  EXPECT_EQ(f->OneGlyph->Glyph()->Pixel(16 + 14, 14), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(f->OneGlyph->Glyph()->Pixel(16, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(f->Bit->NumGlyphs(), 2);
  EXPECT_EQ(f->Bit->Glyph()->Width(), 32);
  // Library pictures of one image are widened with a generated disabled
  // picture; the clear-list picture already holds two and is kept.
  for (TSpeedButton* b : std::vector<TSpeedButton*>{f->Quick, f->Query, f->Select->ClearButton(),
                                                    f->BtnEdit->Button()}) {
    EXPECT_EQ(b->NumGlyphs(), 2) << b->Name();
    EXPECT_EQ(b->Glyph()->Width(), 2 * b->Glyph()->Height()) << b->Name();
  }
  TBitmap strip;
  ASSERT_TRUE(GlyphLibrary().LoadBmp(strip, 47));
  for (TSpeedButton* b :
       std::vector<TSpeedButton*>{f->Select->ListF2Button(), f->Select->DeleteButton()}) {
    EXPECT_EQ(b->NumGlyphs(), 2) << b->Name();
    EXPECT_EQ(b->Glyph()->Width(), 2 * strip.Width()) << b->Name();
  }
  // Two pictures already: left as they are.
  EXPECT_EQ(f->TwoGlyphs->NumGlyphs(), 2);
  EXPECT_TRUE(f->TwoGlyphs->Glyph()->SameImage(*TfrmVxTest::Picture(32, 16)));
}

TEST_F(VxForm, EarlierEditionMakesNoDisabledPictures) {
  Machine("936", "936");
  ScopedEdition earlier(TModuleEdition::Earlier);
  auto* f = Create<TfrmVxTest>(nullptr);
  EXPECT_EQ(f->OneGlyph->NumGlyphs(), 1);
  EXPECT_EQ(f->OneGlyph->Glyph()->Width(), 16);
  EXPECT_EQ(f->Select->DeleteButton()->NumGlyphs(), 1);
}

// The outline rule on a picture small enough to work out by hand:
// '.' transparent (bottom-left), 'L' light, 'K' black; in the disabled half
// 'F' face, 'H' highlight, 'S' shadow. The corner L pixels only have L
// neighbours (the border clamps to the pixel itself) and stay out; the L
// beside the K is not dark and not on the edge.
TEST(MakeDisabledGlyph, PixelByPixel) {
  const std::vector<std::string> picture = {"LLL.", "LLK.", "LLL.", "...."};
  const std::vector<std::string> expected = {"LLL.FFSF", "LLK.FFSH", "LLL.SSSH", "....FHHH"};
  auto colour = [](char c) {
    switch (c) {
      case '.':
        return clFuchsia;
      case 'L':
        return RGB(200, 200, 200);
      case 'K':
        return clBlack;
      case 'F':
        return ColorToRGB(clBtnFace);
      case 'H':
        return ColorToRGB(clBtnHighlight);
      default:
        return ColorToRGB(clBtnShadow);
    }
  };
  TBitmap glyph(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      glyph.SetPixel(x, y, colour(picture[y][x]));
  TVXForm::MakeDisabledGlyph(&glyph);
  ASSERT_EQ(glyph.Width(), 8);
  ASSERT_EQ(glyph.Height(), 4);
  EXPECT_EQ(glyph.PixelFormat(), pf24bit);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(glyph.Pixel(x, y), colour(expected[y][x])) << x << "," << y;

  // A fixed transparent colour counts, not the bottom-left pixel; a dark
  // grey (R+G+B 381) is taken without touching it.
  TBitmap fixed(3, 1, clWhite);
  fixed.SetPixel(1, 0, RGB(127, 127, 127));
  fixed.SetTransparentColor(clWhite);
  TVXForm::MakeDisabledGlyph(&fixed);
  EXPECT_EQ(fixed.Pixel(4, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(fixed.Pixel(3, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(fixed.Pixel(5, 0), ColorToRGB(clBtnFace));  // the highlight falls off the picture

  TBitmap empty;
  TVXForm::MakeDisabledGlyph(&empty);
  EXPECT_TRUE(empty.Empty());
}

// Counts the elements applied to one component.
struct ReadCounter {
  TComponent* target;
  int reads = 0;
  void Loaded(TComponent* c, const XmlNode&) { reads += c == target; }
};

TEST_F(VxForm, LanguageFilesOfTheClassChainAtEveryShow) {
  Machine("936", "437");
  LangFile("ENG", "TVXForm", R"(<TVXForm Caption="Root"><Title Caption="Root title"/></TVXForm>)");
  LangFile("ENG", "TfrmVxTest", R"(<X><Title Caption="Quantity"/></X>)");
  auto* f = Create<TfrmVxTest>(nullptr);
  ReadCounter counter{f->Title};
  f->LangController()->AfterLoadComponent = Bind<&ReadCounter::Loaded>(&counter);
  const int& reads = counter.reads;
  EXPECT_EQ(f->Title->Caption(), "盘点数量");  // nothing before the show
  f->Show();
  EXPECT_EQ(f->Caption(), "Root");
  EXPECT_EQ(f->Title->Caption(), "Quantity");  // the form's own class last
  EXPECT_EQ(reads, 2);
  f->Title->SetCaption("changed");
  f->Hide();
  f->Show();
  EXPECT_EQ(f->Title->Caption(), "Quantity");
  EXPECT_EQ(reads, 4);

  f->SetTranslateOnShow(false);
  f->Title->SetCaption("kept");
  f->Hide();
  f->Show();
  EXPECT_EQ(f->Title->Caption(), "kept");
}

// The form with one of each framework control, shown twice, applies its
// language file twice and converts its texts once: the file's Simplified
// texts are converted after the first show only.
TEST_F(VxForm, ShownTwiceTranslatesTwiceConvertsOnce) {
  Machine("936", "950");
  LangFile("CHT", "TfrmVxTest",
           R"(<X><Title Caption="库存"/><Check Caption="后台"/><Radio Caption="后台"/>)"
           R"(<Group Caption="后台"/><BtnEdit ButtonHint="后台"/></X>)");
  auto* f = Create<TfrmVxTest>(nullptr);
  ReadCounter counter{f->Title};
  f->LangController()->AfterLoadComponent = Bind<&ReadCounter::Loaded>(&counter);
  auto texts = [f] {
    return std::vector<std::string>{f->Title->Caption(), f->Check->Caption(), f->Radio->Caption(),
                                    f->Group->Caption(), f->BtnEdit->ButtonHint()};
  };
  f->Show();
  EXPECT_TRUE(f->TextsConverted());
  EXPECT_EQ(texts(), (std::vector<std::string>{"庫存", "後臺", "後臺", "後臺", "後臺"}));
  EXPECT_EQ(f->Title->Font()->Charset(), CHINESEBIG5_CHARSET);
  EXPECT_EQ(f->Plain->Font()->Charset(), CHINESEBIG5_CHARSET);
  f->Hide();
  f->Show();
  EXPECT_EQ(f->shows, 2);
  EXPECT_EQ(counter.reads, 2);
  EXPECT_EQ(f->Title->Caption(), "库存");
  EXPECT_EQ(f->Group->Caption(), "后台");
}

TEST_F(VxForm, UnreadableLanguageFileIsReportedAndTheFormShows) {
  Machine("936", "437");
  LangFile("ENG", "TfrmVxTest", "<X><Title Caption=");
  auto* f = Create<TfrmVxTest>(nullptr);
  f->Show();
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(f->shows, 1);
  EXPECT_EQ(f->Title->Caption(), "盘点数量");
  ASSERT_EQ(HeadlessWidgetSet()->Dialogs().size(), 1u);
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs()[0].DlgType, "mtError");
  EXPECT_THROW(f->ApplyLanguage(), LanguageControllerError);
}

TEST_F(VxForm, LanguageTextsAndMessageBox) {
  Machine("936", "950");
  LangFile("CHT", "TfrmScheme", R"(<X><Saved Msg="方案已儲存"/></X>)");
  auto* f = Create<TfrmVxTest>(nullptr);
  EXPECT_EQ(f->GetLangText("TfrmScheme", "Saved", true, "已保存"), "方案已儲存");
  EXPECT_EQ(f->GetLangText("TfrmScheme", "Missing", true, "后台处理"), "後臺處理");
  EXPECT_EQ(f->GetLangText("TfrmScheme", "Missing", false, "后台处理"), "后台处理");

  f->SetCaption("盘点");
  EXPECT_EQ(f->FormMessageBox("", mtWarning, {mbOK}), 0);
  EXPECT_EQ(f->FormMessageBox("方案已儲存", mtInformation, {mbOK}), mrOk);
  ASSERT_EQ(HeadlessWidgetSet()->Dialogs().size(), 1u);
  // A Big5 interface on a GBK system still gets the padding.
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs()[0].Text, "方案已儲存      ");
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs()[0].Caption, "盘点");
}

}  // namespace
}  // namespace vx
