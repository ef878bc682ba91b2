#!/usr/bin/env bash
# ./run.sh test   install build dependencies, build (sanitizers on) and run every test
# ./run.sh demo   run the stocktaking recount on the embedded demo company
# ./run.sh bench  build optimised and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

# Debian packages the build needs; installed only when missing.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libpugixml-dev libopencc-dev libasio-dev libmsgpack-cxx-dev
  libpng-dev libcurl4-openssl-dev libzip-dev libicu-dev
)

install_deps() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs() { nproc 2>/dev/null || echo 2; }

case "${1:-}" in
  test)
    install_deps
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_WERROR=ON
    cmake --build build/test -j "$(jobs)"
    ctest --test-dir build/test --output-on-failure -j "$(jobs)"
    ;;
  demo)
    install_deps
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF >/dev/null
    cmake --build build/release -j "$(jobs)" --target vxshell vxdemodb STKB17C STKB17S \
      CorvanWorkCenter vx_appserver vxjobhost
    inst=$(demo/install.sh build/release/bin build/demo)
    export VX_REGISTRY_FILE="$inst/machine.reg" VX_CODEPAGE=936
    echo
    echo "== Demo company \"示范公司\" laid out in $inst"
    echo "== STKB17 盘点帐面量重计: worksheet W24001 (stocktaking date 2024/12/31), run directly"
    echo
    build/release/bin/vxshell --load CorvanWorkCenter.dll --load ReportCounterS.dll \
      --set ed01=W24001 --set chkLog=Y --direct "$inst/C_PKG/STKB17C.so"
    echo
    echo "== What changed (the job's log):"
    cat "$inst"/Log/STKB17S_*.log
    ;;
  bench)
    install_deps
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF -DVX_BENCH=ON
    cmake --build build/release -j "$(jobs)"
    for b in build/release/bin/*_bench; do [ -x "$b" ] && "$b"; done
    ;;
  *)
    echo "usage: $0 test|demo|bench" >&2
    exit 2
    ;;
esac
