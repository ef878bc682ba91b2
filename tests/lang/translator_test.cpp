#include "lang/translator.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(Translator, ConvertsThroughTheLibrary) {
  TTranslator t;
  EXPECT_EQ(t.GBToBig5("盘点帐面量重计"), "盤點帳面量重計");
  EXPECT_EQ(t.Big5ToGB("盤點帳面量重計"), "盘点帐面量重计");
  EXPECT_EQ(t.GBToBig5(""), "");
  // A long text converts whole.
  std::string long_text(5000, 'a');
  long_text += "仓库";
  EXPECT_EQ(t.GBToBig5(long_text), std::string(5000, 'a') + "倉庫");
  EXPECT_NE(t.LibraryFileName().find("Dirurevido.so"), std::string::npos);
}

TEST(Translator, MissingLibraryOrEntryPointRaisesTheSystemsMessages) {
  try {
    TTranslator t("NoSuchTranslator.dll");
    FAIL() << "loaded";
  } catch (const ETranslatorError& e) {
    EXPECT_EQ(e.Message(), "Load Library NoSuchTranslator.dll Error!");
  }
  // A library without the two entry points.
  try {
    TTranslator t("CallWebService.dll");
    FAIL() << "accepted";
  } catch (const ETranslatorError& e) {
    EXPECT_EQ(e.Message(), "Get Library Procedure Address Error!");
  }
}

}  // namespace
}  // namespace vx
