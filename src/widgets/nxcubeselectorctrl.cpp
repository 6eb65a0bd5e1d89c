#include "widgets/nxcubeselectorctrl.h"

#include "widgets/nxstoreloader.h"
#include "olap/connection/connectionmodel.h"
#include "platform/core/failure.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <string>

namespace {

// The page of each kind in the stack, in the order of the kind list.
constexpr int kKinds[] = {NxCubeSelectorCtrl::StoreCube, NxCubeSelectorCtrl::LocalCubeFile,
                          NxCubeSelectorCtrl::ServerCube};

QComboBox* editableCombo(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);  // a typed name is a choice, not a new entry
    return combo;
}

}  // namespace

NxCubeSelectorCtrl::NxCubeSelectorCtrl(QWidget* parent) : QWidget(parent)
{
    mKind = new QComboBox(this);
    mKind->setObjectName(QStringLiteral("sourceKind"));
    mKind->addItem(QStringLiteral("Application store cube"), StoreCube);
    mKind->addItem(QStringLiteral("Local cube file"), LocalCubeFile);
    mKind->addItem(QStringLiteral("Cube on an OLAP server"), ServerCube);
    mPages = new QStackedWidget(this);
    mPages->addWidget(buildStorePage());
    mPages->addWidget(buildLocalPage());
    mPages->addWidget(buildServerPage());

    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(QStringLiteral("Source"), mKind);
    layout->addRow(mPages);
    connectSignals();
    refreshProviders();
}

NxCubeSelectorCtrl::~NxCubeSelectorCtrl() = default;

QWidget* NxCubeSelectorCtrl::buildStorePage()
{
    auto* page = new QWidget(this);
    mStoreCubes = new QListWidget(page);
    mStoreCubes->setObjectName(QStringLiteral("storeCubeList"));
    mStoreCubes->setMaximumHeight(96);
    mStoreFolder = new QLabel(page);
    mStoreFolder->setObjectName(QStringLiteral("storeFolder"));
    mStoreFolder->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mStoreCubes);
    layout->addWidget(mStoreFolder);
    return page;
}

QWidget* NxCubeSelectorCtrl::buildLocalPage()
{
    auto* page = new QWidget(this);
    mCubeFile = new QLineEdit(page);
    mCubeFile->setObjectName(QStringLiteral("cubeFile"));
    mCubeFile->setPlaceholderText(QStringLiteral("Path of the .cub file"));
    auto* browse = new QToolButton(page);
    browse->setObjectName(QStringLiteral("browseCubeFile"));
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, &NxCubeSelectorCtrl::browseForCubeFile);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mCubeFile, 1);
    layout->addWidget(browse);
    return page;
}

QWidget* NxCubeSelectorCtrl::buildServerPage()
{
    auto* page = new QWidget(this);
    mServer = new QLineEdit(page);
    mServer->setObjectName(QStringLiteral("server"));
    mProvider = new QComboBox(page);
    mProvider->setObjectName(QStringLiteral("provider"));
    mConnect = new QPushButton(QStringLiteral("Connect"), page);
    mConnect->setObjectName(QStringLiteral("connect"));
    mCatalog = editableCombo(page, "catalog");
    mServerCube = editableCombo(page, "serverCube");
    mServerStatus = new QLabel(page);
    mServerStatus->setObjectName(QStringLiteral("serverStatus"));
    mServerStatus->setTextFormat(Qt::PlainText);
    mServerStatus->setWordWrap(true);
    auto* serverLine = new QHBoxLayout;
    serverLine->addWidget(mServer, 1);
    serverLine->addWidget(mConnect);
    auto* layout = new QFormLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(QStringLiteral("Server"), serverLine);
    layout->addRow(QStringLiteral("Provider"), mProvider);
    layout->addRow(QStringLiteral("Catalog"), mCatalog);
    layout->addRow(QStringLiteral("Cube"), mServerCube);
    layout->addRow(mServerStatus);
    return page;
}

void NxCubeSelectorCtrl::connectSignals()
{
    connect(mKind, &QComboBox::currentIndexChanged, this, [this](int index) {
        mPages->setCurrentIndex(index);
        if (selectorSourceType() == StoreCube)
            refreshStore();
        else if (selectorSourceType() == ServerCube)
            refreshProviders();
        Q_EMIT selectionChanged();
    });
    connect(mConnect, &QPushButton::clicked, this, [this] { connectToServer(); });
    connect(mCatalog, &QComboBox::activated, this, &NxCubeSelectorCtrl::listCatalogCubes);
    const auto changed = [this] { Q_EMIT selectionChanged(); };
    connect(mStoreCubes, &QListWidget::currentRowChanged, this, changed);
    connect(mCubeFile, &QLineEdit::textChanged, this, changed);
    connect(mServer, &QLineEdit::textChanged, this, changed);
    connect(mProvider, &QComboBox::currentIndexChanged, this, changed);
    connect(mCatalog, &QComboBox::currentTextChanged, this, changed);
    connect(mServerCube, &QComboBox::currentTextChanged, this, changed);
}

int NxCubeSelectorCtrl::selectorSourceType() const { return mKind->currentData().toInt(); }

void NxCubeSelectorCtrl::setSelectorSourceType(int type)
{
    const int index = mKind->findData(type);
    if (index < 0) {
        throw platform::Failure(platform::err::kInvalidCall,
                                "The cube selector knows no source kind " + std::to_string(type), "widgets");
    }
    mKind->setCurrentIndex(index);
}

