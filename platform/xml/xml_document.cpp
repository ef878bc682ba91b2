#include "platform/xml/xml_document.h"

#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <unordered_set>

#include "platform/os/codepage.h"
#include "platform/rtl/text.h"

namespace vx {

struct XmlDocumentImpl {
  pugi::xml_document doc;
  // Elements created but not yet appended live under this hidden top-level
  // element of the same document, so that appending them is a move and the
  // caller's reference stays valid. It is never part of what the document
  // shows: not its root, not serialised, not found by XPath.
  pugi::xml_node limbo;
  // Raised by every load, so that nodes of the previous content turn null
  // instead of dangling.
  unsigned generation = 1;
  XmlParseError error;

  void Reset() {
    doc.reset();
    limbo = pugi::xml_node();
    ++generation;
  }
  bool InLimbo(pugi::xml_node n) const {
    if (!limbo) return false;
    for (; n; n = n.parent())
      if (n == limbo) return true;
    return false;
  }
};

namespace {

const unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                               pugi::parse_comments | pugi::parse_pi;

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

std::string EscapeText(std::string_view s, bool attribute) {
  std::string r;
  for (char c : s) {
    switch (c) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      case '"':
        if (attribute) {
          r += "&quot;";
          break;
        }
        [[fallthrough]];
      default:
        r += c;
    }
  }
  return r;
}

// The code page of a declared encoding; 0 when it is not one we read. Files
// that declare GB2312 routinely hold GBK characters, so both read as 936.
int CodePageOfDeclared(std::string name) {
  name = LowerCase(Trim(name));
  if (name == "gb2312" || name == "gbk" || name == "cp936" || name == "x-gbk" ||
      name == "windows-936" || name == "euc-cn")
    return 936;
  if (name == "big5" || name == "cp950" || name == "x-big5" || name == "windows-950") return 950;
  if (name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii") return 65001;
  if (name == "iso-8859-1" || name == "latin1" || name == "windows-1252") return 1252;
  for (std::string_view prefix : {"windows-", "cp"}) {
    if (name.rfind(prefix, 0) == 0) {
      auto n = TryStrToInt(name.substr(prefix.size()));
      if (n && *n > 0) return *n;
    }
  }
  return 0;
}

// The encoding named in the declaration at the start of ASCII-compatible bytes.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  std::size_t end = bytes.find("?>");
  std::string_view decl = bytes.substr(0, end);
  std::size_t p = decl.find("encoding");
  if (p == std::string_view::npos) return {};
  p = decl.find_first_of("\"'", p);
  if (p == std::string_view::npos) return {};
  std::size_t q = decl.find(decl[p], p + 1);
  if (q == std::string_view::npos) return {};
  return std::string(decl.substr(p + 1, q - p - 1));
}

void PositionOf(std::string_view text, std::ptrdiff_t offset, XmlParseError& e) {
  e.Line = 1;
  e.LinePos = 1;
  if (offset < 0) return;
  std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(offset), text.size());
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++e.Line;
      e.LinePos = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++e.LinePos;
    }
  }
}

XmlParseError MakeError(int code, std::string reason, std::string_view text = {},
                        std::ptrdiff_t offset = -1) {
  XmlParseError e;
  e.ErrorCode = code;
  PositionOf(text, offset, e);
  if (offset >= 0) reason += Format(" (line %d, column %d)", e.Line, e.LinePos);
  e.Reason = std::move(reason);
  return e;
}

// Documents come from files and from the network: nothing below walks them
// by recursion, and nesting beyond this is refused as malformed. Real
// documents (language files, portal answers) are a handful of levels deep.
constexpr int kMaxDepth = 256;

