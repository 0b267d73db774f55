#!/usr/bin/env bash
# Compares our es with find and fd (fdfind) on the generated tree of 1,000,000 files in
# 100,000 folders, warm cache, side by side in one hyperfine run per query, and measures the
# peak memory of each command with /usr/bin/time -v.
#
#   bench/run_bench.sh [TREE] [ES]
#     TREE  where the tree is made (default /tmp/es-bench/tree; never inside the repository)
#     ES    the native es to measure (default build/native/engine/es)
# Needs: hyperfine, fd-find, findutils, python3, /usr/bin/time. Results go to bench-results/
# beside TREE (markdown tables and the raw JSON of hyperfine).
#
# On a machine shared with other work, every measured command runs at a raised priority
# (PRIO, default -15; needs root, else the normal priority is kept), the same for all three tools,
# so that builds running beside the benchmark do not decide the wall times.
set -euo pipefail

# The walks are measured: a search must not start an index service that answers the next ones.
export ES_NO_INDEX=1

PRIO=${PRIO:--15}
if renice -n "$PRIO" -p $$ >/dev/null 2>&1; then
  echo "running at priority $PRIO"
else
  echo "running at normal priority"
fi

REPO=$(cd "$(dirname "$0")/.." && pwd)
TREE=${1:-/tmp/es-bench/tree}
ES=${2:-$REPO/build/native/engine/es}
RUNS=${RUNS:-10}
OUT=$(dirname "$TREE")/bench-results
mkdir -p "$OUT"

for tool in hyperfine fdfind find python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$ES" ] || { echo "es not built: $ES (make native)" >&2; exit 1; }

# The tree needs about 1.1 million inodes.
mkdir -p "$(dirname "$TREE")"
free_inodes=$(df --output=iavail "$(dirname "$TREE")" | tail -1 | tr -d ' ')
if [ ! -e "$TREE/.complete" ] && [ "$free_inodes" -lt 1200000 ]; then
  echo "not enough free inodes under $(dirname "$TREE"): $free_inodes" >&2
  exit 1
fi
python3 "$REPO/bench/make_tree.py" "$TREE"

# Warm the cache: every folder read once by each tool.
"$ES" -path "$TREE" -n 0 >/dev/null
find "$TREE" >/dev/null
fdfind -HI . "$TREE" >/dev/null

T=$TREE
declare -a NAMES ES_CMDS FIND_CMDS FD_CMDS
NAMES+=("name search: report")
ES_CMDS+=("$ES -path $T report")
FIND_CMDS+=("find $T -iname '*report*'")
FD_CMDS+=("fdfind -HI -i -F report $T")

NAMES+=("ext: search: mp3, flac, wav")
ES_CMDS+=("$ES -path $T 'ext:mp3;flac;wav'")
FIND_CMDS+=("find $T -type f \( -iname '*.mp3' -o -iname '*.flac' -o -iname '*.wav' \)")
FD_CMDS+=("fdfind -HI -t f -e mp3 -e flac -e wav . $T")

NAMES+=("path-excluding search: report, not under archive/")
ES_CMDS+=("$ES -path $T '!$T/archive/' report")
FIND_CMDS+=("find $T -path $T/archive -prune -o -iname '*report*' -print")
FD_CMDS+=("fdfind -HI -i -F -E /archive report $T")

summary=$OUT/summary.md
{
  echo "| query | tool | wall mean ± σ (s) | wall min (s) | CPU user+sys (s) | rows | peak RSS (MB) |"
  echo "|---|---|---|---|---|---|---|"
} >"$summary"

for i in "${!NAMES[@]}"; do
  json=$OUT/query$i.json
  hyperfine --warmup 2 --runs "$RUNS" --export-json "$json" --export-markdown "$OUT/query$i.md" \
    -n es "${ES_CMDS[$i]}" -n find "${FIND_CMDS[$i]}" -n fd "${FD_CMDS[$i]}"
  for tool in es find fd; do
    case $tool in
      es) cmd=${ES_CMDS[$i]} ;;
      find) cmd=${FIND_CMDS[$i]} ;;
      fd) cmd=${FD_CMDS[$i]} ;;
    esac
    rows=$(bash -c "$cmd" | wc -l)
    rss=$( { /usr/bin/time -v bash -c "exec $cmd >/dev/null" ; } 2>&1 | awk -F: '/Maximum resident/ {print $2}')
    python3 - "$json" "$tool" "${NAMES[$i]}" "$rows" "$rss" >>"$summary" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
r = next(x for x in data["results"] if x["command"] == sys.argv[2])
print("| %s | %s | %.3f ± %.3f | %.3f | %.3f | %s | %.1f |" % (sys.argv[3], sys.argv[2], r["mean"], r["stddev"],
      r["min"], r["user"] + r["system"], sys.argv[4], int(sys.argv[5]) / 1024))
PY
  done
done

# Lumiseek's own kind of call: exclusions, columns, newest first, 500 rows, CSV export.
csv=$OUT/results.txt
lumiseek="$ES -path $T !$T/archive/ !$T/temp/ -size -size-format 2 -dm /a-d -sort dm -n 500 -export-csv $csv report"
hyperfine --warmup 2 --runs "$RUNS" --export-json "$OUT/lumiseek.json" -n es-lumiseek "$lumiseek"
rss=$( { /usr/bin/time -v $lumiseek ; } 2>&1 | awk -F: '/Maximum resident/ {print $2}')
python3 - "$OUT/lumiseek.json" "$(($(wc -l <"$csv") - 1))" "$rss" >>"$summary" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print("| Lumiseek file search: report, 2 exclusions, -sort dm -n 500, CSV | es | %.3f ± %.3f | %.3f | %.3f | %s | %.1f |"
      % (r["mean"], r["stddev"], r["min"], r["user"] + r["system"], sys.argv[2], int(sys.argv[3]) / 1024))
PY

echo
cat "$summary"
