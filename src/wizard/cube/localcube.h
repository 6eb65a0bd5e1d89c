// Opening a local cube file through the connection model: shared by the
// store cube (its catalog and cube names) and the local cube file loader.
#pragma once

#include <QString>

#include <memory>

namespace olap {
class KCubeEntry;
class OlapConnection;
}  // namespace olap

// Opens the cube file `path` with the last provider of `connection`, the
// local-file provider, which every connection lists last. A failure is kept
// by the connection: its databases() throws it.
void openWithLocalProvider(olap::OlapConnection& connection, const QString& path);

// The first cube of the first database of what `connection` opened: the one
// cube a local cube file is read for. Throws Failure 9 when there is none,
// or the connection's failure when opening failed.
std::shared_ptr<olap::KCubeEntry> firstCubeEntry(const olap::OlapConnection& connection);
