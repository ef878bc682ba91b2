#pragma once
// The wrapper of the text-conversion library "Dirurevido.dll": GB (code page
// 936, Simplified) to Big5 (code page 950, Traditional) and back.
#include <string>
#include <string_view>

#include "platform/os/dynlib.h"
#include "platform/rtl/exception.h"

namespace vx {

// The library cannot be loaded or lacks an entry point, or a conversion failed.
VX_DECLARE_EXCEPTION(ETranslatorError, Exception);

inline constexpr const char* kTranslatorLibrary = "Dirurevido.dll";

class TTranslator {
 public:
  // Loads the library. Raises ETranslatorError with "Load Library %s Error!"
  // (the library name) when it cannot be loaded, and with "Get Library
  // Procedure Address Error!" when "GBtoBIG5" or "BIG5toGB" is missing.
  explicit TTranslator(std::string_view library_name = kTranslatorLibrary);
  ~TTranslator() = default;  // frees the library
  TTranslator(const TTranslator&) = delete;
  TTranslator& operator=(const TTranslator&) = delete;

  // Traditional to Simplified ("BIG5toGB") and the other way ("GBtoBIG5").
  // Raises ETranslatorError when the library reports a failure.
  std::string Big5ToGB(const std::string& text) const;
  std::string GBToBig5(const std::string& text) const;

  // The file actually loaded.
  std::string LibraryFileName() const { return library_.FileName(); }

 private:
  // The library's C interface: text and length in, caller's buffer and its
  // size; the result is the full length of the converted text (the buffer
  // holds it when it is shorter than the size) or a negative error.
  using ConvertFunc = std::ptrdiff_t (*)(const char* in, std::size_t in_len, char* out,
                                         std::size_t out_size);
  static std::string Run(ConvertFunc f, const char* name, const std::string& text);

  TDynLib library_;
  ConvertFunc gb_to_big5_ = nullptr;
  ConvertFunc big5_to_gb_ = nullptr;
};

}  // namespace vx