// The parser accepts an attribute named twice on one element and any depth of
// nesting; a DOM does not. One walk in document order checks both, with one
// set of names per element so that many attributes stay linear.
XmlParseError CheckStructure(pugi::xml_node root) {
  std::unordered_set<std::string_view> names;
  int depth = 0;  // elements above n
  pugi::xml_node n = root.first_child();
  while (n) {
    if (n.type() == pugi::node_element) {
      if (depth >= kMaxDepth)
        return MakeError(xmlSyntax, Format("Elements are nested deeper than %d levels at \"%s\"",
                                           kMaxDepth, n.name()));
      names.clear();
      for (auto a = n.first_attribute(); a; a = a.next_attribute()) {
        if (!names.insert(a.name()).second)
          return MakeError(xmlSyntax,
                           std::string("Duplicate attribute on element \"") + n.name() + "\"");
      }
      if (n.first_child()) {
        ++depth;
        n = n.first_child();
        continue;
      }
    }
    while (n && !n.next_sibling() && n != root) {
      n = n.parent();
      --depth;
    }
    if (!n || n == root) break;
    n = n.next_sibling();
  }
  return XmlParseError{};
}

bool IsNameStart(unsigned char c) {
  return c >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

// ---------------------------------------------------------------------------
// XmlDocument

XmlDocument::XmlDocument() : impl_(std::make_shared<XmlDocumentImpl>()) {}

const XmlParseError& XmlDocument::ParseError() const {
  return impl_->error;
}

bool XmlDocument::LoadXml(std::string_view text) {
  impl_->Reset();
  impl_->error = XmlParseError{};
  pugi::xml_parse_result r =
      impl_->doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  XmlParseError& e = impl_->error;
  if (r.status == pugi::status_no_document_element) {
    e = MakeError(xmlNoDocumentElement, "XML document must have a top level element", text,
                  r.offset);
  } else if (!r) {
    e = MakeError(xmlSyntax, r.description(), text, r.offset);
  } else {
    // The parser is lenient at the top level; a DOM document is not.
    int elements = 0;
    for (pugi::xml_node n : impl_->doc.children()) {
      if (n.type() == pugi::node_element && ++elements > 1) {
        e = MakeError(xmlTopLevel, "Only one top level element is allowed");
        break;
      }
      if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
        e = MakeError(xmlTopLevel, "Text is not allowed outside the top level element");
        break;
      }
    }
    if (e.ErrorCode == xmlOk) e = CheckStructure(impl_->doc);
  }
  if (e.ErrorCode != xmlOk) {
    impl_->Reset();
    return false;
  }
  return true;
}

bool XmlDocument::Load(const std::string& file_name) {
  impl_->Reset();
  std::ifstream in(file_name, std::ios::binary);
  if (!in) {
    impl_->error =
        MakeError(xmlFileNotFound, "The system cannot locate the file \"" + file_name + "\"");
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    impl_->error = MakeError(xmlReadError, "The file \"" + file_name + "\" could not be read");
    return false;
  }

  int code_page = 65001;
  std::string_view body = bytes;
  auto starts = [&](std::string_view prefix) { return body.substr(0, prefix.size()) == prefix; };
  if (starts("\xEF\xBB\xBF")) {
    body.remove_prefix(3);
  } else if (starts(std::string_view("\xFF\xFE", 2))) {
    code_page = 1200;
    body.remove_prefix(2);
  } else if (starts(std::string_view("\xFE\xFF", 2))) {
    code_page = 1201;
    body.remove_prefix(2);
  } else if (starts(std::string_view("<\0?\0", 4))) {
    code_page = 1200;
  } else if (starts(std::string_view("\0<\0?", 4))) {
    code_page = 1201;
  } else {
    std::string declared = DeclaredEncoding(body);
    // A UTF-16 declaration in single-byte text cannot be right: read the bytes as they are.
    if (!declared.empty() && !SameText(Trim(declared), "UTF-16")) {
      code_page = CodePageOfDeclared(declared);
      if (code_page == 0 || !CodePageSupported(code_page)) {
        impl_->error = MakeError(xmlUnsupportedEncoding,
                                 "Switch from current encoding to specified encoding \"" +
                                     declared + "\" not supported");
        return false;
      }
    }
  }

  std::string decoded;
  if (code_page != 65001) {
    bool lossless = true;
    decoded = CodePageToUtf8(body, code_page, &lossless);
    if (!lossless) {
      impl_->error = MakeError(
          xmlBadEncoding, "The file holds bytes that are not valid " + CodePageCharset(code_page));
      return false;
    }
    body = decoded;
  }
  return LoadXml(body);
}

