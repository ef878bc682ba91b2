#include "platform/codepage/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <utility>

#include "platform/rtl/text.h"

namespace vx {

namespace {

const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

// Opening a converter costs more than a short conversion, and a converter is
// not safe to share between threads: keep one per direction and thread.
class ConverterCache {
 public:
  ~ConverterCache() {
    for (auto& [key, cd] : open_)
      if (cd != kInvalid) iconv_close(cd);
  }
  iconv_t Get(const std::string& from, const std::string& to) {
    auto key = std::make_pair(from, to);
    auto it = open_.find(key);
    if (it == open_.end()) it = open_.emplace(key, iconv_open(to.c_str(), from.c_str())).first;
    if (it->second != kInvalid) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    return it->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

iconv_t Converter(const std::string& from, const std::string& to) {
  thread_local ConverterCache cache;
  iconv_t cd = cache.Get(from, to);
  if (cd == kInvalid)
    throw ECodePageError(Format("Code page conversion from %s to %s is not supported", from, to));
  return cd;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Length of the UTF-8 sequence at the start of s, or 1 for a malformed byte,
// so that a skipped character never swallows the next one.
std::size_t Utf8SequenceLength(std::string_view s) {
  auto b = static_cast<unsigned char>(s[0]);
  std::size_t n = b < 0x80           ? 1
                  : (b >> 5) == 0x6  ? 2
                  : (b >> 4) == 0xE  ? 3
                  : (b >> 3) == 0x1E ? 4
                                     : 1;
  if (n > s.size()) return 1;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  return n;
}

// Runs iconv over the whole input. At a character that cannot be converted
// (or a malformed sequence) `replacement` is written and `skip` decides how
// much input to step over.
template <class Skip>
std::string Convert(iconv_t cd, std::string_view in, const std::string& replacement, Skip skip,
                    std::size_t* replaced) {
  std::string out;
  out.resize(in.size() * 2 + 16);
  std::size_t count = 0;
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  std::size_t used = 0;
  auto append = [&](const std::string& bytes) {
    if (out.size() - used < bytes.size()) out.resize(out.size() * 2 + bytes.size());
    out.replace(used, bytes.size(), bytes);
    used += bytes.size();
  };
  while (true) {
    char* dst = out.data() + used;
    std::size_t dst_left = out.size() - used;
    std::size_t rc = src_left == 0 ? iconv(cd, nullptr, nullptr, &dst, &dst_left)
                                   : iconv(cd, &src, &src_left, &dst, &dst_left);
    used = out.size() - dst_left;
    if (rc != static_cast<std::size_t>(-1)) {
      if (src_left == 0) {
        // Flush any shift state of stateful encodings.
        char* fdst = out.data() + used;
        std::size_t fleft = out.size() - used;
        if (iconv(cd, nullptr, nullptr, &fdst, &fleft) != static_cast<std::size_t>(-1))
          used = out.size() - fleft;
        break;
      }
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (errno == EILSEQ || errno == EINVAL) {
      append(replacement);
      ++count;
      std::size_t n = errno == EINVAL ? src_left : skip(std::string_view(src, src_left));
      src += n;
      src_left -= n;
      if (src_left == 0) break;
      continue;
    }
    throw ECodePageError(Format("Code page conversion failed (error %d)", errno));
  }
  out.resize(used);
  if (replaced) *replaced = count;
  return out;
}

std::string EncodedDefaultChar(const std::string& charset) {
  if (SameText(charset, "UTF-8")) return std::string(1, kCodePageDefaultChar);
  char in[1] = {kCodePageDefaultChar};
  char out[16];
  char* src = in;
  char* dst = out;
  std::size_t src_left = 1, dst_left = sizeof out;
  iconv_t cd = Converter("UTF-8", charset);
  if (iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1))
    return std::string(1, kCodePageDefaultChar);
  return std::string(out, sizeof out - dst_left);
}

}  // namespace

std::string CharsetOfCodePage(int code_page) {
  switch (code_page) {
    case 65001:
      return "UTF-8";
    case 1200:
      return "UTF-16LE";
    case 1201:
      return "UTF-16BE";
    case 20127:
      return "ASCII";
    default:
      return "CP" + IntToStr(code_page);
  }
}

bool IsCharsetSupported(const std::string& charset) {
  try {
    Converter("UTF-8", charset);
    Converter(charset, "UTF-8");
    return true;
  } catch (const ECodePageError&) {
    return false;
  }
}

bool IsCodePageSupported(int code_page) {
  return code_page > 0 && IsCharsetSupported(CharsetOfCodePage(code_page));
}

std::string EncodeToCharset(std::string_view utf8, const std::string& charset,
                            std::size_t* replaced) {
  iconv_t cd = Converter("UTF-8", charset);
  std::string def = EncodedDefaultChar(charset);
  return Convert(cd, utf8, def, Utf8SequenceLength, replaced);
}

std::string EncodeToCodePage(std::string_view utf8, int code_page, std::size_t* replaced) {
  return EncodeToCharset(utf8, CharsetOfCodePage(code_page), replaced);
}

std::string DecodeFromCharset(std::string_view bytes, const std::string& charset,
                              std::size_t* replaced) {
  iconv_t cd = Converter(charset, "UTF-8");
  // A byte that starts no valid sequence is dropped alone, so that the next
  // byte gets its own chance (a broken double-byte character costs one byte).
  return Convert(
      cd, bytes, std::string(1, kCodePageDefaultChar),
      [](std::string_view) -> std::size_t { return 1; }, replaced);
}

std::string DecodeFromCodePage(std::string_view bytes, int code_page, std::size_t* replaced) {
  return DecodeFromCharset(bytes, CharsetOfCodePage(code_page), replaced);
}

std::string LimitToCodePage(std::string_view utf8, int code_page, std::size_t* replaced) {
  if (IsAscii(utf8) && code_page != 1200 && code_page != 1201) {
    if (replaced) *replaced = 0;
    return std::string(utf8);
  }
  // Encoding and decoding again gives exactly what a string of that code page
  // holds, including characters the code page maps onto another one.
  std::string bytes = EncodeToCodePage(utf8, code_page, replaced);
  return DecodeFromCodePage(bytes, code_page);
}

std::size_t CodePageByteLength(std::string_view utf8, int code_page) {
  if (IsAscii(utf8)) return utf8.size();
  return EncodeToCodePage(utf8, code_page).size();
}

}  // namespace vx
