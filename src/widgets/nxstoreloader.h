// NxStoreLoader: the application store's reader. As a control it lists the
// cubes of the store folder; the wizard uses it to extract a store cube.
//
// This first version shows the store folder's cubes (N.cub files with their
// N.bwf companion); reading them comes with the cube engine.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QListWidget;

class NxStoreLoader : public QWidget {
    Q_OBJECT

public:
    explicit NxStoreLoader(QWidget* parent = nullptr);

    // Lists the store cubes found in `folder`.
    void setStoreFolder(const QString& folder);
    QStringList storeCubes() const;

private:
    QListWidget* mCubes = nullptr;
};
