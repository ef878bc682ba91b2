#pragma once
// System queries of the utility unit.
#include <string>
#include <string_view>

namespace vx {

// The temporary folder in its long form with a trailing separator; empty
// when the long form cannot be had.
std::string GetLongTempPath();

// True exactly when host is "127.0.0.1" (no trimming, no other spelling).
bool IsLocalHost(std::string_view host);

}  // namespace vx
