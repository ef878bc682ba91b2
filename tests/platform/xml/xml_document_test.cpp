#include "platform/xml/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/text.h"

namespace vx {
namespace {

const char* kPortalAnswer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<Response>\r\n"
    "  <Status code=\"0\" Description=\"\"/>\r\n"
    "  <Data>\r\n"
    "    <Record><Field name=\"Id\" value=\"u001\"/><Field name=\"Name\" "
    "value=\"王仓管\"/></Record>\r\n"
    "    <Record><Field name=\"Name\" value=\"李会计\"/><Field name=\"Id\" "
    "value=\"u002\"/></Record>\r\n"
    "  </Data>\r\n"
    "</Response>\r\n";

TEST(XmlDocument, XPathOverThePortalAnswer) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml(kPortalAnswer)) << doc.ParseError().Reason;
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlOk);
  XmlNode status = doc.SelectSingleNode("//Status[@code]");
  ASSERT_TRUE(status);
  EXPECT_EQ(status.GetAttribute("code"), "0");
  auto records = doc.SelectNodes("//Record");
  ASSERT_EQ(records.size(), 2u);
  std::vector<std::pair<std::string, std::string>> users;
  for (const XmlNode& r : records)
    users.emplace_back(r.SelectSingleNode("Field[@name='Id']").GetAttribute("value"),
                       r.SelectSingleNode("Field[@name='Name']").GetAttribute("value"));
  EXPECT_EQ(users, (std::vector<std::pair<std::string, std::string>>{{"u001", "王仓管"},
                                                                     {"u002", "李会计"}}));
  // An attribute selected by a path is a node of its own.
  XmlNode id = doc.DocumentElement().SelectSingleNode("//Record/Field/@value");
  EXPECT_EQ(id.NodeType(), XmlNodeType::Attribute);
  EXPECT_EQ(id.NodeName(), "value");
  EXPECT_EQ(id.Text(), "u001");
  EXPECT_FALSE(doc.SelectSingleNode("//Status[@code='1']"));
  EXPECT_TRUE(doc.SelectNodes("//Nothing").empty());
  EXPECT_THROW(doc.SelectSingleNode("//Status[@"), EXmlError);
}

TEST(XmlDocument, NodesAttributesAndText) {
  XmlDocument doc;
  ASSERT_TRUE(
      doc.LoadXml("<MD007><Title Value=\"库存提醒\" Kind=\"W\"/>"
                  "<Body>数量 <b>不足</b><![CDATA[ <1> ]]></Body><!-- note --></MD007>"));
  XmlNode root = doc.DocumentElement();
  EXPECT_EQ(root.NodeName(), "MD007");
  EXPECT_EQ(root.NodeType(), XmlNodeType::Element);
  EXPECT_EQ(root.ChildCount(), 3);
  EXPECT_EQ(root.ChildNodes()[2].NodeType(), XmlNodeType::Comment);
  XmlNode title = root.FirstChild();
  EXPECT_EQ(title.AttributeCount(), 2);
  EXPECT_EQ(title.AttributeAt(1).NodeName(), "Kind");
  EXPECT_EQ(title.AttributeAt(1).Text(), "W");
  EXPECT_FALSE(title.AttributeAt(2));
  EXPECT_FALSE(title.AttributeAt(-1));
  EXPECT_EQ(title.NamedAttribute("Value").Text(), "库存提醒");
  EXPECT_FALSE(title.NamedAttribute("value"));  // names are case-sensitive
  EXPECT_EQ(title.GetAttribute("Missing"), "");
  EXPECT_EQ(title.NextSibling().Text(), "数量 不足 <1> ");
  EXPECT_EQ(title.NextSibling().FirstChild().NodeName(), "#text");
  EXPECT_EQ(doc.AsNode().NodeType(), XmlNodeType::Document);
  EXPECT_EQ(root.ParentNode(), doc.AsNode());
}

