#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine: installs what is missing,
# configures, builds and runs.
#   ./build.sh demo    Release build, then itemtool saves a sample project, prints
#                      its summary (info) and its serial tree (dump)
#   ./build.sh test    Debug + ASan/UBSan (clang), every test through CTest,
#                      fuzzers for a short smoke run, benchmarks once briefly
#   ./build.sh bench   Release build, full benchmark run
#   ./build.sh fuzz    clang + libFuzzer, each fuzzer for FUZZ_SECONDS (60)
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "build.sh: installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

base_packages=(cmake ninja-build g++ zlib1g-dev libicu-dev libboost-dev libgtest-dev
               libgmock-dev libbenchmark-dev)
clang_packages=(clang libclang-rt-14-dev)

configure_build() {  # dir, cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

cmd=${1:-}
case "$cmd" in
  demo)
    need_packages "${base_packages[@]}"
    configure_build build/release -DCMAKE_BUILD_TYPE=Release -DITEMLIB_BUILD_TESTS=OFF \
      -DITEMLIB_BUILD_BENCH=OFF
    tool=build/release/tools/itemtool/itemtool
    out=build/release/sample-project.serial.gz
    echo "== itemtool sample-project $out   (a project built in memory and saved)"
    "$tool" sample-project "$out"
    echo "== itemtool info $out"
    "$tool" info "$out"
    echo "== itemtool info --json $out"
    "$tool" info --json "$out"
    echo "== itemtool dump $out   (the serial tree below \"Root\", first 40 lines)"
    "$tool" dump "$out" > build/release/sample-project.dump.txt
    head -n 40 build/release/sample-project.dump.txt
    echo "... $(wc -l < build/release/sample-project.dump.txt) lines in all: build/release/sample-project.dump.txt"
    olddb=build/release/sample-old.db
    converted=build/release/sample-old.serial.gz
    echo "== itemtool sample-olddb $olddb   (a project database of the older SQLite 2 kind)"
    "$tool" sample-olddb "$olddb"
    echo "== itemtool convert $olddb $converted"
    "$tool" convert "$olddb" "$converted"
    echo "== itemtool info $converted"
    "$tool" info "$converted"
    ;;
  test)
    need_packages "${base_packages[@]}" "${clang_packages[@]}"
    CC=clang CXX=clang++ configure_build build/test -DCMAKE_BUILD_TYPE=Debug \
      -DITEMLIB_SANITIZE=ON -DITEMLIB_WERROR=ON -DITEMLIB_BUILD_FUZZ=ON
    cd build/test
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j "$jobs"
    ;;
  bench)
    need_packages "${base_packages[@]}"
    configure_build build/release -DCMAKE_BUILD_TYPE=Release -DITEMLIB_BUILD_TESTS=OFF
    for b in build/release/bench/*_bench; do "$b" "${@:2}"; done
    ;;
  fuzz)
    need_packages "${base_packages[@]}" "${clang_packages[@]}"
    CC=clang CXX=clang++ configure_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DITEMLIB_SANITIZE=ON -DITEMLIB_BUILD_FUZZ=ON -DITEMLIB_BUILD_TESTS=OFF \
      -DITEMLIB_BUILD_BENCH=OFF
    seconds=${FUZZ_SECONDS:-60}
    for f in build/fuzz/fuzz/fuzz_*; do
      [ -x "$f" ] || continue
      name=$(basename "$f")
      corpus=build/fuzz/corpus/$name
      mkdir -p "$corpus"
      echo "== $name for ${seconds}s"
      "$f" -max_total_time="$seconds" -malloc_limit_mb=256 -rss_limit_mb=2048 \
        "$corpus" build/fuzz/fuzz/seeds/"$name"
    done
    ;;
  *)
    echo "usage: $0 demo|test|bench|fuzz" >&2
    exit 2
    ;;
esac
