// The layout of a cube file, shared by its writer and its reader.
//
// A cube file is an SQLite database (page size 64 KiB, so that the large
// fact blobs are read with few page hops) identified by
// PRAGMA application_id = kApplicationId and PRAGMA user_version = the format
// version. Tables:
//
//   catalog   (name TEXT)                                        -- one row
//   cubes     (id INTEGER PRIMARY KEY, name TEXT, fact_count INTEGER,
//              chunk_rows INTEGER)                               -- facts per chunk
//   dimensions(cube, position, name, type, key_count, key_width)  -- key_width 1, 2 or 4 bytes
//   hierarchies(cube, dimension, position, name,
//              members BLOB,        -- packed members, see below
//              member_of_key BLOB)  -- uint32 LE per dimension key: its deepest-level member
//   levels    (cube, dimension, hierarchy, position, name, type, named_by_key)
//   measures  (cube, position, name, aggregation, format)       -- stored measures
//   calculated_measures(cube, position, name, formula, format)  -- version 2 on
//   distinct_measures(cube, measure, value_count, key_width)    -- version 2 on
//   compact_measures(cube, measure, width, decimals)            -- version 3 on
//   facts     (cube, chunk, column, bytes, data BLOB)
//
// Fact columns 0 .. D-1 are the dimension keys (little-endian unsigned
// integers of the dimension's key_width), columns D .. D+M-1 the measures
// (little-endian IEEE doubles; NaN = no value), except that a measure in
// compact_measures holds per fact a little-endian signed integer of `width`
// bytes (1, 2 or 4) that is its value times 10^decimals, the width's
// smallest integer meaning no value (measurecolumn.h decodes it), and that a distinct
// count's column holds per fact the id of its value (1..value_count, 0 = no
// value) as a little-endian unsigned integer of its key_width, as in
// distinct_measures (measure = its position in measures). Chunk c holds the facts
// c*chunk_rows .. (c+1)*chunk_rows - 1.
//
// Packed members, level by level, top first, in display order; per member:
//   int32 parent (index into the same list, -1 on the top level), uint16 level,
//   uint32 name length, name bytes, uint32 caption length, caption bytes
//   (length 0: the caption is the name). All integers little-endian.
// Unique names and child ranges are derived when the file is opened.
//
// Calculated measures have no fact column: they follow the stored measures
// in the cube's measure list and are computed from aggregated cells by their
// formula (measureformula.h). Version 1 files have no calculated_measures
// table and are read as cubes without calculated measures.
#pragma once

#include <cstdint>

namespace olap::cubeformat {

inline constexpr int32_t kApplicationId = 0x50574342;  // "PWCB"
inline constexpr int32_t kVersion = 3;
inline constexpr int kPageSize = 65536;
inline constexpr uint64_t kChunkRows = 1u << 20;

}  // namespace olap::cubeformat
