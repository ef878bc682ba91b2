#include "platform/os/codepage.h"

#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/rtl/text.h"
#include "platform/rtl/utf8.h"

namespace vx {

std::string CodePageCharset(int code_page) {
  switch (code_page) {
    case 65001:
      return "UTF-8";
    case 1200:
      return "UTF-16LE";
    case 1201:
      return "UTF-16BE";
    default:
      return "CP" + std::to_string(code_page);
  }
}

namespace {

class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(::iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t handle() const { return cd_; }

  // Converts all of in; on an invalid or unconvertible sequence appends
  // replacement (when given) and skips skip_unit bytes of input, else fails.
  bool Run(std::string_view in, std::string& out, const std::string* replacement,
           std::size_t skip_unit, bool& lossless) {
    out.clear();
    lossless = true;
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buf[4096];
    for (;;) {
      char* dst = buf;
      std::size_t dst_left = sizeof buf;
      std::size_t r = ::iconv(cd_, src_left ? &src : nullptr, &src_left, &dst, &dst_left);
      out.append(buf, dst - buf);
      if (r != static_cast<std::size_t>(-1)) {
        if (src_left == 0) {
          // Flush any shift state.
          dst = buf;
          dst_left = sizeof buf;
          ::iconv(cd_, nullptr, nullptr, &dst, &dst_left);
          out.append(buf, dst - buf);
          return true;
        }
        continue;
      }
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end).
      lossless = false;
      if (!replacement) return false;
      out += *replacement;
      std::size_t skip = std::min(skip_unit, src_left);
      if (errno == EILSEQ && skip_unit == 1 && src_left > 0) {
        // Skip one whole UTF-8 character when converting from UTF-8.
        skip = 1;
        while (skip < src_left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
          ++skip;
      }
      src += skip;
      src_left -= skip;
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      if (src_left == 0) return true;
    }
  }

 private:
  iconv_t cd_;
};

bool Convert(std::string_view in, const std::string& to, const std::string& from, std::string& out,
             const std::string* replacement, std::size_t skip_unit, bool& lossless) {
  Converter c(to, from);
  if (!c.ok()) {
    lossless = false;
    return false;
  }
  return c.Run(in, out, replacement, skip_unit, lossless);
}

// The character at s[i]: its length in bytes, or 0 when no valid UTF-8
// character starts there.
std::size_t DecodeUtf8At(std::string_view s, std::size_t i, char32_t& cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    n = 1;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 2;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 3;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + n >= s.size()) return 0;
  for (std::size_t k = 1; k <= n; ++k) {
    unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n + 1;
}

// The double-byte code pages 936 and 950 as the platform has them: iconv's
// tables lack the user-defined areas that stored passwords and database texts
// may use, so the tables are built once per process from iconv's and
// completed with those areas (mapped to the private-use range).
class DoubleByteTable {
 public:
  static constexpr char32_t kNone = 0xFFFFFFFF;

  explicit DoubleByteTable(int code_page);

  // The character of a single byte or of a lead and trail byte; kNone when
  // the bytes are no character.
  char32_t Single(unsigned char b) const { return single_[b]; }
  char32_t Pair(unsigned char lead, unsigned char trail) const { return pair_[lead << 8 | trail]; }
  // The bytes of a character (one byte below 0x100, else lead and trail); 0
  // when the code page has none.
  std::uint16_t Bytes(char32_t cp) const { return cp < encode_.size() ? encode_[cp] : 0; }

 private:
  void Map(unsigned char lead, unsigned char trail, char32_t cp) { pair_[lead << 8 | trail] = cp; }
  std::array<char32_t, 256> single_;
  std::vector<char32_t> pair_ = std::vector<char32_t>(0x10000, kNone);
  std::vector<std::uint16_t> encode_ = std::vector<std::uint16_t>(0x10000, 0);
};

// Code points in the machine's byte order, as the tables read them.
const char* const kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

// One character of iconv's table; kNone when it has none.
char32_t IconvChar(iconv_t cd, const unsigned char* bytes, std::size_t n) {
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
  std::size_t src_left = n;
  char32_t out[2];
  char* dst = reinterpret_cast<char*>(out);
  std::size_t dst_left = sizeof out;
  if (::iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1) ||
      src_left != 0 || dst_left != sizeof out - sizeof(char32_t))
    return DoubleByteTable::kNone;
  return out[0];
}

// Trail bytes of a double-byte character.
bool IsTrail(int t) {
  return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFE);
}

