#include "platform/rtl/exception.h"

namespace vx {

std::string ExceptionText(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return e.what();
}

}  // namespace vx