XmlNode XmlDocument::AsNode() const {
  XmlNode n;
  n.doc_ = impl_;
  n.generation_ = impl_->generation;
  n.node_ = impl_->doc.internal_object();
  return n;
}

XmlNode XmlDocument::DocumentElement() const {
  for (pugi::xml_node c : impl_->doc.children()) {
    if (c.type() == pugi::node_element && c != impl_->limbo) {
      XmlNode n = AsNode();
      n.node_ = c.internal_object();
      return n;
    }
  }
  return XmlNode();
}

XmlNode XmlDocument::CreateElement(std::string_view name) {
  bool valid = !name.empty() && IsNameStart(static_cast<unsigned char>(name[0]));
  for (char c : name)
    valid = valid && IsNameChar(static_cast<unsigned char>(c));
  if (!valid) throw EXmlError("The name \"" + std::string(name) + "\" is not a valid element name");
  if (!impl_->limbo) impl_->limbo = impl_->doc.append_child(pugi::node_element);
  pugi::xml_node e = impl_->limbo.append_child(std::string(name).c_str());
  XmlNode n = AsNode();
  n.node_ = e.internal_object();
  return n;
}

// ---------------------------------------------------------------------------
// XmlNode

namespace {
pugi::xml_node Node(pugi::xml_node_struct* p) {
  return pugi::xml_node(p);
}
pugi::xml_attribute Attr(pugi::xml_attribute_struct* p) {
  return pugi::xml_attribute(p);
}

// The text of all descendants in document order, walked without recursion.
void CollectText(pugi::xml_node n, pugi::xml_node limbo, std::string& r) {
  pugi::xml_node c = n.first_child();
  while (c) {
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
      r += c.value();
    } else if (c.type() == pugi::node_element && c != limbo && c.first_child()) {
      c = c.first_child();
      continue;
    }
    while (c && !c.next_sibling() && c != n)
      c = c.parent();
    if (!c || c == n) break;
    c = c.next_sibling();
  }
}
}  // namespace

bool XmlNode::IsNull() const {
  return !doc_ || !node_ || generation_ != doc_->generation;
}

bool XmlNode::operator==(const XmlNode& other) const {
  if (IsNull() || other.IsNull()) return IsNull() == other.IsNull();
  return node_ == other.node_ && attr_ == other.attr_;
}

XmlNodeType XmlNode::NodeType() const {
  if (IsNull()) return XmlNodeType::None;
  if (attr_) return XmlNodeType::Attribute;
  switch (Node(node_).type()) {
    case pugi::node_document:
      return XmlNodeType::Document;
    case pugi::node_element:
      return XmlNodeType::Element;
    case pugi::node_pcdata:
      return XmlNodeType::Text;
    case pugi::node_cdata:
      return XmlNodeType::CData;
    case pugi::node_comment:
      return XmlNodeType::Comment;
    case pugi::node_pi:
    case pugi::node_declaration:
      return XmlNodeType::ProcessingInstruction;
    case pugi::node_doctype:
      return XmlNodeType::DocumentType;
    default:
      return XmlNodeType::None;
  }
}

