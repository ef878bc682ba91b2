#include "platform/db/dialect.h"

#include <charconv>

#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx::db {
namespace {

// The engine's generic error code, so that dialect errors read like the
// engine's own syntax errors.
constexpr std::uint16_t kSyntaxErrorCode = 1;

// Local time with milliseconds, in the text form date-time fields read back.
constexpr std::string_view kCurrentDateTime = "strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')";

// CONVERT(CHAR, e) without a length holds 30 characters on the server.
constexpr int kDefaultCharLength = 30;
constexpr int kMaxCharLength = 8000;

[[noreturn]] void SyntaxError(const std::string& what, std::size_t offset) {
  std::string message = "Syntax error: " + what + " at position " + IntToStr(offset + 1);
  throw EDBEngineError({{kSyntaxErrorCode, message}});
}

using Kind = TSqlTokenKind;
using Token = TSqlToken;

bool IsIdentStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@' || c == '#' ||
         c >= 0x80;
}
bool IsIdentChar(unsigned char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '$';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Scans to the closing quote of a literal or quoted identifier starting at i
// (the opening character); a doubled closing character stands for one.
std::size_t ScanQuoted(std::string_view s, std::size_t i, char close, const char* what) {
  const std::size_t start = i;
  ++i;
  while (i < s.size()) {
    if (s[i] == close) {
      if (i + 1 < s.size() && s[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  SyntaxError(std::string("unterminated ") + what, start);
}

}  // namespace

std::vector<TSqlToken> TokenizeStatement(std::string_view s) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const std::size_t start = i;
    const char c = s[i];
    Kind kind = Kind::Punct;
    if (IsSpace(c)) {
      kind = Kind::Space;
      while (i < n && IsSpace(s[i]))
        ++i;
    } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      kind = Kind::Comment;
      while (i < n && s[i] != '\n')
        ++i;
    } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      kind = Kind::Comment;
      std::size_t end = s.find("*/", i + 2);
      if (end == std::string_view::npos) SyntaxError("unterminated comment", start);
      i = end + 2;
    } else if (c == '\'') {
      kind = Kind::String;
      i = ScanQuoted(s, i, '\'', "string literal");
    } else if (c == '"') {
      kind = Kind::QuotedIdent;
      i = ScanQuoted(s, i, '"', "quoted identifier");
    } else if (c == '[') {
      kind = Kind::QuotedIdent;
      i = ScanQuoted(s, i, ']', "bracketed identifier");
    } else if (c == '`') {
      kind = Kind::QuotedIdent;
      i = ScanQuoted(s, i, '`', "quoted identifier");
    } else if (IsIdentStart(static_cast<unsigned char>(c))) {
      kind = Kind::Ident;
      while (i < n && IsIdentChar(static_cast<unsigned char>(s[i])))
        ++i;
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s[i + 1]))) {
      kind = Kind::Number;
      while (i < n && (IsIdentChar(static_cast<unsigned char>(s[i])) || s[i] == '.')) {
        // An exponent's sign belongs to the number.
        if ((s[i] == 'e' || s[i] == 'E') && i + 1 < n && (s[i + 1] == '+' || s[i + 1] == '-')) ++i;
        ++i;
      }
    } else if (c == ':' && i + 1 < n && IsIdentStart(static_cast<unsigned char>(s[i + 1]))) {
      kind = Kind::Param;
      ++i;
      while (i < n && IsIdentChar(static_cast<unsigned char>(s[i])))
        ++i;
    } else if (c == '.' && i + 1 < n && s[i + 1] == '.') {
      kind = Kind::DotDot;
      i += 2;
    } else {
      ++i;
    }
    tokens.push_back({kind, s.substr(start, i - start), start});
  }
  return tokens;
}

namespace {

bool IsSignificant(const Token& t) {
  return t.Kind != Kind::Space && t.Kind != Kind::Comment;
}

bool IsPunct(const Token& t, char c) {
  return t.Kind == Kind::Punct && t.Text.size() == 1 && t.Text[0] == c;
}

bool IsWord(const Token& t, std::string_view word) {
  return t.Kind == Kind::Ident && SameText(t.Text, word);
}

bool IsNameToken(const Token& t) {
  return t.Kind == Kind::Ident || t.Kind == Kind::QuotedIdent;
}

bool IsIntegerType(std::string_view type) {
  return SameText(type, "BIGINT") || SameText(type, "INT") || SameText(type, "INTEGER") ||
         SameText(type, "SMALLINT") || SameText(type, "TINYINT");
}

bool IsCharType(std::string_view type) {
  return SameText(type, "CHAR") || SameText(type, "VARCHAR") || SameText(type, "NCHAR") ||
         SameText(type, "NVARCHAR");
}

bool IsRealType(std::string_view type) {
  return SameText(type, "FLOAT") || SameText(type, "REAL");
}

class Translator {
 public:
  explicit Translator(std::string_view sql) : tokens_(TokenizeStatement(sql)) {
    out_.reserve(sql.size());
  }

  TTranslatedStatement Run() {
    for (i_ = 0; i_ < tokens_.size(); ++i_)
      Step();
    for (const Frame& f : frames_)
      if (f.rewritten) SyntaxError("unclosed parenthesis of " + f.what, f.offset);
    return {std::move(out_), std::move(names_)};
  }

 private:
  struct Frame {
    std::string closing;  // written in place of the ")"
    bool rewritten = false;
    bool is_convert = false;
    bool is_cast = false;
    std::string what;
    std::size_t offset = 0;
  };

  // Index of the next significant token after `from`, or tokens_.size().
  std::size_t NextSig(std::size_t from) const {
    std::size_t j = from + 1;
    while (j < tokens_.size() && !IsSignificant(tokens_[j]))
      ++j;
    return j;
  }
  bool SigIs(std::size_t j, char c) const { return j < tokens_.size() && IsPunct(tokens_[j], c); }

