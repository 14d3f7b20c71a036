#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, ASan/UBSan) and runs each one for a
# bounded time on a working copy of its seed corpus (build/fuzz/corpus/<target>; the seeds in
# tests/fuzz/corpus are never written to). A crash, a sanitizer report, a leak, a broken
# invariant or an input that runs longer than 10 s is a finding: its input is kept under
# build/fuzz/findings/<target>/ and the exit status is non-zero.
#
#   tools/fuzz.sh [seconds-per-target] [target...]     (default 300 s, every target)
#
# A finding is replayed with: build/fuzz/fuzz_<target> <file>
set -uo pipefail

cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-300}
shift $(( $# > 0 ? 1 : 0 ))
JOBS=${JOBS:-2}
BUILD=build/fuzz

if [ -z "${FUZZ_SKIP_DEPS:-}" ]; then
  bash tools/deps.sh || echo "fuzz.sh: tools/deps.sh failed; trying with what is installed" >&2
fi
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ is missing (tools/deps.sh installs it)" >&2
  exit 1
fi
if ! configure_log=$(cmake --preset fuzz 2>&1); then
  printf '%s\n' "$configure_log" >&2
  echo "fuzz.sh: configuring the fuzz preset failed" >&2
  exit 1
fi
cmake --build --preset fuzz --parallel "$JOBS" || { echo "fuzz.sh: the fuzz build failed" >&2; exit 1; }

# Longest input per target: enough for the longest text each rule is given, and then some.
max_len() {
  case $1 in
    colorkey) echo 40000 ;;
    record) echo 9000 ;;
    pagecommand | notice | update) echo 8192 ;;
    address | favourite) echo 4096 ;;
    *) echo 2048 ;;
  esac
}

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for src in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

mkdir -p "$BUILD/logs"
status=0
findings=0
rows=()
for t in "${targets[@]}"; do
  exe="$BUILD/fuzz_$t"
  if [ ! -x "$exe" ]; then
    echo "fuzz.sh: no target $t" >&2
    rows+=("$(printf '%-12s %12s %6s %13s  %s' "$t" - - - "MISSING")")
    status=1
    continue
  fi
  work="$BUILD/corpus/$t"
  found="$BUILD/findings/$t"
  log="$BUILD/logs/$t.log"
  mkdir -p "$work" "$found"
  [ -d "tests/fuzz/corpus/$t" ] && cp -n "tests/fuzz/corpus/$t"/* "$work"/ 2>/dev/null
  size_before=$(find "$work" -type f | wc -l)

  echo "==== fuzz $t: ${SECONDS_PER_TARGET}s"
  "$exe" "$work" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$(max_len "$t")" -artifact_prefix="$found/" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
  size=$(find "$work" -type f | wc -l)

  artifact=$(grep -oE "Test unit written to [^ ]+" "$log" | tail -1 | sed 's/Test unit written to //')
  if [ "$rc" -eq 0 ] && [ -z "$artifact" ]; then
    result=ok
  else
    result="FOUND ${artifact:-exit $rc, see $log}"
    findings=$((findings + 1))
    status=1
    grep -E 'ERROR:|runtime error|invariant failed|SUMMARY' "$log" | head -5 | sed 's/^/    /'
  fi

  rows+=("$(printf '%-12s %12s %6s %13s  %s' "$t" "${execs:-?}" "${cov:-?}" "$size_before->$size" "$result")")
done

echo
printf '%-12s %12s %6s %13s  %s\n' target executions edges corpus result
printf '%s\n' "${rows[@]}"
echo "fuzz targets ${#targets[@]} findings $findings" >"$BUILD/summary.txt"
exit "$status"
