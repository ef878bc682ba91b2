#include "lang/translator.h"

#include "platform/rtl/text.h"

namespace vx {

TTranslator::TTranslator(std::string_view library_name) {
  if (!library_.Load(library_name))
    throw ETranslatorError(Format("Load Library %s Error!", std::string(library_name)));
  gb_to_big5_ = library_.Function<ConvertFunc>("GBtoBIG5");
  big5_to_gb_ = library_.Function<ConvertFunc>("BIG5toGB");
  if (gb_to_big5_ == nullptr || big5_to_gb_ == nullptr)
    throw ETranslatorError("Get Library Procedure Address Error!");
}

std::string TTranslator::Run(ConvertFunc f, const char* name, const std::string& text) {
  if (f == nullptr) return text;
  // Character forms keep the length in nearly every case: one call.
  std::string out(text.size() + text.size() / 4 + 16, '\0');
  std::ptrdiff_t n = f(text.data(), text.size(), out.data(), out.size());
  if (n >= static_cast<std::ptrdiff_t>(out.size())) {
    out.assign(static_cast<std::size_t>(n) + 1, '\0');
    n = f(text.data(), text.size(), out.data(), out.size());
  }
  if (n < 0 || n >= static_cast<std::ptrdiff_t>(out.size()))
    throw ETranslatorError(Format("%s failed (error %d)", name, static_cast<int>(n)));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::string TTranslator::Big5ToGB(const std::string& text) const {
  return Run(big5_to_gb_, "BIG5toGB", text);
}

std::string TTranslator::GBToBig5(const std::string& text) const {
  return Run(gb_to_big5_, "GBtoBIG5", text);
}

}  // namespace vx