DoubleByteTable::DoubleByteTable(int code_page) {
  single_.fill(kNone);
  for (int b = 0; b < 0x80; ++b)
    single_[b] = static_cast<char32_t>(b);
  const std::string charset = CodePageCharset(code_page);
  Converter from(kUtf32, charset);
  if (from.ok()) {
    for (int b = 0x80; b <= 0xFF; ++b) {
      unsigned char byte = static_cast<unsigned char>(b);
      single_[b] = IconvChar(from.handle(), &byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                        static_cast<unsigned char>(trail)};
        Map(bytes[0], bytes[1], IconvChar(from.handle(), bytes, 2));
      }
    }
  }
  if (code_page == 936) {
    // The user-defined areas, as GB18030 maps them (and only they).
    Converter gb(kUtf32, "GB18030");
    struct Area {
      int lead_from, lead_to, trail_from, trail_to;
    };
    for (Area a : {Area{0xAA, 0xAF, 0xA1, 0xFE}, Area{0xF8, 0xFE, 0xA1, 0xFE},
                   Area{0xA1, 0xA7, 0x40, 0xA0}}) {
      for (int lead = a.lead_from; gb.ok() && lead <= a.lead_to; ++lead) {
        for (int trail = a.trail_from; trail <= a.trail_to; ++trail) {
          if (trail == 0x7F) continue;
          const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                          static_cast<unsigned char>(trail)};
          char32_t cp = IconvChar(gb.handle(), bytes, 2);
          if (cp >= 0xE000 && cp <= 0xF8FF) Map(bytes[0], bytes[1], cp);
        }
      }
    }
    single_[0x80] = U'\u20AC';
  } else if (code_page == 950) {
    // The user-defined rows, in this order, from U+E000.
    char32_t cp = 0xE000;
    struct Rows {
      int lead_from, lead_to;
    };
    for (Rows r : {Rows{0xFA, 0xFE}, Rows{0x8E, 0xA0}, Rows{0x81, 0x8D}, Rows{0xC6, 0xC8}}) {
      for (int lead = r.lead_from; lead <= r.lead_to; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
          if ((trail > 0x7E && trail < 0xA1) || (lead == 0xC6 && trail < 0xA1)) continue;
          Map(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail), cp++);
        }
      }
    }
  }

  // Encoding: the first byte sequence of each character, except where iconv
  // itself picks another among several (Big5's duplicate characters).
  Converter to(charset, kUtf32);
  auto set = [&](std::uint16_t bytes, char32_t cp) {
    if (cp == kNone || cp >= encode_.size()) return;
    if (encode_[cp] == 0) {
      encode_[cp] = bytes;
      return;
    }
    std::string chosen;
    bool lossless = true;
    std::string_view in(reinterpret_cast<const char*>(&cp), sizeof cp);
    if (to.ok() && to.Run(in, chosen, nullptr, 1, lossless) && chosen.size() == 2) {
      std::uint16_t b = static_cast<std::uint16_t>(static_cast<unsigned char>(chosen[0]) << 8 |
                                                   static_cast<unsigned char>(chosen[1]));
      if (pair_[b] == cp) encode_[cp] = b;
    }
  };
  for (int b = 0x80; b <= 0xFF; ++b)
    set(static_cast<std::uint16_t>(b), single_[b]);
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail)
      set(static_cast<std::uint16_t>(lead << 8 | trail), pair_[lead << 8 | trail]);
}

const DoubleByteTable* DoubleByteTableOf(int code_page) {
  if (code_page == 936) {
    static const DoubleByteTable table(936);
    return &table;
  }
  if (code_page == 950) {
    static const DoubleByteTable table(950);
    return &table;
  }
  return nullptr;
}

// Bytes to UTF-8 through a table; a byte that starts no character becomes
// replacement (or fails when there is none) and the next byte is read anew.
bool TableToUtf8(const DoubleByteTable& t, std::string_view bytes, std::string& out,
                 const std::string* replacement, bool& lossless) {
  out.clear();
  lossless = true;
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    char32_t cp = t.Single(b);
    std::size_t n = 1;
    if (cp == DoubleByteTable::kNone && i + 1 < bytes.size()) {
      unsigned char trail = static_cast<unsigned char>(bytes[i + 1]);
      if (IsTrail(trail)) {
        cp = t.Pair(b, trail);
        n = 2;
      }
    }
    if (cp == DoubleByteTable::kNone) {
      lossless = false;
      if (!replacement) return false;
      out += *replacement;
      i += 1;
      continue;
    }
    AppendUtf8(out, cp);
    i += n;
  }
  return true;
}

