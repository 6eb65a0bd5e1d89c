#include "wizard/cube/localcube.h"

#include "olap/connection/connectionmodel.h"

void openWithLocalProvider(olap::OlapConnection& connection, const QString& path)
{
    const auto providers = connection.providers();
    connection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), path.toStdString());
}

std::shared_ptr<olap::KCubeEntry> firstCubeEntry(const olap::OlapConnection& connection)
{
    return connection.databases().item(0)->cubes().item(0);
}
