#!/bin/sh
# Measures whole runs of KesOrvCleanup.exe under Wine against two floors,
# programs built the same way: an empty one, and the physical floor of a
# registry tool, which loads advapi32.dll and opens one key; and against
# `reg delete`, side by side in one run. Then counts the instructions of
# the tool's own work on the build machine. Prints the figures and writes
# them to build/bench/results.md.
#   bench/run.sh [ROUNDS [RUNS]]   (ROUNDS of RUNS runs per command; 40 of 2)
#
# The commands take turns, a round of hyperfine runs each, and the figures
# pool every round: this machine's start-up times drift by more than the
# differences being measured (5 % between the tool and the physical floor),
# and short turns spread the drift evenly over the commands.
set -eu
cd "$(dirname "$0")/.."
# shellcheck source=tests/support/tool-paths.sh
. tests/support/tool-paths.sh
scripts/install-deps.sh
for tool in hyperfine valgrind; do
  command -v $tool >/dev/null || missing="${missing:-} $tool"
done
[ -x /usr/bin/time ] || missing="${missing:-} time"
if [ -n "${missing:-}" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  # shellcheck disable=SC2086 # one word a package
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
fi

# Times under emulation would measure qemu, not the tool.
mode=$(env -u KESORV_WINE_MODE KESORV_WINE_EMULATE=0 tests/wine-runner/wine-mode.sh 2>/dev/null) ||
  true
if [ "${mode%% *}" != native ]; then
  echo "bench/run.sh: this machine cannot start 32-bit x86 programs natively, and the" \
    "benchmark measures nothing else; run it on a kernel that can" >&2
  exit 1
fi
export KESORV_WINE_MODE=native

rounds=${1:-40}
runs=${2:-2}
out=build/bench
mkdir -p $out

echo "== Building"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target KesOrvCleanup kesorv_bench_empty \
  kesorv_bench_registry_floor >/dev/null
cmake -S . -B $out/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESORV_BUILD_TESTS=OFF >/dev/null
cmake --build $out/host --target kesorv_callgrind_driver >/dev/null

prefix=$PWD/$out/wineprefix
tests/wine-runner/make-prefix.sh "$prefix"
tests/wine-runner/wineserver.sh "$prefix" start
trap 'tests/wine-runner/wineserver.sh "$prefix" stop' EXIT
mkdir -p "$prefix/drive_c/bench" "$prefix/drive_c/${LOG_FOLDER#C:\\}"
cp build/win32/KesOrvCleanup.exe build/win32/bench/kesorv_bench_empty.exe \
  build/win32/bench/kesorv_bench_registry_floor.exe "$prefix/drive_c/bench/"
in_wine() { tests/wine-runner/wine-env.sh "$prefix" "$@"; }

# Commands are split into words as a shell would (quotes are honoured), but
# run without a shell, and through Wine's loader itself (wine-env.sh puts it
# first on PATH) rather than Debian's `wine` script, so that a run costs
# what starting the program costs.
tool="'C:\\bench\\KesOrvCleanup.exe'"
empty="'C:\\bench\\kesorv_bench_empty.exe'"
registry_floor="'C:\\bench\\kesorv_bench_registry_floor.exe'"
run_key="'HKLM\\$RUN_KEY'"
product_key="'HKLM\\$PRODUCT_KEY'"
seed_run="wine reg add $run_key /v BenchValue /t REG_SZ /d x /f /reg:32"
seed_product="wine reg add $product_key /v UninstallString /t REG_SZ /d $empty /f /reg:32"
clear_product="wine reg add $product_key /v UninstallString /t REG_SZ /d '' /f /reg:32"

# key | name shown | prepare before each run | command. report.py finds
# rows by their key.
cat >$out/commands.txt <<LIST
empty|floor: empty program|true|wine $empty
physical|physical floor: advapi32.dll, one key opened|true|wine $registry_floor
removal|\`KesOrvCleanup.exe BenchValue x\` (removal)|$seed_run|wine $tool BenchValue x
uninstall_nothing|\`KesOrvCleanup.exe\`, nothing to launch|$clear_product|wine $tool
uninstall_launch|\`KesOrvCleanup.exe\`, launching an empty program|$seed_product|wine $tool
log_line|\`KesOrvCleanup.exe "" x\` (writes a log line)|true|wine $tool '' x
reg_delete|\`reg delete ... /v BenchValue /reg:32\`|$seed_run|wine reg delete $run_key /v BenchValue /f /reg:32
LIST

echo "== Timing, $rounds rounds of $runs runs of each"
set --
while IFS='|' read -r key _ prepare command; do
  set -- "$@" --command-name "$key" --prepare "$prepare" "$command"
done <$out/commands.txt
rm -f $out/hyperfine-*.json
round=1
while [ $round -le "$rounds" ]; do
  in_wine hyperfine --shell=none --warmup 1 --runs "$runs" --style none \
    --export-json "$PWD/$out/hyperfine-$round.json" "$@" >/dev/null
  round=$((round + 1))
done

echo "== Peak memory, 10 runs of each"
: >$out/memory.txt
while IFS='|' read -r key _ prepare command; do
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    in_wine sh -c "$prepare" >/dev/null 2>&1 || true
    in_wine sh -c "/usr/bin/time -f '$key|%M' $command" 2>>$out/memory.txt >/dev/null || true
  done
done <$out/commands.txt

echo "== Instructions of the tool's own work (host build, emulated registry)"
: >$out/callgrind.txt
for mode in removal uninstall; do
  valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    --toggle-collect='Kestrova_Orvane::ProgramMain*' \
    $out/host/bench/kesorv_callgrind_driver $mode 2>&1 |
    sed -n "s/.*Collected : \([0-9]*\).*/$mode|\1/p" >>$out/callgrind.txt
done

/usr/bin/python3 bench/report.py $out "$((rounds * runs))" | tee $out/results.md
