#!/usr/bin/env bash
# Builds and tests everything: the portable rules natively (unit layer), the MinGW build
# under Wine (win and e2e layers) and a short fuzzing of every portable parser (fuzz layer,
# FUZZ_SECONDS per target, tools/fuzz.sh). Every layer always runs; the exit status is
# non-zero when any build, test or fuzz target failed. Prints the counts per layer and the
# total time.
set -uo pipefail

cd "$(dirname "$0")/.."
start=$SECONDS
status=0
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-13}

step() { echo; echo "==== $*"; }

step "dependencies"
bash tools/deps.sh || exit 1

declare -A built
for preset in native mingw; do
  step "configure and build: $preset"
  built[$preset]=0
  if cmake --preset "$preset" && cmake --build --preset "$preset" --parallel "$JOBS"; then
    built[$preset]=1
  else
    echo "test.sh: the $preset build failed" >&2
    status=1
  fi
done

declare -A ran
for preset in native mingw; do
  step "tests: $preset"
  ran[$preset]=0
  if [ -f "build/$preset/CTestTestfile.cmake" ]; then
    ran[$preset]=1
    rm -f "build/$preset/Testing/Temporary/LastTestsFailed.log"
    ctest --preset "$preset" --parallel "$([ "$preset" = native ] && echo "$JOBS" || echo 1)" || status=1
  else
    echo "test.sh: no tests to run for $preset (it was not configured)" >&2
    status=1
  fi
done

step "fuzz: ${FUZZ_SECONDS}s per target"
rm -f build/fuzz/summary.txt
FUZZ_SKIP_DEPS=1 bash tools/fuzz.sh "$FUZZ_SECONDS" || status=1

# Tests of one layer (label) and how many of them failed in the last run. Fixture tests
# (the bed, the sandbox) carry other labels and are not counted in a layer.
layer_line() {
  local dir=$1 label=$2
  ctest --test-dir "$dir" -N --show-only=json-v1 2>/dev/null | python3 -c '
import json, os, sys
label, failed_log = sys.argv[1], sys.argv[2]
tests = json.load(sys.stdin).get("tests", [])
names = set()
for t in tests:
    for prop in t.get("properties", []):
        if prop.get("name") == "LABELS" and label in prop.get("value", []):
            names.add(t["name"])
failed = set()
if os.path.exists(failed_log):
    with open(failed_log) as f:
        failed = {line.strip().split(":", 1)[-1] for line in f if line.strip()}
print(f"{label:<6} {len(names):>6} {len(names & failed):>7}")
' "$label" "$dir/Testing/Temporary/LastTestsFailed.log"
}

step "summary"
printf '%-6s %6s %7s\n' layer tests failed
[ "${ran[native]}" = 1 ] && layer_line build/native unit
if [ "${ran[mingw]}" = 1 ]; then
  layer_line build/mingw win
  layer_line build/mingw e2e
  if grep -qE '^[0-9]+:wine_(setup|cleanup)$' build/mingw/Testing/Temporary/LastTestsFailed.log 2>/dev/null; then
    echo "the Wine test bed itself failed (wine_setup or wine_cleanup)"
  fi
fi
if [ -f build/fuzz/summary.txt ]; then
  read -r _ _ fuzz_targets _ fuzz_findings <build/fuzz/summary.txt
  printf '%-6s %6s %7s\n' fuzz "$fuzz_targets" "$fuzz_findings"
else
  echo "fuzz build FAILED"
fi
[ "${built[native]}" = 1 ] || echo "native build FAILED"
[ "${built[mingw]}" = 1 ] || echo "mingw build FAILED"
elapsed=$((SECONDS - start))
printf 'total time: %dm%02ds\n' $((elapsed / 60)) $((elapsed % 60))
if [ "$status" -eq 0 ]; then echo "ALL PASSED"; else echo "FAILED"; fi
exit "$status"
