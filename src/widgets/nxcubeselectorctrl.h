// NxCubeSelectorCtrl: where the user says which cube to use: a cube of the
// application store, a local cube file, or a cube on an OLAP server.
//
// A kind list over one page per kind:
// - Application store: the store cubes of the folder of selectorAppPath (a
//   name N for every N.cub that has its N.bwf beside it); the chosen entry is
//   the cube name N.
// - Local cube file: a path, typed or browsed; the cube name is that path.
// - Server: a server (data source) and a provider from the providers of the
//   connection model; Connect opens the server and lists its catalogs, and
//   choosing a catalog lists its cubes. Catalog and cube may also be typed,
//   for a server that is slow or not reachable from here.
//
// The wizard reads the choice through the selector* accessors; each page
// keeps its own values while another kind is shown. Connecting runs on the
// calling (user-interface) thread. A failed connection is shown on the page
// in words; it is not an error of the control.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace olap {
class KDatabase;
}

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

class NxCubeSelectorCtrl : public QWidget {
    Q_OBJECT

public:
    // The source kinds the selector reports.
    enum SourceType : int { StoreCube = 1, LocalCubeFile = 2, ServerCube = 4 };

    explicit NxCubeSelectorCtrl(QWidget* parent = nullptr);
    ~NxCubeSelectorCtrl() override;

    // 1 store, 2 local cube file, 4 server. Setting another value throws
    // Failure 5. Setting a kind that selectorOption(false) hides from the
    // user is allowed.
    int selectorSourceType() const;
    void setSelectorSourceType(int type);
    // Store: the chosen store cube's name N (empty when none is chosen).
    // Local: the path of the .cub file. Server: the cube's name on the server.
    // Setting a store name that is not listed re-reads the store folder and,
    // when it is still not there, leaves no store cube chosen.
    QString selectorCubeName() const;
    void setSelectorCubeName(const QString& name);
    // The server page's values, whatever kind is shown.
    QString selectorServer() const;
    void setSelectorServer(const QString& server);
    // The chosen provider's name (the name users know a provider by).
    // Setting a name that no listed provider has changes nothing.
    QString selectorProvider() const;
    void setSelectorProvider(const QString& providerName);
    QString selectorCatalog() const;
    void setSelectorCatalog(const QString& catalog);
    // The host application's path; the store lives in its folder ('/' or '\'
    // separated). Setting it re-reads the store folder.
    QString selectorAppPath() const { return mAppPath; }
    void setSelectorAppPath(const QString& path);
    // True: the user may choose every kind of source; false: only the store.
    void selectorOption(bool allSources);
    bool allSourcesOffered() const { return mAllSources; }

    // Re-reads the store folder, keeping the chosen cube when it is still there.
    void refreshStore();
    // Re-reads the providers list, keeping the chosen provider when it is
    // still there.
    void refreshProviders();
    // Connects to selectorServer() through the chosen provider and lists its
    // catalogs, choosing the first catalog and its first cube. False when the
    // connection failed; the page then says why and lists nothing.
    bool connectToServer();
    // The words the server page shows about the last connection.
    QString serverStatus() const;

Q_SIGNALS:
    // The kind or any value of the choice changed, by the user or a setter.
    void selectionChanged();
    void selectorAppPathChanged(const QString& path);

private:
    QWidget* buildStorePage();
    QWidget* buildLocalPage();
    QWidget* buildServerPage();
    void connectSignals();
    void browseForCubeFile();
    void listCatalogCubes(int catalogIndex);
    void showServerProblem(const QString& problem);

    QString mAppPath;
    bool mAllSources = true;
    std::vector<std::shared_ptr<olap::KDatabase>> mDatabases;  // of the last connection
    QComboBox* mKind = nullptr;
    QStackedWidget* mPages = nullptr;
    QListWidget* mStoreCubes = nullptr;
    QLabel* mStoreFolder = nullptr;
    QLineEdit* mCubeFile = nullptr;
    QLineEdit* mServer = nullptr;
    QComboBox* mProvider = nullptr;
    QPushButton* mConnect = nullptr;
    QComboBox* mCatalog = nullptr;
    QComboBox* mServerCube = nullptr;
    QLabel* mServerStatus = nullptr;
};
