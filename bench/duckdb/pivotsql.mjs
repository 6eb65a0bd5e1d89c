// The benchmark pivots (bench/benchcube.h) as SQL, in the form an expert
// gives them to DuckDB: group the facts once by the pivot's leaf keys (a
// small table), join the small dimension tables to that for the upper
// levels, and run GROUPING SETS on the small result, carrying sums and
// counts so that averages stay exact. `SET perfect_ht_threshold` (see
// pivot.mjs) lets the leaf grouping use a directly indexed hash table.
//
//   years      Product (category > subcategory > item) and Store (country >
//              region > shop) on the rows, all drilled; years on the columns;
//              39,125 cells with subtotals and grand totals
//   customers  Customer (city > customer) on the rows; the months of 2024
//              under their quarters on the columns
//
// The dimension tables (items, shops, customers, months) are made with the
// facts table when the database is loaded (dimensionTablesSql).
//
// The distinct pivot is the years pivot with COUNT(DISTINCT shopper) added:
// a distinct count cannot be summed from leaf groups, so every grouping set
// reads the facts themselves (with their level codes, no joins needed).
//
//     node pivotsql.mjs years|customers    prints the statement that makes table "pivot_cells"
//     node pivotsql.mjs sqlite             the years pivot for SQLite (no grouping sets)
//     node pivotsql.mjs check              prints the query of grand total and cell count

const pivots = {
  years: {
    leafKeys: ['item', 'shop', 'year'],
    where: '',
    joins: 'JOIN items USING (item) JOIN shops USING (shop)',
    rowLevels: ['category', 'subcategory', 'item', 'country', 'region', 'shop'],
    columnSets: [['year'], []],
    // Row groupings: item and shop leaves, the shop's region and country
    // within an item, the item over all shops, its subcategory and
    // category, and the grand total.
    rowSets: (levels) => [6, 5, 4, 3, 2, 1, 0].map((n) => levels.slice(0, n)),
  },
  customers: {
    leafKeys: ['customer', 'month'],
    where: 'WHERE year = 2024',
    joins: 'JOIN customers USING (customer) JOIN months USING (month)',
    rowLevels: ['city', 'customer'],
    columnSets: [['year', 'quarter', 'month'], ['year', 'quarter'], ['year'], []],
    rowSets: (levels) => [2, 1, 0].map((n) => levels.slice(0, n)),
  },
};

export const dimensionTablesSql = `
CREATE TABLE items AS SELECT DISTINCT item, subcategory, category FROM facts;
CREATE TABLE shops AS SELECT DISTINCT shop, region, country FROM facts;
CREATE TABLE customers AS SELECT DISTINCT customer, city FROM facts;
CREATE TABLE months AS SELECT DISTINCT month, quarter, year FROM facts;`;

export function bestPivot(name) {
  const p = pivots[name];
  const columnLevels = p.columnSets[0];
  const allColumns = [...p.rowLevels, ...columnLevels];
  const sets = p.rowSets(p.rowLevels).flatMap((rows) => p.columnSets.map((columns) => [...rows, ...columns]));
  return `CREATE OR REPLACE TEMP TABLE pivot_cells AS
WITH leaf AS (
  SELECT ${p.leafKeys.join(', ')}, SUM(units) AS units, SUM(price) AS price_sum, COUNT(price) AS price_count
  FROM facts ${p.where}
  GROUP BY ${p.leafKeys.join(', ')})
SELECT ${allColumns.join(', ')}, SUM(units) AS units, SUM(price_sum) / SUM(price_count) AS price
FROM leaf ${p.joins}
GROUP BY GROUPING SETS (
    ${sets.map((set) => `(${set.join(', ')})`).join(',\n    ')});`;
}

export function distinctPivot() {
  const p = pivots.years;
  const allColumns = [...p.rowLevels, ...p.columnSets[0]];
  const sets = p.rowSets(p.rowLevels).flatMap((rows) => p.columnSets.map((columns) => [...rows, ...columns]));
  return `CREATE OR REPLACE TEMP TABLE pivot_cells AS
SELECT ${allColumns.join(', ')}, SUM(units) AS units, AVG(price) AS price, COUNT(DISTINCT shopper) AS shoppers
FROM facts
GROUP BY GROUPING SETS (
    ${sets.map((set) => `(${set.join(', ')})`).join(',\n    ')});`;
}

// The years pivot in two steps for SQLite, which has no grouping sets: the
// deepest cells once, then a UNION ALL of GROUP BYs over them.
export function sqlitePivot() {
  const p = pivots.years;
  const allColumns = [...p.rowLevels, 'year'];
  const sets = p.rowSets(p.rowLevels).flatMap((rows) => p.columnSets.map((columns) => [...rows, ...columns]));
  const selects = sets.map((set) => {
    const shown = allColumns.map((column) => (set.includes(column) ? column : `NULL AS ${column}`));
    const grouped = set.length ? `\nGROUP BY ${set.join(', ')}` : '';
    return `SELECT ${shown.join(', ')}, SUM(units) AS units, SUM(price_sum) / SUM(price_count) AS price
FROM leaf${grouped}`;
  });
  return `CREATE TEMP TABLE pivot_cells AS
WITH leaf AS MATERIALIZED (
  SELECT ${allColumns.join(', ')}, SUM(units) AS units, SUM(price) AS price_sum, COUNT(price) AS price_count
  FROM facts
  GROUP BY ${allColumns.join(', ')})
${selects.join('\nUNION ALL\n')};`;
}

// The grand total of Units and Price and the number of pivot cells, to check
// that all engines computed the same pivot.
export function checkSql(name = 'years') {
  const top = name === 'years' ? 'category' : 'city';
  return `SELECT (SELECT units FROM pivot_cells WHERE ${top} IS NULL AND year IS NULL) AS grand_units,
       (SELECT price FROM pivot_cells WHERE ${top} IS NULL AND year IS NULL) AS grand_price,
       (SELECT COUNT(*) FROM pivot_cells) AS cells`;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const what = process.argv[2];
  if (what in pivots) console.log(bestPivot(what));
  else if (what === 'distinct') console.log(distinctPivot());
  else if (what === 'sqlite') console.log(sqlitePivot());
  else if (what === 'check') console.log(`${checkSql()};`);
  else {
    console.error('usage: node pivotsql.mjs years|customers|distinct|sqlite|check');
    process.exit(2);
  }
}
