#pragma once
// Building and reading small XML texts (receiver lists, portal answers, alert
// definitions) through the platform's DOM document.
#include <string>
#include <string_view>

#include "platform/xml/xml_document.h"

namespace vx {

// A new, empty document (no validation on parse).
XmlDocument NewXMLDocument();
// A new document loaded from the text. Whether the load succeeded is not
// examined: a text that does not parse yields an empty document (its
// ParseError says why).
XmlDocument LoadXMLText(std::string_view text);
// NormalizeXMLHeader, then LoadXMLText.
XmlDocument LoadXMLNormalized(std::string_view text);

// Gives the text an XML declaration with an encoding and the document type
// that defines the entity "stdd", where they are missing:
// - without a declaration, "<?xml version=\"1.0\" encoding=\"GB2312\"?>" and,
//   unless the text has a DOCTYPE, "<!DOCTYPE SC[<!ENTITY stdd \"&amp;stdd;\">]>"
//   are put in front;
// - with a declaration, the DOCTYPE goes directly after its "?>" and
//   " encoding=\"GB2312\"" directly before it, each only when missing.
// Only the first 100 characters (lower-cased, CR LF pairs and surrounding
// blanks ignored) are examined. A declaration whose "?>" is not among them
// is left as it is.
std::string NormalizeXMLHeader(std::string_view xml);

// The first node the name (an XPath expression relative to node) selects;
// when there is none and create is set, a new element of that name appended
// as the node's last child; otherwise a null node. A null node gives a null
// node. Raises EXmlError for an invalid expression, or when create needs an
// element whose name is not a valid element name.
XmlNode FindOrAddChild(const XmlNode& node, std::string_view name, bool create);

// The attribute's value; empty when the element (or the node) has no such attribute.
std::string GetXMLAttribute(const XmlNode& element, std::string_view name);
// Sets or adds the attribute. Raises EXmlError when element is not an element.
void SetXMLAttribute(XmlNode element, std::string_view name, std::string_view value);

}  // namespace vx