QString NxCubeSelectorCtrl::selectorCubeName() const
{
    switch (selectorSourceType()) {
    case StoreCube: {
        const QListWidgetItem* item = mStoreCubes->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    case LocalCubeFile:
        return mCubeFile->text();
    default:
        return mServerCube->currentText();
    }
}

void NxCubeSelectorCtrl::setSelectorCubeName(const QString& name)
{
    switch (selectorSourceType()) {
    case StoreCube: {
        QList<QListWidgetItem*> found = mStoreCubes->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found.isEmpty()) {
            refreshStore();
            found = mStoreCubes->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        }
        if (found.isEmpty())
            mStoreCubes->setCurrentRow(-1);
        else
            mStoreCubes->setCurrentItem(found.first());
        break;
    }
    case LocalCubeFile:
        mCubeFile->setText(name);
        break;
    default:
        mServerCube->setCurrentText(name);
        break;
    }
}

QString NxCubeSelectorCtrl::selectorServer() const { return mServer->text(); }
void NxCubeSelectorCtrl::setSelectorServer(const QString& server) { mServer->setText(server); }
QString NxCubeSelectorCtrl::selectorProvider() const { return mProvider->currentText(); }

void NxCubeSelectorCtrl::setSelectorProvider(const QString& providerName)
{
    const int index = mProvider->findText(providerName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        mProvider->setCurrentIndex(index);
}

QString NxCubeSelectorCtrl::selectorCatalog() const { return mCatalog->currentText(); }
void NxCubeSelectorCtrl::setSelectorCatalog(const QString& catalog) { mCatalog->setCurrentText(catalog); }

void NxCubeSelectorCtrl::setSelectorAppPath(const QString& path)
{
    mAppPath = path;
    refreshStore();
    Q_EMIT selectorAppPathChanged(path);
}

void NxCubeSelectorCtrl::selectorOption(bool allSources)
{
    mAllSources = allSources;
    auto* kinds = qobject_cast<QStandardItemModel*>(mKind->model());
    for (int i = 0; kinds && i < mKind->count(); ++i)
        kinds->item(i)->setEnabled(allSources || kKinds[i] == StoreCube);
    if (!allSources)
        setSelectorSourceType(StoreCube);
}

void NxCubeSelectorCtrl::refreshStore()
{
    const QString chosen = mStoreCubes->currentItem() ? mStoreCubes->currentItem()->text() : QString();
    {
        const QSignalBlocker quiet(mStoreCubes);  // the choice changes below, once
        mStoreCubes->clear();
        mStoreCubes->addItems(NxStoreLoader::storeCubes(mAppPath));
    }
    mStoreFolder->setText(QStringLiteral("Store folder: ") + NxStoreLoader::storeFolder(mAppPath));
    const QList<QListWidgetItem*> found = mStoreCubes->findItems(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!chosen.isEmpty() && !found.isEmpty())
        mStoreCubes->setCurrentItem(found.first());
    Q_EMIT selectionChanged();
}

void NxCubeSelectorCtrl::refreshProviders()
{
    const QString chosen = mProvider->currentText();
    const QSignalBlocker quiet(mProvider);
    mProvider->clear();
    const olap::OlapConnection connection;  // lists the providers registered now
    for (const std::shared_ptr<const olap::Provider>& provider : connection.providers()) {
        mProvider->addItem(QString::fromStdString(provider->providerName()),
                           QString::fromStdString(provider->connectionName()));
    }
    const int index = mProvider->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    mProvider->setCurrentIndex(index >= 0 ? index : 0);
}

bool NxCubeSelectorCtrl::connectToServer()
{
    olap::OlapConnection connection;
    connection.connect(mProvider->currentData().toString().toStdString(), mServer->text().toStdString(), "", "");
    if (connection.lastFailure()) {
        showServerProblem(QString::fromStdString(connection.lastFailure()->description()));
        return false;
    }
    mDatabases.clear();
    for (const std::shared_ptr<olap::KDatabase>& database : connection.databases())
        mDatabases.push_back(database);
    {
        const QSignalBlocker quiet(mCatalog);
        mCatalog->clear();
        for (const std::shared_ptr<olap::KDatabase>& database : mDatabases)
            mCatalog->addItem(QString::fromStdString(database->name()));
        mCatalog->setCurrentIndex(mDatabases.empty() ? -1 : 0);
    }
    listCatalogCubes(mCatalog->currentIndex());
    mServerStatus->setText(QStringLiteral("Connected to %1: %2 catalog(s).").arg(mServer->text()).arg(mDatabases.size()));
    Q_EMIT selectionChanged();
    return true;
}

QString NxCubeSelectorCtrl::serverStatus() const { return mServerStatus->text(); }

void NxCubeSelectorCtrl::showServerProblem(const QString& problem)
{
    mDatabases.clear();
    mCatalog->clear();
    mServerCube->clear();
    mServerStatus->setText(QStringLiteral("Could not connect: ") + problem);
    Q_EMIT selectionChanged();
}

void NxCubeSelectorCtrl::listCatalogCubes(int catalogIndex)
{
    const QSignalBlocker quiet(mServerCube);
    mServerCube->clear();
    if (catalogIndex >= 0 && size_t(catalogIndex) < mDatabases.size()) {
        for (const std::shared_ptr<olap::KCubeEntry>& cube : mDatabases[size_t(catalogIndex)]->cubes())
            mServerCube->addItem(QString::fromStdString(cube->name()));
    }
    mServerCube->setCurrentIndex(mServerCube->count() > 0 ? 0 : -1);
    Q_EMIT selectionChanged();
}

void NxCubeSelectorCtrl::browseForCubeFile()
{
    const QString start = mCubeFile->text().isEmpty() ? NxStoreLoader::storeFolder(mAppPath)
                                                      : QFileInfo(mCubeFile->text()).absolutePath();
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Choose a cube file"), start,
                                                      QStringLiteral("Cube files (*.cub)"));
    if (!file.isEmpty())
        mCubeFile->setText(file);
}
