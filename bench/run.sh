#!/usr/bin/env bash
# Runs the query engine's benchmarks and the same pivots on DuckDB (in the
# form an expert gives them: bench/duckdb/pivotsql.mjs), optionally on the
# sqlite3 command line, then prints a table of timings and ratios, each
# figure beside the machine's load average when it was taken.
#
#     bench/run.sh [FOLDER [FACTS]]   one data set (default /tmp/pivot-bench, 10,000,000 facts)
#     bench/run.sh --sizes            1M, 10M and 100M facts (/tmp/pivot-bench-1m,
#                                     /tmp/pivot-bench, /tmp/pivot-bench-100m), then one table
#
# The data is made once into FOLDER and reused: bench.cub and facts.csv
# (makebenchcube), facts.duckdb (DuckDB's copy), facts.sqlite (SQLite's copy,
# only with SQLITE=1: its run takes minutes). 100M facts take about 20 GB of
# disk with the peers' copies and 8 GB of memory to make. The build goes to
# FOLDER/build unless BUILD_DIR names another (of type BUILD_TYPE, Release
# unless named). DuckDB's distinct-count pivot runs above 10M facts only with
# DISTINCT=1 (at 100M it takes minutes and 20 GB). Needs cmake, ninja, node
# with npm, and sqlite3 for SQLITE=1.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")

if [[ ${1:-} == --sizes ]]; then
    folders=(/tmp/pivot-bench-1m /tmp/pivot-bench /tmp/pivot-bench-100m)
    counts=(1000000 10000000 100000000)
    for i in "${!folders[@]}"; do
        BUILD_DIR=${BUILD_DIR:-${folders[0]}/build} "$0" "${folders[$i]}" "${counts[$i]}"
    done
    node "$here/duckdb/report.mjs" --sizes "${folders[@]}"
    exit 0
fi

data=${1:-/tmp/pivot-bench}
facts=${2:-10000000}
build=${BUILD_DIR:-$data/build}
mkdir -p "$data"
load() { cut -d' ' -f1 /proc/loadavg; }

echo "== Building the benchmarks in $build"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "${launcher[@]}" >/dev/null
cmake --build "$build" --target makebenchcube querybench querymemory >/dev/null

# Data made before the shopper column (the distinct count's) is made again,
# and so is a cube of an earlier format (no stamp file: before the facts
# were stored in the order of the shoppers' ids, or before compact
# measures): the same facts, so DuckDB's copy stays.
stamp=$data/cube-format-3
if [[ ! -f $data/bench.cub || ! -f $data/facts.csv ]] || ! head -1 "$data/facts.csv" | grep -q shopper; then
    echo "== Making the benchmark cube and CSV ($facts facts)"
    rm -f "$data/facts.duckdb" "$data/facts.sqlite"
    "$build/bench/makebenchcube" "$data" "$facts"
    touch "$stamp"
elif [[ ! -f $stamp ]]; then
    echo "== Making the benchmark cube again in the current format ($facts facts)"
    "$build/bench/makebenchcube" "$data" "$facts"
    touch "$stamp"
fi

if [[ ! -d $here/duckdb/node_modules ]]; then
    echo "== Installing DuckDB for node"
    (cd "$here/duckdb" && npm ci --no-audit --no-fund >/dev/null)
fi

if [[ ${SQLITE:-0} != 0 && ! -f $data/facts.sqlite ]]; then
    echo "== Loading the CSV into SQLite"
    rm -f "$data/facts.sqlite.part"
    sqlite3 "$data/facts.sqlite.part" <<SQL
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
CREATE TABLE facts (year INTEGER, quarter INTEGER, month INTEGER, category INTEGER, subcategory INTEGER,
                    item INTEGER, country INTEGER, region INTEGER, shop INTEGER, city INTEGER, customer INTEGER,
                    units REAL, amount REAL, price REAL, shopper INTEGER);
.import --csv --skip 1 $data/facts.csv facts
UPDATE facts SET price = NULL WHERE price = '';
SQL
    mv "$data/facts.sqlite.part" "$data/facts.sqlite"
fi

echo "== Warming the page cache"
cat "$data/bench.cub" > /dev/null
[[ -f $data/facts.duckdb ]] && cat "$data/facts.duckdb" > /dev/null

echo "== Our engine (load $(load))"
"$build/bench/querybench" --data="$data" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$data/querybench.json" --benchmark_out_format=json
"$build/bench/querymemory" "$data" > "$data/memory.json"
"$build/bench/querymemory" "$data" distinct > "$data/memory-distinct.json"

echo "== DuckDB (load $(load))"
# DuckDB's COUNT(DISTINCT) pivot on 100M facts takes over 7 minutes and
# 20 GB of memory a run: above 10M facts it runs only with DISTINCT=1.
skip=0
if (( facts > 10000000 )) && [[ ${DISTINCT:-0} != 1 ]]; then skip=1; fi
SKIP_DISTINCT=$skip node "$here/duckdb/pivot.mjs" "$data" 5 > "$data/duckdb.json"
node "$here/duckdb/pivot.mjs" "$data" memory > "$data/duckdb-memory.json"

if [[ ${SQLITE:-0} != 0 ]]; then
    echo "== SQLite (load $(load))"
    cat "$data/facts.sqlite" > /dev/null
    output=$( { echo "PRAGMA temp_store = MEMORY;"; echo "PRAGMA threads = 2;"; echo ".timer on"
                node "$here/duckdb/pivotsql.mjs" sqlite; echo ".timer off"
                node "$here/duckdb/pivotsql.mjs" check; } | sqlite3 "$data/facts.sqlite")
    # "Run Time: real R user U sys S" per statement; only the pivot is timed.
    read -r seconds cpu < <(grep '^Run Time' <<<"$output" | awk '{r += $4; c += $6 + $8} END {print r, c}')
    IFS='|' read -r units price cells < <(grep -v '^Run Time' <<<"$output" | tail -1)
    printf '{"engine": "SQLite %s", "querySeconds": %s, "cpuSeconds": %s, "load": %s, "grandUnits": %s, "grandPrice": %s, "cells": %s}\n' \
        "$(sqlite3 --version | cut -d' ' -f1)" "$seconds" "$cpu" "$(load)" "$units" "$price" "$cells" > "$data/sqlite.json"
else
    rm -f "$data/sqlite.json"
fi

node "$here/duckdb/report.mjs" "$data" | tee "$data/report.txt"
