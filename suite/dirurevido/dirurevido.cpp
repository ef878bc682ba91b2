#include "suite/dirurevido/dirurevido.h"

#include <opencc/SimpleConverter.hpp>

#include <memory>
#include <string>
#include <string_view>

#include "platform/os/codepage.h"
#include "platform/rtl/text.h"

namespace {

enum class Direction { GbToBig5, Big5ToGb };

// Building a converter reads its dictionaries (some milliseconds): one per
// configuration per process, built on first use and shared by all threads
// (conversion does not change it).
const opencc::SimpleConverter* ConverterFor(Direction d) {
  auto build = [](const char* config) -> std::unique_ptr<opencc::SimpleConverter> {
    try {
      return std::make_unique<opencc::SimpleConverter>(config);
    } catch (...) {
      return nullptr;
    }
  };
  if (d == Direction::GbToBig5) {
    static const auto s2tw = build("s2tw.json");
    return s2tw.get();
  }
  static const auto tw2s = build("tw2s.json");
  return tw2s.get();
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A result that did not fit the caller's buffer, per thread and direction,
// so that the second call of the size protocol only copies it.
struct LastResult {
  std::string input;
  std::string output;
  bool valid = false;
};

ptrdiff_t Run(Direction d, const char* in, size_t in_len, char* out, size_t out_size) {
  if (out == nullptr && out_size > 0) return DIRUREVIDO_E_ARGUMENT;
  if (out_size > 0) out[0] = '\0';
  if (in == nullptr && in_len > 0) return DIRUREVIDO_E_ARGUMENT;
  try {
    std::string_view text(in ? in : "", in_len);
    thread_local LastResult pending[2];
    LastResult& cache = pending[static_cast<int>(d)];
    std::string result;
    if (cache.valid && cache.input == text) {
      result = std::move(cache.output);
    } else {
      if (IsAscii(text)) {
        result.assign(text);
      } else {
        const opencc::SimpleConverter* converter = ConverterFor(d);
        if (converter == nullptr) return DIRUREVIDO_E_CONVERTER;
        // The dictionaries expect well-formed UTF-8: malformed bytes become U+FFFD
        // first, which no code page encodes, so they end as "?".
        std::string clean =
            vx::IsValidUtf8(text) ? std::string(text) : vx::Utf16ToUtf8(vx::Utf8ToUtf16(text));
        std::string converted = converter->Convert(clean.data(), clean.size());
        // Encoding and decoding again leaves exactly what the target code page holds.
        int code_page = d == Direction::GbToBig5 ? 950 : 936;
        result = vx::CodePageToUtf8(vx::Utf8ToCodePage(converted, code_page), code_page);
      }
    }
    cache.valid = false;
    if (result.size() < out_size) {
      result.copy(out, result.size());
      out[result.size()] = '\0';
    } else {
      // Kept for the caller's second call with a larger buffer.
      cache.input.assign(text);
      cache.output = result;
      cache.valid = true;
    }
    return static_cast<ptrdiff_t>(result.size());
  } catch (...) {
    return DIRUREVIDO_E_FAILED;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) ptrdiff_t GBtoBIG5(const char* in, size_t in_len, char* out,
                                                          size_t out_size) {
  return Run(Direction::GbToBig5, in, in_len, out, out_size);
}

__attribute__((visibility("default"))) ptrdiff_t BIG5toGB(const char* in, size_t in_len, char* out,
                                                          size_t out_size) {
  return Run(Direction::Big5ToGb, in, in_len, out, out_size);
}

}  // extern "C"