// UTF-8 to bytes through a table; a character without bytes (or a malformed
// sequence, skipped whole) becomes replacement or fails.
bool Utf8ToTable(const DoubleByteTable& t, std::string_view utf8, std::string& out,
                 const std::string* replacement, bool& lossless) {
  out.clear();
  lossless = true;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    std::size_t n = DecodeUtf8At(utf8, i, cp);
    std::uint16_t b = n == 0 ? 0 : cp < 0x80 ? static_cast<std::uint16_t>(cp) : t.Bytes(cp);
    if (n == 0 || (b == 0 && cp != 0)) {
      lossless = false;
      if (!replacement) return false;
      out += *replacement;
      if (n == 0) {
        n = 1;
        while (i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80)
          ++n;
      }
      i += n;
      continue;
    }
    if (b > 0xFF) out += static_cast<char>(b >> 8);
    out += static_cast<char>(b & 0xFF);
    i += n;
  }
  return true;
}

}  // namespace

bool CodePageSupported(int code_page) {
  return Converter("UTF-8", CodePageCharset(code_page)).ok() &&
         Converter(CodePageCharset(code_page), "UTF-8").ok();
}

bool TryUtf8ToCodePage(std::string_view utf8, int code_page, std::string& bytes) {
  bool lossless = true;
  std::string out;
  if (const DoubleByteTable* t = DoubleByteTableOf(code_page)) {
    if (!Utf8ToTable(*t, utf8, out, nullptr, lossless)) return false;
  } else if (!Convert(utf8, CodePageCharset(code_page), "UTF-8", out, nullptr, 1, lossless)) {
    return false;
  }
  bytes = std::move(out);
  return true;
}

bool TryCodePageToUtf8(std::string_view bytes, int code_page, std::string& utf8) {
  bool lossless = true;
  std::string out;
  if (const DoubleByteTable* t = DoubleByteTableOf(code_page)) {
    if (!TableToUtf8(*t, bytes, out, nullptr, lossless)) return false;
  } else if (!Convert(bytes, "UTF-8", CodePageCharset(code_page), out, nullptr, 1, lossless)) {
    return false;
  }
  utf8 = std::move(out);
  return true;
}

std::string Utf8ToCodePage(std::string_view utf8, int code_page, bool* lossless) {
  static const std::string kQuestion = "?";
  bool ok = true;
  std::string out;
  if (const DoubleByteTable* t = DoubleByteTableOf(code_page))
    Utf8ToTable(*t, utf8, out, &kQuestion, ok);
  else if (!Convert(utf8, CodePageCharset(code_page), "UTF-8", out, &kQuestion, 1, ok))
    out.clear();
  if (lossless) *lossless = ok;
  return out;
}

std::string CodePageToUtf8(std::string_view bytes, int code_page, bool* lossless) {
  static const std::string kReplacement = "\xEF\xBF\xBD";
  const std::string charset = CodePageCharset(code_page);
  const std::size_t unit = (code_page == 1200 || code_page == 1201) ? 2 : 1;
  bool ok = true;
  std::string out;
  if (unit == 1 && code_page == 65001) {
    ok = IsValidUtf8(bytes);
    out = ok ? std::string(bytes) : Utf16ToUtf8(Utf8ToUtf16(bytes));
  } else if (const DoubleByteTable* t = DoubleByteTableOf(code_page)) {
    TableToUtf8(*t, bytes, out, &kReplacement, ok);
  } else if (!Convert(bytes, "UTF-8", charset, out, &kReplacement, unit, ok)) {
    out.clear();
  }
  if (lossless) *lossless = ok;
  return out;
}

bool IsValidUtf8(std::string_view s) {
  char32_t cp;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = DecodeUtf8At(s, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string DecodeTextFile(std::string_view bytes, int fallback_code_page, std::string* problem) {
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  int code_page;
  if (starts("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    code_page = 65001;
  } else if (starts("\xFF\xFE")) {
    bytes.remove_prefix(2);
    code_page = 1200;
  } else if (starts("\xFE\xFF")) {
    bytes.remove_prefix(2);
    code_page = 1201;
  } else {
    code_page = IsValidUtf8(bytes) ? 65001 : fallback_code_page;
  }
  bool lossless = true;
  std::string text = CodePageToUtf8(bytes, code_page, &lossless);
  if (!lossless && problem) {
    *problem = Format("bytes that are not valid %s were replaced", CodePageCharset(code_page));
    if ((code_page == 1200 || code_page == 1201) && bytes.size() % 2 != 0)
      *problem = "the UTF-16 text ends in half a character";
  }
  return text;
}

}  // namespace vx