TEST(XmlDocument, CompactSerialisationOfTheReceiversDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml("<?xml version=\"1.0\" encoding=\"GB2312\"?><Root/>"));
  XmlNode root = doc.DocumentElement();
  XmlNode r1 = doc.CreateElement("R1");
  // A created element is not part of the document until appended.
  EXPECT_EQ(doc.Xml(), "<?xml version=\"1.0\" encoding=\"GB2312\"?><Root/>");
  EXPECT_FALSE(doc.SelectSingleNode("//R1"));
  root.AppendChild(r1);
  r1.SetAttribute("ID", "u001");
  r1.SetAttribute("Name", "王\"仓管\" & <Co>");
  r1.SetAttribute("Type", "5");
  r1.SetAttribute("Msg", "YNN");
  XmlNode r3 = root.AppendChild(doc.CreateElement("R3"));
  r3.SetAttribute("ID", "u003");
  r3.SetAttribute("Msg", "NNY");
  r3.SetAttribute("Msg", "YNY");  // setting again replaces the value in place
  EXPECT_EQ(root.Xml(),
            "<Root><R1 ID=\"u001\" Name=\"王&quot;仓管&quot; &amp; &lt;Co>\" Type=\"5\" "
            "Msg=\"YNN\"/><R3 ID=\"u003\" Msg=\"YNY\"/></Root>");
  EXPECT_EQ(doc.Xml(), "<?xml version=\"1.0\" encoding=\"GB2312\"?>" + root.Xml());
  EXPECT_EQ(doc.SelectSingleNode("//R3/@Msg").Text(), "YNY");

  // White space between elements of a loaded text is not kept.
  XmlDocument spaced;
  ASSERT_TRUE(spaced.LoadXml("<Root>\r\n  <R1 ID='a' />\r\n  <R2 ID='b'></R2>\r\n</Root>"));
  EXPECT_EQ(spaced.DocumentElement().Xml(), "<Root><R1 ID=\"a\"/><R2 ID=\"b\"/></Root>");
}

TEST(XmlDocument, BuildsADocumentFromNothing) {
  XmlDocument doc;
  EXPECT_FALSE(doc.DocumentElement());
  EXPECT_EQ(doc.Xml(), "");
  XmlNode root = doc.AppendChild(doc.CreateElement("Root"));
  EXPECT_EQ(doc.DocumentElement(), root);
  XmlNode a = root.AppendChild(doc.CreateElement("A"));
  XmlNode b = a.AppendChild(doc.CreateElement("B"));
  root.AppendChild(b);  // moving a node keeps the reference valid
  EXPECT_EQ(doc.Xml(), "<Root><A/><B/></Root>");
  EXPECT_EQ(b.ParentNode(), root);

  XmlDocument other;
  EXPECT_THROW(root.AppendChild(other.CreateElement("X")), EXmlError);
  EXPECT_THROW(doc.AppendChild(doc.CreateElement("Second")), EXmlError);
  EXPECT_THROW(a.AppendChild(root), EXmlError);
  EXPECT_THROW(doc.CreateElement("1bad"), EXmlError);
  EXPECT_THROW(doc.CreateElement("a b"), EXmlError);
  root.SetAttribute("ID", "1");
  EXPECT_THROW(root.AttributeAt(0).SetAttribute("a", "b"), EXmlError);
  EXPECT_THROW(root.SetAttribute("bad name", "b"), EXmlError);
}

TEST(XmlDocument, ReloadingTurnsOldNodesNull) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml("<a><b/></a>"));
  XmlNode b = doc.SelectSingleNode("//b");
  ASSERT_TRUE(doc.LoadXml("<c/>"));
  EXPECT_TRUE(b.IsNull());
  EXPECT_EQ(b.NodeName(), "");
  EXPECT_TRUE(b.SelectNodes("//c").empty());
  EXPECT_THROW(doc.DocumentElement().AppendChild(b), EXmlError);
}

TEST(XmlDocument, MalformedTextGivesAReasonAndAnEmptyDocument) {
  struct Case {
    const char* text;
    int code;
  } cases[] = {
      {"", xmlNoDocumentElement},
      {"N", xmlNoDocumentElement},
      {"<Root><R1></Root>", xmlSyntax},
      {"<Root a=\"1\" a=\"2\"/>", xmlSyntax},
      {"<Root a=1/>", xmlSyntax},
      {"<a/><b/>", xmlTopLevel},
      {"<Root>\n<R1 ID=\"x\"\n</Root>", xmlSyntax},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<Previous/>"));
    EXPECT_FALSE(doc.LoadXml(c.text)) << c.text;
    EXPECT_EQ(doc.ParseError().ErrorCode, c.code) << c.text;
    EXPECT_FALSE(doc.ParseError().Reason.empty()) << c.text;
    EXPECT_FALSE(doc.DocumentElement()) << c.text;
    EXPECT_EQ(doc.Xml(), "") << c.text;
  }
  XmlDocument doc;
  EXPECT_FALSE(doc.LoadXml("<Root>\n<R1 ID=\"x\"\n</Root>"));
  EXPECT_EQ(doc.ParseError().Line, 3);
  EXPECT_NE(doc.ParseError().Reason.find("line 3"), std::string::npos);
}

