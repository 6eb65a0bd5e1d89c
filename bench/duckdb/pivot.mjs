// Times the benchmark pivot on DuckDB. Prints one JSON line.
//
//     node pivot.mjs FOLDER [RUNS]
//
// FOLDER holds facts.csv (from makebenchcube). The facts are loaded once into
// the DuckDB database FOLDER/facts.duckdb (not timed: the counterpart of
// building the cube file), with 32-bit integer codes and double values like
// the cube's. Then, with 2 threads, for each way of writing the pivot
// (pivotsql.mjs):
//   openAndQuerySeconds  a fresh instance opens the database and runs the
//                        pivot (the operating system's page cache is warm;
//                        median of 3)
//   querySeconds         the same pivot again on that instance, data cached
//                        (best of RUNS; medianSeconds their median)
// and the CPU seconds of the process (all DuckDB threads) for each.
import { DuckDBInstance } from '@duckdb/node-api';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { checkSql, groupingSetsPivot, twoStepPivot } from './pivotsql.mjs';

const [folder, runsText] = process.argv.slice(2);
if (!folder) {
  console.error('usage: node pivot.mjs FOLDER [RUNS]');
  process.exit(2);
}
const runs = Number(runsText ?? 5);
const csv = join(folder, 'facts.csv');
const database = join(folder, 'facts.duckdb');
const options = { threads: '2' };

const codes = ['year', 'quarter', 'month', 'category', 'subcategory', 'item', 'country', 'region', 'shop', 'city',
  'customer'];
const columnTypes = Object.fromEntries([...codes.map((c) => [c, 'INTEGER']),
  ['units', 'DOUBLE'], ['amount', 'DOUBLE'], ['price', 'DOUBLE']]);

async function load() {
  const instance = await DuckDBInstance.create(database, options);
  const connection = await instance.connect();
  const types = JSON.stringify(columnTypes).replaceAll('"', "'");
  await connection.run(`CREATE TABLE facts AS SELECT * FROM read_csv('${csv}', header = true, columns = ${types})`);
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

// Three fresh opens; medians.
async function openAndQuery(pivot) {
  const times = [], cpu = [];
  for (let i = 0; i < 3; ++i) {
    const start = process.hrtime.bigint(), startCpu = process.cpuUsage();
    const instance = await DuckDBInstance.create(database, options);
    const connection = await instance.connect();
    await connection.run(pivot);
    times.push(seconds(start));
    cpu.push(cpuSeconds(startCpu));
    connection.closeSync();
    instance.closeSync();
  }
  return { openAndQuerySeconds: median(times), openAndQueryCpuSeconds: median(cpu) };
}

async function repeatedQuery(pivot) {
  const instance = await DuckDBInstance.create(database, options);
  const connection = await instance.connect();
  const times = [], cpu = [];
  for (let i = 0; i <= runs; ++i) {
    const start = process.hrtime.bigint(), startCpu = process.cpuUsage();
    await connection.run(pivot);
    if (i > 0) {  // the first run brings the data into DuckDB's buffers
      times.push(seconds(start));
      cpu.push(cpuSeconds(startCpu));
    }
  }
  const [check] = (await connection.runAndReadAll(checkSql)).getRowObjectsJS();
  connection.closeSync();
  instance.closeSync();
  return { querySeconds: Math.min(...times), medianSeconds: median(times), medianCpuSeconds: median(cpu),
    grandUnits: check.grand_units, grandPrice: check.grand_price, cells: Number(check.cells) };
}

async function main() {
  let loadSeconds = null;
  if (!existsSync(database)) {
    const start = process.hrtime.bigint();
    await load();
    loadSeconds = seconds(start);
  }
  const version = duckdbVersion();
  const result = { engine: `DuckDB ${version}`, loadSeconds };
  for (const [name, pivot] of [['groupingSets', groupingSetsPivot()], ['twoSteps', twoStepPivot()]])
    result[name] = { ...(await openAndQuery(pivot)), ...(await repeatedQuery(pivot)) };
  console.log(JSON.stringify(result));
}

function duckdbVersion() {
  return JSON.parse(readFileSync(new URL('./node_modules/@duckdb/node-api/package.json', import.meta.url))).version;
}

await main();
