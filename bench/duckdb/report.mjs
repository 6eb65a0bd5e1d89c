// Prints the tables of bench/run.sh from the results it left in FOLDER:
// querybench.json (Google Benchmark), memory.json, duckdb.json,
// duckdb-memory.json, sqlite.json.
//
//     node report.mjs FOLDER                 one data set, every figure
//     node report.mjs --sizes FOLDER...      one line per data set
//
// Wall-clock time is what a user waits; CPU time adds up every thread of the
// engine's process and is much less disturbed by other work on the machine,
// whose load average (last minute) is printed beside each figure. Ratios say
// how many times longer the peer takes than our engine in the same
// situation: data in memory (cached), or opened from the file (warm page
// cache).
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';

function readAll(folder) {
  const read = (name) => (existsSync(join(folder, name)) ? JSON.parse(readFileSync(join(folder, name), 'utf8')) : null);
  return { ours: read('querybench.json'), memory: read('memory.json'), distinctMemory: read('memory-distinct.json'),
    duckdb: read('duckdb.json'),
    duckdbMemory: read('duckdb-memory.json'), sqlite: read('sqlite.json') };
}

// Wall and CPU seconds, counters and load of one of our benchmarks (its name
// up to the options Google Benchmark appends): medians of its repetitions.
function oursRun(ours, name) {
  const run = ours.benchmarks.find((b) => b.run_name.split('/').slice(0, name.split('/').length).join('/') === name
    && b.aggregate_name === 'median');
  if (!run) throw new Error(`no benchmark ${name}`);
  const scale = { ns: 1e-9, us: 1e-6, ms: 1e-3, s: 1 }[run.time_unit];
  return { wall: run.real_time * scale, cpu: run.cpu_time * scale, load: run.load, facts: run.facts,
    bytesPerSecond: run.bytes_per_second };
}

const ms = (s) => (s === undefined ? '' : `${(s * 1000).toFixed(s < 0.1 ? 1 : 0)} ms`);
const ratio = (s, base) => `${(s / base).toFixed(1)}x`;
const gb = (bytes) => `${(bytes / 1e9).toFixed(1)} GB/s`;
const mb = (bytes) => `${(bytes / 1e6).toFixed(0)} MB`;

function ourFigures(ours) {
  const names = { bandwidth1: 'Bandwidth/threads:1', bandwidth2: 'Bandwidth/threads:2', open: 'Open',
    years1: 'Pivot/Years/threads:1', years2: 'Pivot/Years/threads:2',
    distinct1: 'Pivot/YearsDistinct/threads:1', distinct2: 'Pivot/YearsDistinct/threads:2', months: 'Pivot/Months/threads:2',
    customers1: 'Pivot/Customers/threads:1', customers2: 'Pivot/Customers/threads:2', fromFile: 'PivotFromFile' };
  return Object.fromEntries(Object.entries(names).map(([key, name]) => [key, oursRun(ours, name)]));
}

function printTable(rows, header) {
  const widths = [0, 1, 2, 3, 4].map((i) => Math.max(...rows.filter((r) => r.length > 1).map((r) => (r[i] ?? '').length)));
  console.log(header(widths));
  for (const row of rows) {
    if (row.length === 1) console.log(row[0]);
    else console.log(row.map((cell, i) => (i === 0 ? cell.padEnd(widths[0]) : (cell ?? '').padStart(widths[i]))).join('  '));
  }
}