std::string XmlNode::NodeName() const {
  switch (NodeType()) {
    case XmlNodeType::Attribute:
      return Attr(attr_).name();
    case XmlNodeType::Element:
    case XmlNodeType::ProcessingInstruction:
      return Node(node_).name();
    case XmlNodeType::Text:
      return "#text";
    case XmlNodeType::CData:
      return "#cdata-section";
    case XmlNodeType::Comment:
      return "#comment";
    case XmlNodeType::Document:
      return "#document";
    case XmlNodeType::DocumentType: {
      // The parser keeps the whole declaration; its name is the first word.
      std::string v = Trim(Node(node_).value());
      return v.substr(0, v.find_first_of(" \t\r\n["));
    }
    default:
      return {};
  }
}

std::string XmlNode::Text() const {
  switch (NodeType()) {
    case XmlNodeType::Attribute:
      return Attr(attr_).value();
    case XmlNodeType::Element:
    case XmlNodeType::Document: {
      std::string r;
      CollectText(Node(node_), doc_->limbo, r);
      return r;
    }
    case XmlNodeType::None:
      return {};
    default:
      return Node(node_).value();
  }
}

int XmlNode::AttributeCount() const {
  if (NodeType() != XmlNodeType::Element) return 0;
  int n = 0;
  for (auto a = Node(node_).first_attribute(); a; a = a.next_attribute())
    ++n;
  return n;
}

XmlNode XmlNode::AttributeAt(int index) const {
  if (NodeType() != XmlNodeType::Element || index < 0) return XmlNode();
  auto a = Node(node_).first_attribute();
  for (int i = 0; a && i < index; ++i)
    a = a.next_attribute();
  if (!a) return XmlNode();
  XmlNode r = *this;
  r.attr_ = a.internal_object();
  return r;
}

XmlNode XmlNode::NamedAttribute(std::string_view name) const {
  if (NodeType() != XmlNodeType::Element) return XmlNode();
  for (auto a = Node(node_).first_attribute(); a; a = a.next_attribute()) {
    if (name == a.name()) {
      XmlNode r = *this;
      r.attr_ = a.internal_object();
      return r;
    }
  }
  return XmlNode();
}

bool XmlNode::HasAttribute(std::string_view name) const {
  return !NamedAttribute(name).IsNull();
}

std::string XmlNode::GetAttribute(std::string_view name) const {
  return NamedAttribute(name).Text();
}

void XmlNode::SetAttribute(std::string_view name, std::string_view value) {
  if (NodeType() != XmlNodeType::Element) throw EXmlError("Attributes can only be set on elements");
  bool valid = !name.empty() && IsNameStart(static_cast<unsigned char>(name[0]));
  for (char c : name)
    valid = valid && IsNameChar(static_cast<unsigned char>(c));
  if (!valid)
    throw EXmlError("The name \"" + std::string(name) + "\" is not a valid attribute name");
  std::string n(name);
  pugi::xml_node e = Node(node_);
  pugi::xml_attribute a = e.attribute(n.c_str());
  if (!a) a = e.append_attribute(n.c_str());
  a.set_value(std::string(value).c_str());
}

std::vector<XmlNode> XmlNode::ChildNodes() const {
  std::vector<XmlNode> r;
  if (IsNull() || attr_) return r;
  for (pugi::xml_node c : Node(node_).children()) {
    if (c == doc_->limbo) continue;
    XmlNode n = *this;
    n.node_ = c.internal_object();
    r.push_back(n);
  }
  return r;
}

int XmlNode::ChildCount() const {
  return static_cast<int>(ChildNodes().size());
}

XmlNode XmlNode::FirstChild() const {
  auto children = ChildNodes();
  return children.empty() ? XmlNode() : children.front();
}

XmlNode XmlNode::NextSibling() const {
  if (IsNull() || attr_) return XmlNode();
  pugi::xml_node s = Node(node_).next_sibling();
  if (s && s == doc_->limbo) s = s.next_sibling();
  if (!s) return XmlNode();
  XmlNode n = *this;
  n.node_ = s.internal_object();
  return n;
}

XmlNode XmlNode::ParentNode() const {
  // As in the DOM, an attribute has no parent node.
  if (IsNull() || attr_) return XmlNode();
  pugi::xml_node p = Node(node_).parent();
  if (!p || p == doc_->limbo) return XmlNode();
  XmlNode n = *this;
  n.node_ = p.internal_object();
  return n;
}

