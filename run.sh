#!/usr/bin/env bash
# ./run.sh test   install build dependencies, build (sanitizers on) and run every test
# ./run.sh demo   run the stocktaking recount on the embedded demo company
#                 (--server: through the application server daemon)
# ./run.sh bench  build optimised and run the benchmarks
# ./run.sh fuzz [SECONDS]  build the libFuzzer targets (clang) and run each
#                 for SECONDS (60 by default); findings land in build/fuzz/findings
set -euo pipefail
cd "$(dirname "$0")"

# Debian packages the build needs; installed only when missing.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libpugixml-dev libopencc-dev libasio-dev libmsgpack-cxx-dev
  libpng-dev libcurl4-openssl-dev libzip-dev libicu-dev libcpp-httplib-dev
)

# What fuzzing needs on top: clang with its fuzzer runtime.
FUZZ_PACKAGES=(clang)

install_deps() {
  local missing=() p
  for p in "${PACKAGES[@]}" "$@"; do
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
    echo "Building the optimised tree (log: build/release-build.log) ..."
    mkdir -p build
    if ! { cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF &&
      cmake --build build/release -j "$(jobs)" --target vxshell vxdemodb STKB17C STKB17S \
        CorvanWorkCenter vx_appserver vxjobhost vxappserver; } >build/release-build.log 2>&1; then
      tail -40 build/release-build.log
      exit 1
    fi
    bin=build/release/bin
    if [ "${2:-}" = --server ]; then
      inst=$(demo/install.sh "$bin" build/demo server)
    else
      inst=$(demo/install.sh "$bin" build/demo)
    fi
    export VX_REGISTRY_FILE="$inst/machine.reg" VX_CODEPAGE=936
    echo
    echo "== Demo company \"示范公司\" laid out in $inst"
    echo "== STKB17 盘点帐面量重计: worksheet W24001 (stocktaking date 2024/12/31)"
    echo
    if [ "${2:-}" = --server ]; then
      "$bin/vxappserver" --port 2110 >"$inst/Log/vxappserver.out" 2>&1 &
      daemon=$!
      trap 'kill $daemon 2>/dev/null || true' EXIT
      sleep 1
      echo "== queued with the application server daemon (pid $daemon) on port 2110"
      "$bin/vxshell" --load CorvanWorkCenter.dll --set ed01=W24001 --set chkLog=Y --queue \
        "$inst/C_PKG/STKB17C.so"
      for _ in $(seq 1 120); do
        if "$bin/vxappserver" --list | grep -Eq "  (done|failed|cancelled)  "; then break; fi
        sleep 0.5
      done
      echo
      echo "== the server's job list:"
      "$bin/vxappserver" --list
      kill "$daemon" 2>/dev/null || true
      wait "$daemon" 2>/dev/null || true
      trap - EXIT
    else
      echo "== run directly, with the application server in this process"
      "$bin/vxshell" --load CorvanWorkCenter.dll --load ReportCounterS.dll \
        --set ed01=W24001 --set chkLog=Y --direct "$inst/C_PKG/STKB17C.so"
    fi
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
  fuzz)
    seconds="${2:-60}"
    install_deps "${FUZZ_PACKAGES[@]}"
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVX_FUZZ=ON -DVX_SANITIZE=ON -DVX_TESTS=OFF
    cmake --build build/fuzz -j "$(jobs)"
    mkdir -p build/fuzz/findings
    summary=()
    status=0
    for fuzzer in build/fuzz/bin/*_fuzz; do
      name="$(basename "$fuzzer" _fuzz)"
      # New inputs go to the build folder; the seeds in the repository stay as they are.
      mkdir -p "build/fuzz/corpus/$name"
      log="build/fuzz/findings/$name.log"
      echo "fuzz: $name for ${seconds}s"
      if ASAN_OPTIONS=detect_leaks=1 "$fuzzer" "build/fuzz/corpus/$name" "fuzz/corpus/$name" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/findings/$name-" >"$log" 2>&1; then
        result="no finding"
      else
        result="FINDING (see $log)"
        status=1
      fi
      runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)"
      summary+=("$name: ${runs:-0} executions, $result")
    done
    printf '%s\n' "${summary[@]}"
    exit "$status"
    ;;
  *)
    echo "usage: $0 test|demo|bench|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
