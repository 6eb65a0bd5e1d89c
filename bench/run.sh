#!/usr/bin/env bash
# Runs the query engine's benchmarks and the same pivot on DuckDB and on the
# sqlite3 command line, then prints a table of timings and ratios.
#
#     bench/run.sh [FOLDER]          (default /tmp/pivot-bench)
#
# The data is made once into FOLDER (about 1.5 GB with the peers' copies) and
# reused: bench.cub and facts.csv (makebenchcube), facts.duckdb (DuckDB's
# copy), facts.sqlite (SQLite's copy). The build goes to FOLDER/build unless
# BUILD_DIR names another. Needs cmake, ninja, node with npm, and sqlite3.
# SQLITE=0 skips SQLite, whose run takes minutes.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
data=${1:-/tmp/pivot-bench}
build=${BUILD_DIR:-$data/build}
mkdir -p "$data"

echo "== Building the benchmarks in $build"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target makebenchcube querybench querymemory >/dev/null

if [[ ! -f $data/bench.cub || ! -f $data/facts.csv ]]; then
    echo "== Making the benchmark cube and CSV"
    "$build/bench/makebenchcube" "$data"
fi

if [[ ! -d $here/duckdb/node_modules ]]; then
    echo "== Installing DuckDB for node"
    (cd "$here/duckdb" && npm ci --no-audit --no-fund >/dev/null)
fi

if [[ ${SQLITE:-1} != 0 && ! -f $data/facts.sqlite ]]; then
    echo "== Loading the CSV into SQLite"
    rm -f "$data/facts.sqlite.part"
    sqlite3 "$data/facts.sqlite.part" <<SQL
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
CREATE TABLE facts (year INTEGER, quarter INTEGER, month INTEGER, category INTEGER, subcategory INTEGER,
                    item INTEGER, country INTEGER, region INTEGER, shop INTEGER, city INTEGER, customer INTEGER,
                    units REAL, amount REAL, price REAL);
.import --csv --skip 1 $data/facts.csv facts
UPDATE facts SET price = NULL WHERE price = '';
SQL
    mv "$data/facts.sqlite.part" "$data/facts.sqlite"
fi

echo "== Warming the page cache"
cat "$data/bench.cub" > /dev/null
[[ -f $data/facts.duckdb ]] && cat "$data/facts.duckdb" > /dev/null

echo "== Our engine"
"$build/bench/querybench" --data="$data" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$data/querybench.json" --benchmark_out_format=json
"$build/bench/querymemory" "$data" > "$data/memory.json"

echo "== DuckDB"
node "$here/duckdb/pivot.mjs" "$data" 5 > "$data/duckdb.json"

if [[ ${SQLITE:-1} != 0 ]]; then
    echo "== SQLite"
    cat "$data/facts.sqlite" > /dev/null
    output=$( { echo "PRAGMA temp_store = MEMORY;"; echo "PRAGMA threads = 2;"; echo ".timer on"
                node "$here/duckdb/pivotsql.mjs" sqlite; echo ".timer off"
                node "$here/duckdb/pivotsql.mjs" check; } | sqlite3 "$data/facts.sqlite")
    # "Run Time: real R user U sys S" per statement; only the pivot is timed.
    read -r seconds cpu < <(grep '^Run Time' <<<"$output" | awk '{r += $4; c += $6 + $8} END {print r, c}')
    IFS='|' read -r units price cells < <(grep -v '^Run Time' <<<"$output" | tail -1)
    printf '{"engine": "SQLite %s", "querySeconds": %s, "cpuSeconds": %s, "grandUnits": %s, "grandPrice": %s, "cells": %s}\n' \
        "$(sqlite3 --version | cut -d' ' -f1)" "$seconds" "$cpu" "$units" "$price" "$cells" > "$data/sqlite.json"
else
    rm -f "$data/sqlite.json"
fi

node "$here/duckdb/report.mjs" "$data"
