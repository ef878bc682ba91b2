#include "platform/os/codepage.h"

#include <iconv.h>

#include <cerrno>

#include "platform/rtl/text.h"

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

}  // namespace

bool CodePageSupported(int code_page) {
  return Converter("UTF-8", CodePageCharset(code_page)).ok() &&
         Converter(CodePageCharset(code_page), "UTF-8").ok();
}

bool TryUtf8ToCodePage(std::string_view utf8, int code_page, std::string& bytes) {
  bool lossless = true;
  std::string out;
  if (!Convert(utf8, CodePageCharset(code_page), "UTF-8", out, nullptr, 1, lossless)) return false;
  bytes = std::move(out);
  return true;
}

bool TryCodePageToUtf8(std::string_view bytes, int code_page, std::string& utf8) {
  bool lossless = true;
  std::string out;
  if (!Convert(bytes, "UTF-8", CodePageCharset(code_page), out, nullptr, 1, lossless)) return false;
  utf8 = std::move(out);
  return true;
}

std::string Utf8ToCodePage(std::string_view utf8, int code_page, bool* lossless) {
  static const std::string kQuestion = "?";
  bool ok = true;
  std::string out;
  if (!Convert(utf8, CodePageCharset(code_page), "UTF-8", out, &kQuestion, 1, ok)) out.clear();
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
  } else if (!Convert(bytes, "UTF-8", charset, out, &kReplacement, unit, ok)) {
    out.clear();
  }
  if (lossless) *lossless = ok;
  return out;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    char32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
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
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
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
