#include "lib/xml_helpers.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
const std::string kDoctype = "<!DOCTYPE SC[<!ENTITY stdd \"&amp;stdd;\">]>";

TEST(NormalizeXMLHeader, AddsWhatIsMissingWhereItBelongs) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"<Root/>", kDecl + kDoctype + "<Root/>"},
      {"<!DOCTYPE Root><Root/>", kDecl + "<!DOCTYPE Root><Root/>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE R><R/>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE R><R/>"},
      {"<?xml version=\"1.0\"?><Root/>", kDecl + kDoctype + "<Root/>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Response/>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kDoctype + "<Response/>"},
      {"<?XML VERSION=\"1.0\"?><!doctype r><r/>",
       "<?XML VERSION=\"1.0\" encoding=\"GB2312\"?><!doctype r><r/>"},
      // Line breaks and blanks ahead of "?>" do not move the insertions into
      // the declaration.
      {"\r\n<?xml version=\"1.0\"?>\r\n<R/>", "\r\n" + kDecl + kDoctype + "\r\n<R/>"},
      {"<?xml version=\"1.0\"\r\n?><R/>",
       "<?xml version=\"1.0\"\r\n encoding=\"GB2312\"?>" + kDoctype + "<R/>"},
      // An encoding named anywhere in the head counts.
      {"<?xml version=\"1.0\"?><R encoding=\"x\"/>",
       "<?xml version=\"1.0\"?>" + kDoctype + "<R encoding=\"x\"/>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormalizeXMLHeader(c.in), c.out) << c.in;
}

TEST(NormalizeXMLHeader, ADeclarationEndingBeyondTheHeadIsLeftAlone) {
  std::string long_decl =
      "<?xml version=\"1.0\" standalone=\"yes\"" + std::string(90, ' ') + "?><R/>";
  EXPECT_EQ(NormalizeXMLHeader(long_decl), long_decl);
}

TEST(LoadXMLNormalized, ReadsAnswersWithoutDeclaration) {
  XmlDocument doc = LoadXMLNormalized(
      "<Response><Status code=\"1\" Description=\"用户&stdd;不存在\"/></Response>");
  ASSERT_TRUE(doc.DocumentElement()) << doc.ParseError().Reason;
  EXPECT_EQ(doc.SelectSingleNode("//Status[@code]").GetAttribute("code"), "1");
  EXPECT_EQ(doc.SelectSingleNode("//Status[@Description]").GetAttribute("Description"),
            "用户&stdd;不存在");
}

TEST(LoadXMLText, TextThatDoesNotParseGivesAnEmptyDocument) {
  for (const char* text : {"N", "", "<Root><R1></Root>"}) {
    XmlDocument doc = LoadXMLText(text);
    EXPECT_FALSE(doc.DocumentElement()) << text;
    EXPECT_NE(doc.ParseError().ErrorCode, 0) << text;
  }
}

TEST(XmlHelpers, BuildsTheReceiversTextAsTheDialogDoes) {
  XmlDocument doc = LoadXMLText(kDecl + "<Root/>");
  XmlNode root = doc.DocumentElement();
  struct Row {
    int number;
    const char *id, *name, *mob, *type, *msg;
  } rows[] = {{1, "u001", "王仓管", "13800000000", "5", "YNN"}, {3, "DS", "", "", "1", "YNY"}};
  for (const auto& r : rows) {
    XmlNode e = FindOrAddChild(root, "R" + std::to_string(r.number), true);
    SetXMLAttribute(e, "ID", r.id);
    SetXMLAttribute(e, "Name", r.name);
    if (*r.mob) SetXMLAttribute(e, "Mob", r.mob);
    SetXMLAttribute(e, "Type", r.type);
    SetXMLAttribute(e, "Msg", r.msg);
  }
  EXPECT_EQ(kDecl + root.Xml(),
            kDecl +
                "<Root><R1 ID=\"u001\" Name=\"王仓管\" Mob=\"13800000000\" Type=\"5\" Msg=\"YNN\"/>"
                "<R3 ID=\"DS\" Name=\"\" Type=\"1\" Msg=\"YNY\"/></Root>");

  // Reading it back as the dialog does.
  XmlDocument back = LoadXMLText(kDecl + root.Xml());
  XmlNode r3 = FindOrAddChild(back.DocumentElement(), "R3", false);
  EXPECT_EQ(GetXMLAttribute(r3, "Msg"), "YNY");
  EXPECT_EQ(GetXMLAttribute(r3, "Mail"), "");
  EXPECT_EQ(back.DocumentElement().ChildCount(), 2);
}

TEST(FindOrAddChild, FindsCreatesOrLeavesAlone) {
  XmlDocument doc =
      LoadXMLText("<MD007><Receiver><R1 ID=\"a\"/></Receiver><Title Value=\"T\"/></MD007>");
  XmlNode root = doc.DocumentElement();
  const std::string before = doc.Xml();
  EXPECT_EQ(FindOrAddChild(root, "Title/@Value", false).Text(), "T");
  EXPECT_EQ(FindOrAddChild(root, "Receiver", true).ChildCount(), 1);
  EXPECT_FALSE(FindOrAddChild(root, "Body", false));
  EXPECT_EQ(doc.Xml(), before);
  XmlNode body = FindOrAddChild(root, "Body", true);
  EXPECT_EQ(body.ParentNode(), root);
  EXPECT_EQ(doc.Xml(),
            "<MD007><Receiver><R1 ID=\"a\"/></Receiver><Title Value=\"T\"/><Body/></MD007>");
  EXPECT_EQ(FindOrAddChild(root, "Body", true), body);
  EXPECT_FALSE(FindOrAddChild(XmlNode(), "Body", true));
  EXPECT_EQ(GetXMLAttribute(XmlNode(), "ID"), "");
  EXPECT_THROW(FindOrAddChild(root, "Missing/Child", true), EXmlError);
  EXPECT_THROW(FindOrAddChild(root, "[", false), EXmlError);
}

}  // namespace
}  // namespace vx
