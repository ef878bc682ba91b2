// Publishes a file into a release store of the download package, or prints
// its description as the manager's file list gives it.
//
//   vxrelease put <file> <store folder>
//   vxrelease describe <store folder> <name> [address the clients use]
#include <cstdio>
#include <string>

#include "suite/vazuvirure/release_store.h"

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "put" && argc == 4) {
    std::string error;
    if (vx::release::PutRelease(argv[2], argv[3], error)) return 0;
    std::fprintf(stderr, "vxrelease: %s\n", error.c_str());
    return 1;
  }
  if (command == "describe" && (argc == 4 || argc == 5)) {
    std::string text = vx::release::DescribeRelease(argv[2], argv[3], argc == 5 ? argv[4] : "");
    if (text.empty()) {
      std::fprintf(stderr, "vxrelease: no release of %s in %s\n", argv[3], argv[2]);
      return 1;
    }
    std::printf("%s\n", text.c_str());
    return 0;
  }
  std::fprintf(stderr,
               "usage: vxrelease put <file> <store folder>\n"
               "       vxrelease describe <store folder> <name> [address]\n");
  return 2;
}