  void Step() {
    const Token& t = tokens_[i_];
    switch (t.Kind) {
      case Kind::Ident:
        Identifier(t);
        break;
      case Kind::Param:
        Parameter(t);
        break;
      case Kind::DotDot: {
        // db..table names a table of an attached database.
        bool joins_names = prev_sig_ != nullptr && IsNameToken(*prev_sig_) &&
                           i_ + 1 < tokens_.size() && IsNameToken(tokens_[i_ + 1]);
        out_ += joins_names ? "." : "..";
        break;
      }
      case Kind::Punct:
        Punctuation(t);
        break;
      default:
        out_ += t.Text;
    }
    if (IsSignificant(t)) prev_sig_ = &t;
  }

  void Identifier(const Token& t) {
    const std::size_t open = NextSig(i_);
    const bool call = SigIs(open, '(');
    if (call && IsWord(t, "ISNULL")) {
      out_ += "IFNULL";
    } else if (call && IsWord(t, "GETDATE") && SigIs(NextSig(open), ')')) {
      out_ += kCurrentDateTime;
      i_ = NextSig(open);
    } else if (call && IsWord(t, "CONVERT")) {
      Convert(t, open);
    } else if (call && IsWord(t, "CAST")) {
      out_ += "CAST(";
      frames_.push_back({")", false, false, true, "CAST", t.Offset});
      i_ = open;
    } else if (IsWord(t, "AS") && !frames_.empty() && frames_.back().is_cast) {
      std::size_t type = NextSig(i_);
      out_ += t.Text;
      if (type < tokens_.size() && tokens_[type].Kind == Kind::Ident &&
          IsIntegerType(tokens_[type].Text) && SigIs(NextSig(type), ')')) {
        for (std::size_t j = i_ + 1; j < type; ++j)
          out_ += tokens_[j].Text;
        out_ += "INTEGER";
        i_ = type;
      }
    } else if ((t.Text == "N" || t.Text == "n") && i_ + 1 < tokens_.size() &&
               tokens_[i_ + 1].Kind == Kind::String) {
      // A national-character literal is an ordinary literal here.
    } else {
      out_ += t.Text;
    }
  }

  // CONVERT(type[(n)], e): the type is read here; e follows as usual and the
  // frame writes the rest of the rewrite at the closing parenthesis.
  void Convert(const Token& t, std::size_t open) {
    std::size_t type = NextSig(open);
    if (type >= tokens_.size() || tokens_[type].Kind != Kind::Ident)
      SyntaxError("CONVERT needs a type name", t.Offset);
    std::string_view type_name = tokens_[type].Text;
    std::size_t after = NextSig(type);
    int length = -1;
    if (SigIs(after, '(')) {
      std::size_t num = NextSig(after);
      if (num >= tokens_.size() || tokens_[num].Kind != Kind::Number)
        SyntaxError("CONVERT needs a length for " + std::string(type_name), t.Offset);
      std::string_view digits = tokens_[num].Text;
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
      if (ec != std::errc() || end != digits.data() + digits.size() || length < 1 ||
          length > kMaxCharLength)
        SyntaxError("invalid length " + std::string(digits) + " in CONVERT", tokens_[num].Offset);
      std::size_t close = NextSig(num);
      if (!SigIs(close, ')')) SyntaxError("CONVERT type length needs \")\"", t.Offset);
      after = NextSig(close);
    }
    if (!SigIs(after, ',')) SyntaxError("CONVERT needs \",\" after the type", t.Offset);

    Frame f;
    f.rewritten = true;
    f.is_convert = true;
    f.what = "CONVERT";
    f.offset = t.Offset;
    if (IsCharType(type_name)) {
      out_ += "SUBSTR(CAST(";
      f.closing = " AS TEXT), 1, " + IntToStr(length > 0 ? length : kDefaultCharLength) + ")";
    } else if (IsIntegerType(type_name) && length < 0) {
      out_ += "CAST(";
      f.closing = " AS INTEGER)";
    } else if (IsRealType(type_name)) {
      out_ += "CAST(";
      f.closing = " AS REAL)";
    } else {
      SyntaxError("CONVERT to " + std::string(type_name) + " is not supported", t.Offset);
    }
    frames_.push_back(std::move(f));
    i_ = after;
  }

  void Parameter(const Token& t) {
    std::string_view name = t.Text.substr(1);
    std::size_t index = 0;
    while (index < names_.size() && !SameText(names_[index], name))
      ++index;
    if (index == names_.size()) names_.emplace_back(name);
    out_ += '?';
    out_ += IntToStr(static_cast<std::int64_t>(index + 1));
  }

  void Punctuation(const Token& t) {
    if (IsPunct(t, '(')) {
      frames_.push_back({")", false, false, false, "", t.Offset});
      out_ += '(';
    } else if (IsPunct(t, ')') && !frames_.empty()) {
      out_ += frames_.back().closing;
      frames_.pop_back();
    } else if (IsPunct(t, ',') && !frames_.empty() && frames_.back().is_convert) {
      SyntaxError("CONVERT with a style argument is not supported", t.Offset);
    } else {
      out_ += t.Text;
    }
  }

  std::vector<Token> tokens_;
  std::size_t i_ = 0;
  const Token* prev_sig_ = nullptr;
  std::vector<Frame> frames_;
  std::string out_;
  std::vector<std::string> names_;
};

}  // namespace

TTranslatedStatement TranslateStatement(std::string_view sql) {
  return Translator(sql).Run();
}

std::vector<std::string> StatementParamNames(std::string_view sql) {
  return TranslateStatement(sql).ParamNames;
}

}  // namespace vx::db
