// Times the benchmark pivots on DuckDB in their best form (pivotsql.mjs).
// Prints one JSON line.
//
//     node pivot.mjs FOLDER [RUNS]     timings (SKIP_DISTINCT=1: not the distinct pivot's)
//     node pivot.mjs FOLDER memory     peak memory of open + years pivot, in a fresh process
//
// FOLDER holds facts.csv (from makebenchcube). The facts are loaded once into
// the DuckDB database FOLDER/facts.duckdb with the small dimension tables
// (not timed: the counterpart of building the cube file), with 32-bit
// integer codes and double values like the cube's. Then, with 2 threads and
// perfect_ht_threshold raised, for each pivot:
//   openAndQuerySeconds  a fresh instance opens the database and runs the
//                        pivot (the operating system's page cache is warm;
//                        median of 3)
//   querySeconds         the same pivot again on that instance, data cached
//                        (best of RUNS; medianSeconds their median)
// with the CPU seconds of the process (all DuckDB threads) and the machine's
// load average over the last minute when each was measured.
import { DuckDBInstance } from '@duckdb/node-api';
import { existsSync, readFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';
import { bestPivot, checkSql, dimensionTablesSql, distinctPivot } from './pivotsql.mjs';

const [folder, runsText] = process.argv.slice(2);
if (!folder) {
  console.error('usage: node pivot.mjs FOLDER [RUNS|memory]');
  process.exit(2);
}
const csv = join(folder, 'facts.csv');
const database = join(folder, 'facts.duckdb');
const options = { threads: '2' };
// Leaf groupings of up to 2^24 distinct key combinations (customer and
// month: 23 bits) use DuckDB's perfect hash aggregate.
const settings = 'SET perfect_ht_threshold = 24;';

const codes = ['year', 'quarter', 'month', 'category', 'subcategory', 'item', 'country', 'region', 'shop', 'city',
  'customer'];
const columnTypes = Object.fromEntries([...codes.map((c) => [c, 'INTEGER']),
  ['units', 'DOUBLE'], ['amount', 'DOUBLE'], ['price', 'DOUBLE'], ['shopper', 'INTEGER']]);

async function load() {
  const instance = await DuckDBInstance.create(database, options);
  const connection = await instance.connect();
  const types = JSON.stringify(columnTypes).replaceAll('"', "'");
  await connection.run(`CREATE TABLE facts AS SELECT * FROM read_csv('${csv}', header = true, columns = ${types})`);
  await connection.run(dimensionTablesSql);
  connection.closeSync();
  instance.closeSync();
}

function seconds(start) {
  return Number(process.hrtime.bigint() - start) / 1e9;
}

// CPU seconds of this process (every DuckDB thread) since `start`, a
// process.cpuUsage() reading.
function cpuSeconds(start) {
  const used = process.cpuUsage(start);
  return (used.user + used.system) / 1e6;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function connect() {
  const instance = await DuckDBInstance.create(database, options);
  const connection = await instance.connect();
  await connection.run(settings);
  return { instance, connection };
}

// Three fresh opens; medians.
async function openAndQuery(pivot) {
  const times = [], cpu = [];
  for (let i = 0; i < 3; ++i) {
    const start = process.hrtime.bigint(), startCpu = process.cpuUsage();
    const { instance, connection } = await connect();
    await connection.run(pivot);
    times.push(seconds(start));
    cpu.push(cpuSeconds(startCpu));
    connection.closeSync();
    instance.closeSync();
  }
  return { openAndQuerySeconds: median(times), openAndQueryCpuSeconds: median(cpu), openAndQueryLoad: loadavg()[0] };
}

async function repeatedQuery(pivot, name, runs) {
  const { instance, connection } = await connect();
  const times = [], cpu = [];
  for (let i = 0; i <= runs; ++i) {
    const start = process.hrtime.bigint(), startCpu = process.cpuUsage();
    await connection.run(pivot);
    if (i > 0) {  // the first run brings the data into DuckDB's buffers
      times.push(seconds(start));
      cpu.push(cpuSeconds(startCpu));
    }
  }
  const load = loadavg()[0];
  const [check] = (await connection.runAndReadAll(checkSql(name))).getRowObjectsJS();
  connection.closeSync();
  instance.closeSync();
  return { querySeconds: Math.min(...times), medianSeconds: median(times), medianCpuSeconds: median(cpu),
    queryLoad: load, grandUnits: check.grand_units, grandPrice: check.grand_price, cells: Number(check.cells) };
}

// The distinct pivot's grand total of shoppers, left in pivot_cells by the last run.
async function grandShoppers() {
  const { instance, connection } = await connect();
  await connection.run(distinctPivot());
  const [row] = (await connection.runAndReadAll(
    'SELECT shoppers FROM pivot_cells WHERE category IS NULL AND year IS NULL')).getRowObjectsJS();
  connection.closeSync();
  instance.closeSync();
  return Number(row.shoppers);
}

// The process's high-water mark of resident memory, node's own included.
function peakResidentBytes() {
  const line = readFileSync('/proc/self/status', 'utf8').split('\n').find((l) => l.startsWith('VmHWM:'));
  return Number(line.split(/\s+/)[1]) * 1024;
}

async function main() {
  let loadSeconds = null;
  if (!existsSync(database)) {
    const start = process.hrtime.bigint();
    await load();
    loadSeconds = seconds(start);
  }
  if (runsText === 'memory') {
    const { instance, connection } = await connect();
    await connection.run(bestPivot('years'));
    console.log(JSON.stringify({ peakBytes: peakResidentBytes() }));
    connection.closeSync();
    instance.closeSync();
    return;
  }
  const runs = Number(runsText ?? 5);
  const result = { engine: `DuckDB ${duckdbVersion()}`, loadSeconds };
  for (const name of ['years', 'customers'])
    result[name] = { ...(await openAndQuery(bestPivot(name))), ...(await repeatedQuery(bestPivot(name), name, runs)) };
  // The distinct pivot takes seconds a run: three runs (none with SKIP_DISTINCT=1).
  if (process.env.SKIP_DISTINCT !== '1') {
    result.distinct = await repeatedQuery(distinctPivot(), 'years', Math.min(runs, 3));
    result.distinct.grandShoppers = await grandShoppers();
  }
  console.log(JSON.stringify(result));
}

function duckdbVersion() {
  return JSON.parse(readFileSync(new URL('./node_modules/@duckdb/node-api/package.json', import.meta.url))).version;
}

await main();
