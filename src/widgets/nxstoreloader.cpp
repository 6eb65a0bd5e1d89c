#include "widgets/nxstoreloader.h"

#include "widgets/nxcubeselectorctrl.h"
#include "olap/store/storefiles.h"
#include "olap/store/storeloader.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <string>

NxStoreLoader::NxStoreLoader(QWidget* parent) : QWidget(parent)
{
    mCubes = new QListWidget(this);
    mCubes->setObjectName(QStringLiteral("storeCubes"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mCubes);
    // A selected entry is the user's choice. The current row alone is not:
    // a focus that arrives by the keyboard, or by the tab holding the list
    // being shown, makes the first entry current without selecting it.
    connect(mCubes, &QListWidget::itemSelectionChanged, this, [this] { userChose(mCubes->currentRow()); });
}

NxStoreLoader::~NxStoreLoader() = default;

QString NxStoreLoader::storeFolder(const QString& applicationPath)
{
    return QString::fromStdString(olap::applicationFolder(applicationPath.toStdString()));
}

QStringList NxStoreLoader::storeCubes(const QString& applicationPath)
{
    QString folder = storeFolder(applicationPath);
    if (folder.isEmpty())
        folder = QStringLiteral(".");
    const QDir dir(folder);
    QStringList names;
    // The filter is matched without regard to case; the exact ".cub" and the
    // companion's existence are checked below, as the store reader opens them.
    const QStringList cubFiles =
        dir.entryList({QStringLiteral("*.cub")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : cubFiles) {
        if (!file.endsWith(QStringLiteral(".cub")) || file.size() == 4)
            continue;
        const QString name = file.chopped(4);
        if (QFileInfo(dir.filePath(name + QStringLiteral(".bwf"))).isFile())
            names << name;
    }
    return names;
}

bool NxStoreLoader::extractStoreCube(const QString& applicationPath, const QString& storeCubeName,
                                     const QString& target, int cubeNumber, QString* problem)
{
    std::string reason;
    const bool written = olap::extractStoreCube(applicationPath.toStdString(), storeCubeName.toStdString(),
                                                target.toStdString(), cubeNumber, &reason);
    if (problem)
        *problem = QString::fromStdString(reason);
    return written;
}

void NxStoreLoader::setApplicationPath(const QString& path)
{
    mAppPath = path;
    refresh();
}

void NxStoreLoader::refresh()
{
    const QString chosen = chosenCube();
    {
        const QSignalBlocker quiet(mCubes);  // re-listing is not the user's choice
        mCubes->clear();
        mCubes->addItems(storeCubes(mAppPath));
    }
    showChoice(chosen);
}

QStringList NxStoreLoader::listedCubes() const
{
    QStringList names;
    for (int i = 0; i < mCubes->count(); ++i)
        names << mCubes->item(i)->text();
    return names;
}

QString NxStoreLoader::chosenCube() const
{
    const QListWidgetItem* item = mCubes->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void NxStoreLoader::setCubeSelector(NxCubeSelectorCtrl* selector)
{
    disconnect(mAppPathLink);
    disconnect(mChoiceLink);
    mSelector = selector;
    if (!selector)
        return;
    mAppPathLink = connect(selector, &NxCubeSelectorCtrl::selectorAppPathChanged, this,
                           &NxStoreLoader::setApplicationPath);
    mChoiceLink = connect(selector, &NxCubeSelectorCtrl::selectionChanged, this, &NxStoreLoader::followSelector);
    setApplicationPath(selector->selectorAppPath());
    followSelector();
}

void NxStoreLoader::userChose(int row)
{
    if (row < 0 || !mCubes->item(row)->isSelected())
        return;
    const QString name = mCubes->item(row)->text();
    if (mSelector) {
        mSelector->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
        mSelector->setSelectorCubeName(name);
    }
    Q_EMIT storeCubeChosen(name);
}

void NxStoreLoader::followSelector()
{
    if (mSelector && mSelector->selectorSourceType() == NxCubeSelectorCtrl::StoreCube)
        showChoice(mSelector->selectorCubeName());
}

// Selects `name` without reporting it as the user's choice.
void NxStoreLoader::showChoice(const QString& name)
{
    const QSignalBlocker quiet(mCubes);
    const QList<QListWidgetItem*> found = mCubes->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (name.isEmpty() || found.isEmpty())
        mCubes->setCurrentRow(-1);
    else
        mCubes->setCurrentItem(found.first());
}
