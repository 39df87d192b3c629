#!/usr/bin/env bash
# Runs every test: for the default product the host unit tests, then the 32-bit
# and the 64-bit build end to end under Wine on a virtual X server; for the
# other two products (products/tarnwick, and products/halsmere, the product for
# the world) the host tests and the 32-bit build end to end, each in a build
# folder of its own (build/<preset>). Its last lines say
# which presets passed, which failed, and every case that skipped and why.
# Under CI (CI=true) a 32-bit Wine case that cannot run fails instead of skipping.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh || echo "Going on without what deps.sh could not install: the tests that need it skip or fail."

presets=(host win32 win64 host-tarnwick win32-tarnwick host-halsmere win32-halsmere)
failed=()
passed=()
for preset in "${presets[@]}"; do
  echo "=== $preset"
  rm -f "build/$preset/skipped-cases.txt"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    failed+=("$preset (build)")
    continue
  fi
  if ctest --preset "$preset"; then
    passed+=("$preset")
  else
    failed+=("$preset")
  fi
done

echo "=== Summary"
for preset in "${presets[@]}"; do
  skips="build/$preset/skipped-cases.txt"
  [ -s "$skips" ] || continue
  echo "$preset: $(wc -l <"$skips") cases skipped:"
  # One line per reason, with how many cases it skipped.
  cut -f2- "$skips" | sort | uniq -c | sort -rn | sed 's/^ *\([0-9]*\) /  \1 x /'
done
[ ${#passed[@]} -gt 0 ] && echo "passed: ${passed[*]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]} (screenshots of e2e failures: build/*/e2e-artifacts/)"
  exit 1
fi
echo "All tests passed."
