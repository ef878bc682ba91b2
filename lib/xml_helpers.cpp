#include "lib/xml_helpers.h"

#include <vector>

namespace vx {

namespace {

const char* const kDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";
const char* const kDoctype = "<!DOCTYPE SC[<!ENTITY stdd \"&amp;stdd;\">]>";
const char* const kEncoding = " encoding=\"GB2312\"";
constexpr std::size_t kHeadChars = 100;

// The examined head of the text, with the offset in the text of every byte
// it keeps, so that what is found in the head can be placed in the text.
struct Head {
  std::string text;
  std::vector<std::size_t> at;
};

Head MakeHead(std::string_view xml) {
  // The first 100 characters (code points), not bytes.
  std::size_t end = 0;
  for (std::size_t chars = 0; end < xml.size() && chars < kHeadChars; ++chars) {
    ++end;
    while (end < xml.size() && (static_cast<unsigned char>(xml[end]) & 0xC0) == 0x80)
      ++end;
  }
  Head h;
  for (std::size_t i = 0; i < end; ++i) {
    if (xml[i] == '\r' && i + 1 < end && xml[i + 1] == '\n') {
      ++i;
      continue;
    }
    char c = xml[i];
    h.text += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    h.at.push_back(i);
  }
  std::size_t b = 0, e = h.text.size();
  while (b < e && static_cast<unsigned char>(h.text[b]) <= ' ')
    ++b;
  while (e > b && static_cast<unsigned char>(h.text[e - 1]) <= ' ')
    --e;
  h.text = h.text.substr(b, e - b);
  h.at = std::vector<std::size_t>(h.at.begin() + static_cast<std::ptrdiff_t>(b),
                                  h.at.begin() + static_cast<std::ptrdiff_t>(e));
  return h;
}

}  // namespace

XmlDocument NewXMLDocument() {
  return XmlDocument();
}

XmlDocument LoadXMLText(std::string_view text) {
  XmlDocument doc = NewXMLDocument();
  doc.LoadXml(text);
  return doc;
}

XmlDocument LoadXMLNormalized(std::string_view text) {
  return LoadXMLText(NormalizeXMLHeader(text));
}

std::string NormalizeXMLHeader(std::string_view xml) {
  Head head = MakeHead(xml);
  bool has_prolog = head.text.rfind("<?xml", 0) == 0;
  bool has_doctype = head.text.find("<!doctype") != std::string::npos;
  bool has_encoding = head.text.find("encoding=") != std::string::npos;
  std::string result(xml);
  if (!has_prolog)
    return (has_doctype ? std::string(kDeclaration) : std::string(kDeclaration) + kDoctype) +
           result;
  std::size_t p = head.text.find("?>");
  // Without its end in the head there is no safe place to insert anything.
  if (p == std::string::npos) return result;
  // Positions in the text itself: a CR LF or blanks ahead of "?>" do not
  // shift them, so the insertions never land inside the declaration.
  std::size_t question = head.at[p];
  std::size_t after = head.at[p + 1] + 1;
  if (!has_doctype) result.insert(after, kDoctype);
  if (!has_encoding) result.insert(question, kEncoding);
  return result;
}

XmlNode FindOrAddChild(const XmlNode& node, std::string_view name, bool create) {
  if (node.IsNull()) return XmlNode();
  XmlNode found = node.SelectSingleNode(name);
  if (found || !create) return found;
  XmlNode parent = node;
  return parent.AppendChild(node.OwnerDocument().CreateElement(name));
}

std::string GetXMLAttribute(const XmlNode& element, std::string_view name) {
  return element.GetAttribute(name);
}

void SetXMLAttribute(XmlNode element, std::string_view name, std::string_view value) {
  element.SetAttribute(name, value);
}

}  // namespace vx