function reportOne(folder) {
  const { ours, memory, distinctMemory, duckdb, duckdbMemory, sqlite } = readAll(folder);
  const o = ourFigures(ours);
  const rows = [];
  const line = (what, t, base, baseCpu) => rows.push([`  ${what}`, ms(t.wall), ms(t.cpu),
    base ? `${ratio(t.wall, base.wall)} / ${ratio(t.cpu, (baseCpu ?? base).cpu)}` : '', `load ${t.load.toFixed(1)}`]);
  rows.push(['Our engine']);
  rows.push([`  memory bandwidth, 1 / 2 threads: ${gb(o.bandwidth1.bytesPerSecond)} / ${gb(o.bandwidth2.bytesPerSecond)}`]);
  line('open the cube (metadata only)', o.open);
  line('years pivot, in memory, 2 threads', o.years2);
  line('years pivot, in memory, 1 thread', o.years1, o.years2);
  line('years pivot + distinct count of shoppers, 2 threads (ratio: over the years pivot)', o.distinct2, o.years2);
  line('years pivot + distinct count, 1 thread (ratio: over the years pivot)', o.distinct1, o.years1);
  line('months pivot (288,000 deepest cells), 2 threads', o.months);
  line('customers pivot (1,200,000 deepest cells), 2 threads', o.customers2);
  line('customers pivot, 1 thread', o.customers1, o.customers2);
  line('years pivot: open + read its columns + pivot', o.fromFile);
  const scan = o.years2.bytesPerSecond;
  rows.push([`  years pivot's scan, 2 threads: ${gb(scan)} of fact columns, ${(100 * scan / o.bandwidth2.bytesPerSecond).toFixed(0)}% of the 2-thread bandwidth`]);
  if (duckdb) {
    rows.push([`${duckdb.engine}, 2 threads, best form (ratios: DuckDB's time over ours, wall / CPU)`]);
    for (const [name, cached, opened] of [['years', o.years2, o.fromFile], ['customers', o.customers2, null]]) {
      const r = duckdb[name];
      line(`${name} pivot, data cached (best run)`, { wall: r.querySeconds, cpu: r.medianCpuSeconds, load: r.queryLoad }, cached);
      line(`${name} pivot, data cached (median)`, { wall: r.medianSeconds, cpu: r.medianCpuSeconds, load: r.queryLoad }, cached);
      line(`${name} pivot, open + query`, { wall: r.openAndQuerySeconds, cpu: r.openAndQueryCpuSeconds, load: r.openAndQueryLoad },
        opened ?? cached);
    }
  }
  if (duckdb?.distinct) {
    const r = duckdb.distinct;
    line('years pivot + COUNT(DISTINCT shopper), data cached (best run)', { wall: r.querySeconds, cpu: r.medianCpuSeconds, load: r.queryLoad }, o.distinct2);
    line('years pivot + COUNT(DISTINCT shopper), data cached (median)', { wall: r.medianSeconds, cpu: r.medianCpuSeconds, load: r.queryLoad }, o.distinct2);
  }
  if (sqlite) {
    rows.push([`${sqlite.engine}, command line, warm page cache`]);
    line('years pivot in two steps; ratio to ours from file', { wall: sqlite.querySeconds, cpu: sqlite.cpuSeconds, load: sqlite.load }, o.fromFile);
  }
  console.log(`\nBenchmark cube of ${o.years2.facts.toLocaleString('en-US')} facts. Years pivot: Product and Store (3 levels each, all`);
  console.log('drilled) on the rows, years on the columns, Units (sum) and Price (average): 24,000 deepest cells, 39,125 with');
  console.log('subtotals. Customers pivot: 100,000 customers under 1,000 cities by the 12 months of 2024 under quarters.');
  console.log('Medians of repeated runs.\n');
  printTable(rows, (w) => `${''.padEnd(w[0])}  ${'wall'.padStart(w[1])}  ${'CPU'.padStart(w[2])}  ${'ratio'.padStart(w[3])}`);
  if (memory) {
    console.log(`\nPeak memory, open + read + years pivot: ours ${mb(memory.peakBytes)}; the pivot's columns take ` +
      `${mb(memory.queryFactBytes)} (all columns ${mb(memory.factBytes)}): ${(memory.peakBytes / memory.queryFactBytes).toFixed(2)}x` +
      (duckdbMemory ? `; DuckDB (node process included) ${mb(duckdbMemory.peakBytes)}` : ''));
    if (memory.openBytes)
      console.log(`  of which the open cube (program, dimensions, members) ${mb(memory.openBytes)}; the rest ` +
        `${mb(memory.peakBytes - memory.openBytes)} against columns + result ${mb(memory.queryFactBytes + memory.resultBytes)}`);
  }
  if (distinctMemory) {
    console.log(`Peak memory, open + read + years pivot with the distinct count: ours ${mb(distinctMemory.peakBytes)}; its columns take ` +
      `${mb(distinctMemory.queryFactBytes)}: ${(distinctMemory.peakBytes / distinctMemory.queryFactBytes).toFixed(2)}x`);
    console.log(`Grand total of shoppers: ours ${distinctMemory.grandShoppers}` +
      (duckdb?.distinct ? `, DuckDB ${duckdb.distinct.grandShoppers}` : ''));
  }
  const checks = [['ours', memory], ['DuckDB', duckdb?.years], ['SQLite', sqlite]].filter(([, r]) => r);
  console.log(`Grand totals: ${checks.map(([n, r]) => `${n} ${r.grandUnits} units, price ${Number(r.grandPrice).toFixed(9)}`).join('; ')}`);
}

