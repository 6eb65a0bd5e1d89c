// Prints the table of bench/run.sh from the results it left in FOLDER:
// querybench.json (Google Benchmark), memory.json, duckdb.json, sqlite.json.
//
//     node report.mjs FOLDER
//
// Wall-clock time is what a user waits; CPU time adds up every thread of the
// engine's process and is much less disturbed by other work on the machine.
// Ratios compare each peer with our engine in the same situation: data in
// memory (cached), or opened from the file (warm page cache).
import { existsSync, readFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';

const folder = process.argv[2];
const read = (name) => (existsSync(join(folder, name)) ? JSON.parse(readFileSync(join(folder, name), 'utf8')) : null);
const ours = read('querybench.json');
const memory = read('memory.json');
const duckdb = read('duckdb.json');
const sqlite = read('sqlite.json');

// Wall and CPU seconds of one of our benchmarks (its name up to the options
// Google Benchmark appends): medians of its repetitions.
function oursTimes(name) {
  const run = ours.benchmarks.find((b) => b.run_name.split('/').slice(0, name.split('/').length).join('/') === name
    && b.aggregate_name === 'median');
  if (!run) throw new Error(`no benchmark ${name}`);
  const scale = { ns: 1e-9, us: 1e-6, ms: 1e-3, s: 1 }[run.time_unit];
  return { wall: run.real_time * scale, cpu: run.cpu_time * scale };
}

const ms = (s) => (s === undefined ? '' : `${(s * 1000).toFixed(s < 0.1 ? 1 : 0)} ms`);
const ratio = (s, base) => `${(s / base).toFixed(1)}x`;
const rows = [];
const heading = (text) => rows.push([text]);
const line = (what, t, base) =>
  rows.push([`  ${what}`, ms(t.wall), ms(t.cpu), base ? ratio(t.wall, base.wall) : '', base ? ratio(t.cpu, base.cpu) : '']);

const inMemory = oursTimes('Pivot/Years/threads:2');
const fromFile = oursTimes('PivotFromFile');
heading('Our engine');
line('open the cube (metadata only)', oursTimes('Open'));
line('pivot, facts in memory, 2 threads', inMemory, inMemory);
line('pivot, facts in memory, 1 thread', oursTimes('Pivot/Years/threads:1'), inMemory);
line('pivot with months (288,000 deepest cells)', oursTimes('Pivot/Months/threads:2'));
line('open + read facts + pivot', fromFile, fromFile);
if (duckdb) {
  heading(`${duckdb.engine}, 2 threads (ratios: to ours in memory, resp. from file)`);
  for (const [name, label] of [['groupingSets', 'grouping sets'], ['twoSteps', 'two steps']]) {
    const r = duckdb[name];
    line(`${label}, data cached`, { wall: r.medianSeconds, cpu: r.medianCpuSeconds }, inMemory);
    line(`${label}, open + query`, { wall: r.openAndQuerySeconds, cpu: r.openAndQueryCpuSeconds }, fromFile);
  }
}
if (sqlite) {
  heading(`${sqlite.engine}, command line`);
  const t = { wall: sqlite.querySeconds, cpu: sqlite.cpuSeconds };
  line('two steps, warm page cache; to ours in memory', t, inMemory);
  line('two steps, warm page cache; to ours from file', t, fromFile);
}

console.log('\nPivot of 10,000,000 facts: Product and Store (3 levels each, all drilled) on the rows, years on the');
console.log('columns, Units (sum) and Price (average): 24,000 deepest cells, 39,125 with subtotals and grand totals.');
console.log('Medians of repeated runs (SQLite: one run).\n');
const widths = [0, 1, 2, 3, 4].map((i) => Math.max(...rows.filter((r) => r.length > 1).map((r) => r[i].length)));
console.log(`${''.padEnd(widths[0])}  ${'wall'.padStart(widths[1])}  ${'CPU'.padStart(widths[2])}  ratio wall / CPU`);
for (const row of rows) {
  if (row.length === 1) console.log(row[0]);
  else console.log(`${row[0].padEnd(widths[0])}  ${row[1].padStart(widths[1])}  ${row[2].padStart(widths[2])}  ${row[3]}${row[3] ? ' / ' : ''}${row[4]}`);
}
if (memory) {
  const mb = (bytes) => `${(bytes / 1e6).toFixed(0)} MB`;
  console.log(`\nPeak memory, open + read + pivot: ${mb(memory.peakBytes)}; the facts in memory take ${mb(memory.factBytes)}` +
    ` (all columns), the pivot reads ${mb(memory.queryFactBytes)} of them: ${(memory.peakBytes / memory.queryFactBytes).toFixed(2)}x.`);
}
const checks = [['ours', memory], ['DuckDB', duckdb?.twoSteps], ['SQLite', sqlite]].filter(([, r]) => r);
console.log(`Grand totals: ${checks.map(([n, r]) => `${n} ${r.grandUnits} units, price ${Number(r.grandPrice).toFixed(9)}`).join('; ')}`);
console.log(`Load average of the machine at the end: ${loadavg().map((l) => l.toFixed(1)).join(' ')}`);
