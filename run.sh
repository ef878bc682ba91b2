#!/usr/bin/env bash
# ./run.sh test   install build dependencies, build (sanitizers on) and run every test
# ./run.sh demo   run the stocktaking recount on the embedded demo company
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
  libpng-dev libcurl4-openssl-dev
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
    echo "demo: the stocktaking book-quantity recount (STKB17) on the embedded demo company is not built yet; this will prepare, queue and run it once the module and application server exist."
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
