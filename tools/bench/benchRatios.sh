#!/bin/bash
# Runs the benchmark program with interleaved repetitions, keeps each
# benchmark's minimum CPU time and prints one ratio per path.
#
#   tools/bench/benchRatios.sh [-r repetitions] [-t min_time] [-f filter] [-l limit] BENCH
#
# Naming: a path's benchmark BM_<Path> is judged against BM_<Path>_Floor, the
# shortest hand-written route to the same observable work, and, where one is
# kept, against BM_<Path>_PhysicalFloor, the bare data movement. Arguments and
# template parameters follow the suffix: BM_Convert/64 pairs with
# BM_Convert_Floor/64, BM_Write<tX> with BM_Write_Floor<tX>. A benchmark that
# has no floor is listed as such. The filter (-f, a regular expression) is
# matched against every name, floors included: filter by path family
# (-f 'Crc16|UTF8ToUTF16'), not by a path's arguments.
#
# The answer is 1 when a benchmark reported an error (SkipWithError: a path
# that allocated or did not do its work) or, with -l, when a ratio to the
# floor is above the limit.
set -euo pipefail

repetitions=5
min_time=0.05
filter=.
limit=0
while getopts r:t:f:l: option; do
  case $option in
    r) repetitions=$OPTARG ;;
    t) min_time=$OPTARG ;;
    f) filter=$OPTARG ;;
    l) limit=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -ne 1 ]; then
  echo "usage: $0 [-r repetitions] [-t min_time] [-f filter] [-l limit] BENCH" >&2
  exit 2
fi

"$1" --benchmark_format=json --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=false \
  --benchmark_min_time="$min_time" --benchmark_filter="$filter" 2>/dev/null |
  awk -v limit="$limit" '
    # The JSON report holds one field a line; a run ends at its closing brace.
    function text(line) {
      sub(/^[^:]*: "/, "", line)
      sub(/",?$/, "", line)
      return line
    }
    function number(line) {
      sub(/^[^:]*: /, "", line)
      sub(/,$/, "", line)
      return line + 0
    }
    /^      "name": / { name = text($0); aggregate = 0; failed = 0 }
    /^      "run_type": "aggregate"/ { aggregate = 1 }
    /^      "cpu_time": / { time = number($0) }
    /^      "time_unit": / { unit = text($0) }
    /^      "error_occurred": true/ { failed = 1 }
    /^      "error_message": / { message = text($0) }
    /^    }/ {
      if (name == "" || aggregate) { name = ""; next }
      if (failed) errors[name] = message
      else {
        time *= unit == "us" ? 1e3 : unit == "ms" ? 1e6 : unit == "s" ? 1e9 : 1
        if (!(name in best)) order[++count] = name
        if (!(name in best) || time < best[name]) best[name] = time
      }
      name = ""
    }
    function floorOf(name, kind,    cut) {
      cut = match(name, /[\/<]/)
      return cut ? substr(name, 1, cut - 1) kind substr(name, cut) : name kind
    }
    END {
      status = 0
      for (name in errors) {
        printf "error: %s: %s\n", name, errors[name]
        status = 1
      }
      for (i = 2; i <= count; ++i)
        for (j = i; j > 1 && order[j - 1] > order[j]; --j) {
          swap = order[j]; order[j] = order[j - 1]; order[j - 1] = swap
        }
      printf "%-56s %12s %12s %7s %9s\n", "path", "ns", "floor ns", "ratio", "physical"
      for (i = 1; i <= count; ++i) {
        name = order[i]
        if (name ~ /_(Physical)?Floor([\/<]|$)/) continue
        floor = floorOf(name, "_Floor")
        physical = floorOf(name, "_PhysicalFloor")
        if (!(floor in best)) {
          printf "%-56s %12.1f %12s\n", name, best[name], "no floor"
          continue
        }
        ratio = best[name] / best[floor]
        physicalText = physical in best ? sprintf("%8.2fx", best[name] / best[physical]) : ""
        over = limit > 0 && ratio > limit
        if (over) status = 1
        printf "%-56s %12.1f %12.1f %6.2fx %9s%s\n", name, best[name], best[floor], ratio,
               physicalText, over ? "  over" : ""
      }
      exit status
    }'
