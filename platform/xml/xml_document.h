#pragma once
// The DOM document of the framework: small XML texts (receiver lists, portal
// answers, language files, alert definitions) are built and read through it.
//
// XmlDocument and XmlNode are references, as interface pointers of a DOM are:
// copying one refers to the same document or node, and a node keeps its
// document alive. A node of a document that has since been loaded again
// behaves as a null node. Texts are UTF-8.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/exception.h"

namespace pugi {
struct xml_node_struct;
struct xml_attribute_struct;
}  // namespace pugi

namespace vx {

// A misuse of the document: an invalid XPath expression, an invalid element
// name, a child that cannot be appended where asked.
VX_DECLARE_EXCEPTION(EXmlError, Exception);

// Node types numbered as the DOM numbers them.
enum class XmlNodeType : int {
  None = 0,
  Element = 1,
  Attribute = 2,
  Text = 3,
  CData = 4,
  ProcessingInstruction = 7,
  Comment = 8,
  Document = 9,
  DocumentType = 10,
};

// Why the last load failed. ErrorCode 0 means the load succeeded.
enum XmlErrorCode : int {
  xmlOk = 0,
  xmlFileNotFound = 1,         // the file does not exist or cannot be opened
  xmlReadError = 2,            // the file could not be read
  xmlUnsupportedEncoding = 3,  // the declared encoding is unknown
  xmlBadEncoding = 4,          // bytes not valid in the declared encoding
  xmlNoDocumentElement = 5,    // empty text, or no element at all
  xmlTopLevel = 6,             // a second top-level element, or text outside it
  xmlSyntax = 7,               // any other well-formedness error
};

struct XmlParseError {
  int ErrorCode = xmlOk;
  std::string Reason;  // the parser's reason text, with line and column
  int Line = 0;        // 1-based position of the error in the (decoded) text
  int LinePos = 0;
};

class XmlDocument;
struct XmlDocumentImpl;

class XmlNode {
 public:
  XmlNode() = default;

  bool IsNull() const;
  explicit operator bool() const { return !IsNull(); }
  bool operator==(const XmlNode& other) const;

  XmlNodeType NodeType() const;
  // Element and attribute names; "#text", "#cdata-section", "#comment",
  // "#document" for the others; the target of a processing instruction.
  std::string NodeName() const;
  // An attribute's value; the text of a text, comment or instruction node;
  // for an element or the document the text of all its descendants in order.
  std::string Text() const;

  // Attributes of an element (count 0 for other nodes).
  int AttributeCount() const;
  // The attribute node at a position from 0; null outside the range.
  XmlNode AttributeAt(int index) const;
  // The attribute node of that name (case-sensitive); null when absent.
  XmlNode NamedAttribute(std::string_view name) const;
  bool HasAttribute(std::string_view name) const;
  // The value, empty when the element has no such attribute.
  std::string GetAttribute(std::string_view name) const;
  // Sets or adds the attribute; raises EXmlError on a node that is not an element.
  void SetAttribute(std::string_view name, std::string_view value);

  // Children in document order (elements, texts, comments, ...).
  std::vector<XmlNode> ChildNodes() const;
  int ChildCount() const;
  XmlNode FirstChild() const;
  XmlNode NextSibling() const;
  XmlNode ParentNode() const;

  // XPath 1.0 relative to this node; null / empty when nothing matches.
  // Raises EXmlError for an invalid expression.
  XmlNode SelectSingleNode(std::string_view xpath) const;
  std::vector<XmlNode> SelectNodes(std::string_view xpath) const;

  // Appends (or moves) a node of the same document as the last child and
  // returns it. Raises EXmlError when that cannot be done.
  XmlNode AppendChild(const XmlNode& child);

  XmlDocument OwnerDocument() const;

  // Compact serialisation: attribute values in double quotes, empty elements
  // closed with "/>", nothing between elements that was not in the content.
  std::string Xml() const;

 private:
  friend class XmlDocument;
  friend struct XmlDocumentImpl;
  std::shared_ptr<XmlDocumentImpl> doc_;
  unsigned generation_ = 0;
  pugi::xml_node_struct* node_ = nullptr;       // the node, or the attribute's element
  pugi::xml_attribute_struct* attr_ = nullptr;  // set for attribute nodes
};

class XmlDocument {
 public:
  // A new, empty document.
  XmlDocument();

  // Loads a file. A declared (or byte-order-marked) GB2312, GBK, GB18030,
  // Big5 or UTF-16 encoding is decoded to UTF-8; without either the file is
  // UTF-8. Returns false and fills ParseError on failure, leaving the
  // document empty.
  bool Load(const std::string& file_name);
  // Loads text that is already decoded: an encoding in its declaration is
  // ignored. Returns false and fills ParseError on failure, leaving the
  // document empty.
  bool LoadXml(std::string_view text);
  const XmlParseError& ParseError() const;

  // The root element; null for an empty document.
  XmlNode DocumentElement() const;
  // The document itself as a node (type Document).
  XmlNode AsNode() const;
  // A new element of this document, not yet in the tree: append it somewhere.
  // Raises EXmlError for a name that is not a valid element name.
  XmlNode CreateElement(std::string_view name);
  // Appends a top-level node (the root element once).
  XmlNode AppendChild(const XmlNode& child) { return AsNode().AppendChild(child); }

  XmlNode SelectSingleNode(std::string_view xpath) const {
    return AsNode().SelectSingleNode(xpath);
  }
  std::vector<XmlNode> SelectNodes(std::string_view xpath) const {
    return AsNode().SelectNodes(xpath);
  }

  // The whole document in compact form (declaration included when it has one).
  std::string Xml() const { return AsNode().Xml(); }

  bool operator==(const XmlDocument& other) const { return impl_ == other.impl_; }

 private:
  friend class XmlNode;
  explicit XmlDocument(std::shared_ptr<XmlDocumentImpl> impl) : impl_(std::move(impl)) {}
  std::shared_ptr<XmlDocumentImpl> impl_;
};

}  // namespace vx
