#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer + UBSan)
# and runs each for a while over its corpus, in a private network namespace.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# New inputs go to build-fuzz/corpus/<target>; a crash is written to
# build-fuzz/crashes/<target>/ and ends the script with failure.
set -e
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="${*:-datagram_down_fuzz datagram_up_fuzz address_reply_fuzz parameter_file_fuzz dialog_script_fuzz plan_file_fuzz script_fuzz web_command_fuzz web_path_fuzz board_line_fuzz firmware_line_fuzz}"
dir=build-fuzz
sh scripts/deps.sh clang-14 libclang-rt-14-dev llvm-14
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DORV_SANITIZE=address -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DORV_FUZZ=ON -DORV_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$dir" -j "$(nproc)" --target $targets

status=0
for t in $targets; do
  seeds=${t%_fuzz}
  case $seeds in datagram_*) seeds=datagram ;; esac
  mkdir -p "$dir/corpus/$t" "$dir/crashes/$t"
  dict=""
  [ -f "tests/fuzz/$seeds.dict" ] && dict="-dict=tests/fuzz/$seeds.dict"
  echo "== $t: $seconds s"
  # The first corpus folder takes what the fuzzer finds; the kept seeds stay as they are.
  # shellcheck disable=SC2086
  if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 tests/support/run_in_netns.sh \
      "$dir/tests/fuzz/$t" -max_total_time="$seconds" -max_len=6000 -timeout=10 -rss_limit_mb=2048 \
      -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$dir/crashes/$t/" $dict \
      "$dir/corpus/$t" "tests/fuzz/corpus/$seeds" >"$dir/$t.log" 2>&1; then
    echo "$t FAILED; its log: $dir/$t.log, the input: $dir/crashes/$t/"
    tail -40 "$dir/$t.log"
    status=1
  fi
  grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)" "$dir/$t.log" | tr '\n' ' '
  echo
done
exit $status