function reportSizes(folders) {
  const rows = [];
  for (const folder of folders) {
    const { ours, memory, duckdb, duckdbMemory } = readAll(folder);
    const o = ourFigures(ours);
    const d = duckdb;
    const loads = [o.years2.load, o.fromFile.load, o.customers2.load, d.years.queryLoad, d.years.openAndQueryLoad,
      d.customers.queryLoad];
    rows.push([o.years2.facts.toLocaleString('en-US'),
      `${ms(o.years2.wall)} / ${ms(d.years.querySeconds)} = ${ratio(d.years.querySeconds, o.years2.wall)}`,
      `${ms(o.fromFile.wall)} / ${ms(d.years.openAndQuerySeconds)} = ${ratio(d.years.openAndQuerySeconds, o.fromFile.wall)}`,
      `${ms(o.customers2.wall)} / ${ms(d.customers.querySeconds)} = ${ratio(d.customers.querySeconds, o.customers2.wall)}`,
      `${ratio(o.years1.wall, o.years2.wall)} / ${ratio(o.customers1.wall, o.customers2.wall)}`,
      `${gb(o.years2.bytesPerSecond)} = ${(100 * o.years2.bytesPerSecond / o.bandwidth2.bytesPerSecond).toFixed(0)}%`,
      `${mb(memory.peakBytes)} (${mb(memory.queryFactBytes)}) / ${duckdbMemory ? mb(duckdbMemory.peakBytes) : '-'}`,
      memory.openBytes ? `${mb(memory.openBytes)}; ${mb(memory.peakBytes - memory.openBytes)} (${mb(memory.queryFactBytes + memory.resultBytes)})` : '-',
      `${Math.min(...loads).toFixed(1)}-${Math.max(...loads).toFixed(1)}`]);
  }
  const header = ['facts', 'years in memory: ours / DuckDB', 'from file: ours / DuckDB', 'customers: ours / DuckDB',
    '1->2 threads years / customers', 'scan (of 2-thread bandwidth)', 'peak memory ours (columns) / DuckDB',
    'open cube; rest (columns + result)', 'load'];
  const widths = header.map((h, i) => Math.max(h.length, ...rows.map((r) => r[i].length)));
  console.log('\n' + header.map((h, i) => h.padEnd(widths[i])).join(' | '));
  console.log(widths.map((w) => '-'.repeat(w)).join('-|-'));
  for (const row of rows) console.log(row.map((c, i) => c.padEnd(widths[i])).join(' | '));
  console.log('\nTimes are medians (ours) and best runs (DuckDB, cached) or medians of 3 fresh opens (DuckDB, open +');
  console.log('query), wall clock, 2 threads; ratios are DuckDB\'s time over ours. Load: the range of the load averages');
  console.log('beside the figures of the line.');
}

if (process.argv[2] === '--sizes') reportSizes(process.argv.slice(3));
else reportOne(process.argv[2]);