namespace {
pugi::xpath_query Compile(std::string_view xpath) {
  try {
    return pugi::xpath_query(std::string(xpath).c_str());
  } catch (const pugi::xpath_exception& e) {
    throw EXmlError("Invalid XPath expression \"" + std::string(xpath) + "\": " + e.what());
  }
}
}  // namespace

std::vector<XmlNode> XmlNode::SelectNodes(std::string_view xpath) const {
  pugi::xpath_query q = Compile(xpath);
  std::vector<XmlNode> r;
  if (IsNull()) return r;
  pugi::xpath_node context =
      attr_ ? pugi::xpath_node(Attr(attr_), Node(node_)) : pugi::xpath_node(Node(node_));
  bool from_limbo = doc_->InLimbo(Node(node_));
  pugi::xpath_node_set set;
  try {
    set = q.evaluate_node_set(context);
  } catch (const pugi::xpath_exception& e) {
    throw EXmlError("XPath expression \"" + std::string(xpath) +
                    "\" does not select nodes: " + e.what());
  }
  set.sort();
  for (const pugi::xpath_node& x : set) {
    pugi::xml_node owner = x.attribute() ? x.parent() : x.node();
    if (!from_limbo && doc_->InLimbo(owner)) continue;
    XmlNode n = *this;
    n.node_ = owner.internal_object();
    n.attr_ = x.attribute() ? x.attribute().internal_object() : nullptr;
    r.push_back(n);
  }
  return r;
}

XmlNode XmlNode::SelectSingleNode(std::string_view xpath) const {
  auto nodes = SelectNodes(xpath);
  return nodes.empty() ? XmlNode() : nodes.front();
}

XmlNode XmlNode::AppendChild(const XmlNode& child) {
  if (IsNull() || child.IsNull()) throw EXmlError("Cannot append a null node");
  if (child.doc_ != doc_) throw EXmlError("The node to append belongs to another document");
  auto type = NodeType();
  if (type != XmlNodeType::Element && type != XmlNodeType::Document)
    throw EXmlError("Only elements and documents can have children");
  auto ctype = child.NodeType();
  if (ctype == XmlNodeType::Attribute || ctype == XmlNodeType::Document)
    throw EXmlError("This node type cannot be a child");
  for (pugi::xml_node a = Node(node_); a; a = a.parent())
    if (a.internal_object() == child.node_)
      throw EXmlError("A node cannot be appended below itself");
  if (type == XmlNodeType::Document && ctype == XmlNodeType::Element) {
    XmlNode root = OwnerDocument().DocumentElement();
    if (root && root != child) throw EXmlError("Only one top level element is allowed");
  }
  if (!Node(node_).append_move(Node(child.node_)))
    throw EXmlError("The node cannot be appended here");
  return child;
}

XmlDocument XmlNode::OwnerDocument() const {
  if (!doc_) throw EXmlError("A null node has no document");
  return XmlDocument(doc_);
}

std::string XmlNode::Xml() const {
  StringWriter w;
  const unsigned flags = pugi::format_raw | pugi::format_no_declaration;
  switch (NodeType()) {
    case XmlNodeType::None:
      return {};
    case XmlNodeType::Attribute:
      return std::string(Attr(attr_).name()) + "=\"" + EscapeText(Attr(attr_).value(), true) + "\"";
    case XmlNodeType::Text:
      return EscapeText(Node(node_).value(), false);
    case XmlNodeType::Document:
      for (pugi::xml_node c : Node(node_).children())
        if (c != doc_->limbo) c.print(w, "", pugi::format_raw, pugi::encoding_utf8);
      return w.out;
    default:
      Node(node_).print(w, "", flags, pugi::encoding_utf8);
      return w.out;
  }
}

}  // namespace vx
