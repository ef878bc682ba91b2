// The date-text parsers: typed dates by kind and separator, eight-digit
// dates, and the date-shift rules over stored entries.
#include "fuzz/fuzz_input.h"
#include "lib/date_shift.h"
#include "lib/strs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = vx::fuzz::AsText(data, size);
  auto f = vx::fuzz::Fields(text, 5);
  int kind = size > 0 ? data[0] % 7 : 1;
  vx::TDateTime parsed = vx::ParseDateByKind(f[0], kind, f[1].empty() ? "/" : f[1]);
  if (parsed.Value != 0) {
    // A parsed date formats and parses back to itself.
    std::string shown = vx::FormatDateByKind(kind, "/", parsed);
    if (kind >= 1 && kind <= 3 && vx::ParseDateByKind(shown, kind, "/").Value != parsed.Value)
      __builtin_trap();
  }
  vx::TDateTime d8 = vx::Date8ToDate(f[0]);
  if (vx::IsValidDate8(f[0]) && !f[0].empty() && d8.Value == 0) __builtin_trap();
  std::string shifted = vx::ShiftByRule(f[0], f[1], f[2], f[3], f[4]);
  if (!shifted.empty() && shifted.size() != (f[0].size() < 7 ? 6u : 8u)) __builtin_trap();
  (void)vx::ShiftDate(f[0], f[2], static_cast<int>(size) - 100);
  (void)vx::WeekEdge(f[0], static_cast<int>(size), size % 2 == 0);
  return 0;
}
