#include "nxstoreloader.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QVBoxLayout>

NxStoreLoader::NxStoreLoader(QWidget* parent) : QWidget(parent)
{
    mCubes = new QListWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mCubes);
}

void NxStoreLoader::setStoreFolder(const QString& folder)
{
    mCubes->clear();
    const QDir dir(folder);
    for (const QFileInfo& cub : dir.entryInfoList({QStringLiteral("*.cub")}, QDir::Files, QDir::Name)) {
        if (dir.exists(cub.completeBaseName() + QStringLiteral(".bwf")))
            mCubes->addItem(cub.completeBaseName());
    }
}

QStringList NxStoreLoader::storeCubes() const
{
    QStringList names;
    for (int i = 0; i < mCubes->count(); ++i)
        names << mCubes->item(i)->text();
    return names;
}
