#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine: installs what is missing,
# configures, builds and runs.
#   ./build.sh demo    Release build, then itemtool saves a sample project, prints
#                      its summary (info) and its serial tree (dump)
#   ./build.sh test    Debug + ASan/UBSan (clang), every test through CTest,
#                      fuzzers for a short smoke run, benchmarks once briefly
#   ./build.sh bench   Release build, full benchmark run, summary table in
#                      build/bench-report.md
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
               libgmock-dev libbenchmark-dev libboost-serialization-dev libcereal-dev
               libpugixml-dev pkg-config)
# Translators' tools that the exchange tests run our documents through.
test_packages=(translate-toolkit gettext)
clang_packages=(clang libclang-rt-14-dev)

configure_build() {  # dir, cmake args...
  local dir=$1; shift
  # A compiler cache, when the machine has one, makes rebuilds of unchanged
  # sources free; the build never needs it.
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache
                                            -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
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
    need_packages "${base_packages[@]}" "${clang_packages[@]}" "${test_packages[@]}"
    CC=clang CXX=clang++ configure_build build/test -DCMAKE_BUILD_TYPE=Debug \
      -DITEMLIB_SANITIZE=ON -DITEMLIB_WERROR=ON -DITEMLIB_BUILD_FUZZ=ON
    cd build/test
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j "$jobs"
    ;;
  bench)
    need_packages "${base_packages[@]}" python3
    # Bench ON explicitly: demo shares this folder and turns it off.
    configure_build build/release -DCMAKE_BUILD_TYPE=Release -DITEMLIB_BUILD_TESTS=OFF \
      -DITEMLIB_BUILD_BENCH=ON
    # Each program's JSON, console output and exit status, for the report;
    # extra arguments come last, so they can override ours.
    results=build/release/bench-results
    rm -rf "$results"
    mkdir -p "$results"
    status=0
    for b in build/release/bench/*_bench; do
      name=$(basename "$b")
      echo "== $name"
      rc=0
      "$b" --benchmark_out="$results/$name.json" --benchmark_out_format=json "${@:2}" \
        | tee "$results/$name.log" || rc=$?
      echo "$rc" > "$results/$name.rc"
      [ "$rc" -eq 0 ] || status=1
    done
    echo "== build/bench-report.md"
    python3 bench/bench_report.py "$results" build/bench-report.md || status=1
    exit "$status"
    ;;
  fuzz)
    need_packages "${base_packages[@]}" "${clang_packages[@]}"
    CC=clang CXX=clang++ configure_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DITEMLIB_SANITIZE=ON -DITEMLIB_BUILD_FUZZ=ON -DITEMLIB_BUILD_TESTS=OFF \
      -DITEMLIB_BUILD_BENCH=OFF
    seconds=${FUZZ_SECONDS:-60}
    # The full libFuzzer output of each target goes to build/fuzz/logs; the
    # terminal gets one line per target. Crashes count the artifacts (crash,
    # leak, timeout, out-of-memory inputs) a run wrote; they stay under
    # build/fuzz/artifacts/<target>.
    mkdir -p build/fuzz/logs
    failed=0
    for f in build/fuzz/fuzz/fuzz_*; do
      [ -f "$f" ] && [ -x "$f" ] || continue
      name=$(basename "$f")
      corpus=build/fuzz/corpus/$name
      artifacts=build/fuzz/artifacts/$name
      log=build/fuzz/logs/$name.log
      mkdir -p "$corpus" "$artifacts"
      # Hand-written inputs and those of past findings, kept in the sources.
      kept=()
      [ -d "fuzz/corpus/$name" ] && kept=("fuzz/corpus/$name")
      before=$(find "$artifacts" -type f | wc -l)
      rc=0
      nice -n 10 "$f" -max_total_time="$seconds" -malloc_limit_mb=256 -rss_limit_mb=2048 \
        -timeout=10 -artifact_prefix="$artifacts/" "$corpus" build/fuzz/fuzz/seeds/"$name" "${kept[@]}" \
        >"$log" 2>&1 || rc=$?
      crashes=$(( $(find "$artifacts" -type f | wc -l) - before ))
      # The last stats line carries the coverage; "Done N runs" the count
      # of a run that was not cut short.
      stats=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1 || true)
      runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
      [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$stats")
      cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
      ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
      printf '%-24s %ss  executions %-10s cov %-6s ft %-6s corpus %-5s crashes %s\n' "$name" \
        "$seconds" "${runs:-0}" "${cov:-?}" "${ft:-?}" "$(find "$corpus" -type f | wc -l)" \
        "$crashes"
      if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        failed=1
        echo "  see $log and $artifacts"
      fi
    done
    exit "$failed"
    ;;
  *)
    echo "usage: $0 demo|test|bench|fuzz" >&2
    exit 2
    ;;
esac
