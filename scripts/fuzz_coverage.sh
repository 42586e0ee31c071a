#!/bin/sh
# Line coverage of the code each fuzz target aims at, reached by its corpus:
# the replay programs built with clang's source-based coverage, run over
# tests/fuzz/corpus/<target> (or over other folders given as FUZZ_CORPUS_ROOT,
# e.g. build-fuzz/corpus after a fuzzing run, holding one folder per target).
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
dir=build-cov
corpora="${FUZZ_CORPUS_ROOT:-}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 -DORV_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=-fprofile-instr-generate -fcoverage-mapping" >/dev/null
# target, its corpus folder, the source it aims at [, the functions in it]
set -- datagram_down_fuzz:datagram:link/receiver.cpp datagram_up_fuzz:datagram:link/receiver.cpp \
  address_reply_fuzz:address_reply:link/receiver.cpp:ParseAddressReply\|ParsePort parameter_file_fuzz:parameter_file:app/parameter_file.cpp \
  dialog_script_fuzz:dialog_script:platform/dialog_template.cpp dialog_script_fuzz:dialog_script:platform/dialog_lexer.cpp \
  plan_file_fuzz:plan_file:tools/dbnode/plan_file.cpp \
  script_fuzz:script:tools/dbnode/script.cpp
for entry; do
  cmake --build "$dir" --target "${entry%%:*}_replay" >/dev/null
done
printf '%-22s %-32s %s\n' target source "lines reached"
for entry; do
  t=${entry%%:*}; rest=${entry#*:}; seeds=${rest%%:*}; source=${rest#*:}
  functions=""
  case $source in *:*) functions=${source#*:}; source=${source%%:*} ;; esac
  inputs="tests/fuzz/corpus/$seeds"
  [ -n "$corpora" ] && inputs="$corpora/$t"
  rm -f "$dir/$t".prof*
  find "$inputs" -type f -print0 | LLVM_PROFILE_FILE="$root/$dir/$t.profraw" \
    xargs -0 -r tests/support/run_in_netns.sh "$dir/tests/fuzz/${t}_replay" >/dev/null
  llvm-profdata-14 merge -o "$dir/$t.profdata" "$dir/$t.profraw"
  if [ -n "$functions" ]; then
    # The lines of those functions that have a count, and those reached.
    llvm-cov-14 show "$dir/tests/fuzz/${t}_replay" -instr-profile="$dir/$t.profdata" -name-regex="$functions" |
      awk -v t="$t" -v s="$source ($functions)" -F'|' 'NF >= 3 && $2 ~ /[0-9]/ { n++; if ($2 !~ /^ *0$/) r++ }
        END { printf "%-22s %-32s %d of %d lines (%.2f%%)\n", t, s, r, n, 100 * r / n }'
    continue
  fi
  # Filename, 3 region, 3 function, then 3 line columns: total, missed, cover.
  llvm-cov-14 report "$dir/tests/fuzz/${t}_replay" -instr-profile="$dir/$t.profdata" |
    awk -v t="$t" -v s="$source" '$1 == s { printf "%-22s %-32s %d of %d lines (%s)\n", t, s, $8 - $9, $8, $10 }'
done
