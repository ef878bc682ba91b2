// The XML loader: any text, then the walks a caller makes over what loaded.
#include "fuzz/fuzz_input.h"
#include "platform/xml/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::XmlDocument doc;
  if (!doc.LoadXml(vx::fuzz::AsText(data, size))) {
    if (doc.ParseError().ErrorCode == vx::xmlOk || doc.DocumentElement()) __builtin_trap();
    return 0;
  }
  vx::XmlNode root = doc.DocumentElement();
  (void)root.Text();
  (void)root.AttributeCount();
  (void)root.GetAttribute("code");
  for (const vx::XmlNode& n : root.ChildNodes())
    (void)n.NodeName();
  try {
    (void)doc.SelectSingleNode("//Status[@code]");
  } catch (const vx::EXmlError&) {
  }
  // What was written reads back the same.
  std::string xml = doc.Xml();
  vx::XmlDocument again;
  if (!again.LoadXml(xml) || again.Xml() != xml) __builtin_trap();
  return 0;
}
