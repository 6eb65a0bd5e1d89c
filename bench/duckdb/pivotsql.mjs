// The benchmark pivot (bench/benchcube.h) as SQL, for the engines we compare
// with: Product (category > subcategory > item) and Store (country > region >
// shop) on the rows, all drilled, with a subtotal per drilled level; years on
// the columns; grand totals; Units summed, Price averaged.
//
// A pivot cell is one grouping of the facts, so the pivot is 7 row groupings
// times 2 column groupings. Two ways to write it:
//   grouping sets  one GROUP BY GROUPING SETS over the facts (DuckDB)
//   two steps      group the deepest cells once, then roll them up with a
//                  UNION ALL of GROUP BYs, carrying sums and counts so that
//                  averages stay exact (SQLite, which has no grouping sets;
//                  DuckDB too, as it is often faster there)
//
//     node pivotsql.mjs sets|steps   prints the statement that makes table "pivot_cells"
//     node pivotsql.mjs sqlite       the two steps for SQLite (no CREATE OR REPLACE)
//     node pivotsql.mjs check        prints the query of grand total and cell count

const levels = ['category', 'subcategory', 'item', 'country', 'region', 'shop'];
// Row groupings: the item and shop leaves, then the shop's region and
// country within an item, the item over all shops, its subcategory and
// category, and the grand total.
const rowSets = [6, 5, 4, 3, 2, 1, 0].map((n) => levels.slice(0, n));
const columnSets = [['year'], []];
const groupingSets = rowSets.flatMap((rows) => columnSets.map((columns) => [...rows, ...columns]));
const allColumns = [...levels, 'year'];

export function groupingSetsPivot() {
  const sets = groupingSets.map((set) => `(${set.join(', ')})`).join(',\n    ');
  return `CREATE OR REPLACE TEMP TABLE pivot_cells AS
SELECT ${allColumns.join(', ')}, SUM(units) AS units, AVG(price) AS price, COUNT(*) AS facts
FROM facts
GROUP BY GROUPING SETS (
    ${sets});`;
}

export function twoStepPivot(replace = true) {
  const selects = groupingSets.map((set) => {
    const shown = allColumns.map((column) => (set.includes(column) ? column : `NULL AS ${column}`));
    const grouped = set.length ? `\nGROUP BY ${set.join(', ')}` : '';
    return `SELECT ${shown.join(', ')}, SUM(units) AS units, SUM(price_sum) / SUM(price_count) AS price, SUM(facts) AS facts
FROM leaf${grouped}`;
  });
  return `CREATE ${replace ? 'OR REPLACE ' : ''}TEMP TABLE pivot_cells AS
WITH leaf AS MATERIALIZED (
  SELECT ${allColumns.join(', ')}, SUM(units) AS units, SUM(price) AS price_sum, COUNT(price) AS price_count,
         COUNT(*) AS facts
  FROM facts
  GROUP BY ${allColumns.join(', ')})
${selects.join('\nUNION ALL\n')};`;
}

// The grand total of Units and the number of pivot cells, to check that all
// engines computed the same pivot.
export const checkSql = `SELECT (SELECT units FROM pivot_cells WHERE category IS NULL AND year IS NULL) AS grand_units,
       (SELECT price FROM pivot_cells WHERE category IS NULL AND year IS NULL) AS grand_price,
       (SELECT COUNT(*) FROM pivot_cells) AS cells`;

if (import.meta.url === `file://${process.argv[1]}`) {
  const engine = process.argv[2];
  if (engine === 'sets') console.log(groupingSetsPivot());
  else if (engine === 'steps') console.log(twoStepPivot());
  else if (engine === 'sqlite') console.log(twoStepPivot(false));
  else if (engine === 'check') console.log(`${checkSql};`);
  else {
    console.error('usage: node pivotsql.mjs sets|steps|sqlite|check');
    process.exit(2);
  }
}