// Hostile documents: nesting that would exhaust the stack of a recursive walk
// is refused, a sane depth loads and its text is collected, and a duplicate
// among many attributes is still found.
TEST(XmlDocument, DeepNestingIsRefusedAndManyAttributesAreChecked) {
  auto nested = [](int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i)
      s += "<e>";
    s += "x";
    for (int i = 0; i < depth; ++i)
      s += "</e>";
    return s;
  };
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml(nested(256))) << doc.ParseError().Reason;
  EXPECT_EQ(doc.DocumentElement().Text(), "x");
  EXPECT_EQ(doc.AsNode().Text(), "x");
  EXPECT_FALSE(doc.LoadXml(nested(257)));
  EXPECT_FALSE(doc.LoadXml(nested(60000)));
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlSyntax);
  EXPECT_NE(doc.ParseError().Reason.find("nested deeper"), std::string::npos);
  EXPECT_FALSE(doc.DocumentElement());

  std::string attributes;
  for (int i = 0; i < 100000; ++i)
    attributes += Format(" a%d=\"\"", i);
  ASSERT_TRUE(doc.LoadXml("<r><e" + attributes + "/></r>")) << doc.ParseError().Reason;
  EXPECT_EQ(doc.SelectSingleNode("/r/e").AttributeCount(), 100000);
  EXPECT_FALSE(doc.LoadXml("<r><e/><f><g" + attributes + " a5=\"\"/></f></r>"));
  EXPECT_NE(doc.ParseError().Reason.find("Duplicate attribute on element \"g\""),
            std::string::npos);
}

TEST(XmlDocument, LoadingTextIgnoresTheDeclaredEncoding) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml("<?xml version=\"1.0\" encoding=\"GB2312\"?><R Name=\"盘点\"/>"));
  EXPECT_EQ(doc.DocumentElement().GetAttribute("Name"), "盘点");
}

class XmlFiles : public ::testing::Test {
 protected:
  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("vx_xml_test_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& bytes) {
    auto p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
};

TEST_F(XmlFiles, DeclaredEncodingsAreDecoded) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* value;
  } cases[] = {
      // GB2312 declared, GBK bytes of 盘点仓库
      {"gb.xml",
       "<?xml version=\"1.0\" encoding=\"GB2312\"?><T V=\"\xC5\xCC\xB5\xE3\xB2\xD6\xBF\xE2\"/>",
       "盘点仓库"},
      {"gbk.xml", "<?xml version='1.0' encoding='gbk'?><T V=\"\xC5\xCC\xB5\xE3\"/>", "盘点"},
      // Big5 bytes of 盤點倉庫
      {"big5.xml",
       "<?xml version=\"1.0\" encoding=\"Big5\"?><T V=\"\xBD\x4C\xC2\x49\xAD\xDC\xAE\x77\"/>",
       "盤點倉庫"},
      {"utf8.xml", "<T V=\"数量\"/>", "数量"},
      {"bom.xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?><T V=\"日期\"/>", "日期"},
      // UTF-16 little endian with byte-order mark: <T V="日"/>
      {"utf16.xml", std::string("\xFF\xFE<\0T\0 \0V\0=\0\"\0\xE5\x65\"\0/\0>\0", 22), "日"},
      // UTF-16 big endian without a mark, declaration first
      {"utf16be.xml",
       std::string("\0<\0?\0x\0m\0l\0 \0v\0=\0'\0\x31\0'\0?\0>\0<\0T\0 \0V\0=\0'\x65\xE5\0'\0/\0>",
                   46),
       "日"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(Write(c.name, c.bytes))) << c.name << ": " << doc.ParseError().Reason;
    EXPECT_EQ(doc.DocumentElement().GetAttribute("V"), c.value) << c.name;
  }
}

TEST_F(XmlFiles, FileErrorsAreParseErrors) {
  XmlDocument doc;
  EXPECT_FALSE(doc.Load((dir_ / "missing.xml").string()));
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlFileNotFound);

  EXPECT_FALSE(doc.Load(Write("enc.xml", "<?xml version=\"1.0\" encoding=\"x-klingon\"?><a/>")));
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlUnsupportedEncoding);
  EXPECT_NE(doc.ParseError().Reason.find("x-klingon"), std::string::npos);

  EXPECT_FALSE(
      doc.Load(Write("bad.xml", "<?xml version=\"1.0\" encoding=\"GB2312\"?><a v=\"\xFF\xFF\"/>")));
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlBadEncoding);

  EXPECT_FALSE(doc.Load(Write("broken.xml", "<a><b></a>")));
  EXPECT_EQ(doc.ParseError().ErrorCode, xmlSyntax);
  EXPECT_FALSE(doc.DocumentElement());
}

}  // namespace
}  // namespace vx
