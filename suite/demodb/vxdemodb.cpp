// vxdemodb: builds the demo company's databases into a folder.
//
//   vxdemodb <folder>                          DEMO.db and VXSYS.db, fresh
//   vxdemodb --ledger ROWS --lines N <folder>  the same, plus ROWS generated
//                                              ledger entries and a worksheet
//                                              of N lines, for benchmarks
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "suite/demodb/demodb.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: vxdemodb [--ledger ROWS --lines N] <folder>\n"
               "  Creates DEMO.db (company) and VXSYS.db (system database) in the folder,\n"
               "  replacing files of those names. --ledger adds ROWS generated ledger entries\n"
               "  (at most %lld) and --lines a worksheet \"%s\" of N lines (at most %d).\n",
               static_cast<long long>(vx::demo::kMaxLedgerRows), vx::demo::kLargeWorksheet,
               vx::demo::kMaxWorksheetLines);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  std::int64_t rows = 0;
  std::int64_t lines = 0;
  bool large = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--ledger" || a == "--lines") && i + 1 < argc) {
      auto n = vx::TryStrToInt64(argv[++i]);
      if (!n || *n < 0) {
        std::fprintf(stderr, "vxdemodb: %s needs a count, not \"%s\"\n", a.c_str(), argv[i]);
        return Usage();
      }
      (a == "--ledger" ? rows : lines) = *n;
      large = true;
    } else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else if (!a.empty() && a[0] != '-' && folder.empty()) {
      folder = a;
    } else {
      return Usage();
    }
  }
  if (folder.empty()) return Usage();
  if (rows > vx::demo::kMaxLedgerRows || lines > vx::demo::kMaxWorksheetLines) return Usage();
  try {
    if (!large) {
      vx::demo::CreateDemoDatabases(folder);
    } else {
      vx::demo::TLedgerOptions o;
      o.Rows = rows;
      o.Lines = static_cast<int>(lines);
      o.Progress = [](std::int64_t done, std::int64_t total) {
        std::fprintf(stderr, "\rvxdemodb: ledger %lld of %lld entries (%lld%%)",
                     static_cast<long long>(done), static_cast<long long>(total),
                     static_cast<long long>(total ? done * 100 / total : 100));
        if (done == total) std::fputc('\n', stderr);
      };
      vx::demo::CreateLargeDemoDatabases(folder, o);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxdemodb: %s\n", e.what());
    return 1;
  }
  std::printf("%s\n%s\n", vx::JoinPath(folder, vx::demo::kCompanyFileName).c_str(),
              vx::JoinPath(folder, vx::demo::kSystemFileName).c_str());
  return 0;
}
