// NxStoreLoader: the application store's reader and its list control.
//
// A store cube N is the pair N.cub and N.bwf in the application folder (the
// folder of the application path). As a control it lists the store's cubes;
// linked to a cube selector (setCubeSelector) it lists the selector's store
// folder, follows the selector's store choice, and choosing a cube here makes
// it the selector's choice (source kind 1, cube N), because the wizard reads
// the choice from the selector alone. As a reader it writes a store cube into
// a store cube file (.BWC) that the store model loads.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class NxCubeSelectorCtrl;
class QListWidget;

class NxStoreLoader : public QWidget {
    Q_OBJECT

public:
    explicit NxStoreLoader(QWidget* parent = nullptr);
    ~NxStoreLoader() override;

    // The application folder of `applicationPath`: every '/' or '\'
    // separated component but the last, each followed by '/'.
    static QString storeFolder(const QString& applicationPath);
    // The store cubes of the application folder of `applicationPath`: every
    // N for which N.cub and N.bwf both exist there (names compared exactly),
    // sorted by name. Empty when the folder cannot be read.
    static QStringList storeCubes(const QString& applicationPath);
    // The store reader's operation: writes cube number `cubeNumber` (1 = the
    // first) of store cube `storeCubeName` of the application folder of
    // `applicationPath` to `target` as a store cube file. True when `target`
    // holds it; false, with the reason in `problem` when given, when the
    // store cube cannot be read or `target` cannot be written.
    static bool extractStoreCube(const QString& applicationPath, const QString& storeCubeName,
                                 const QString& target, int cubeNumber, QString* problem = nullptr);

    // The path whose folder is listed. Setting it re-reads the folder.
    QString applicationPath() const { return mAppPath; }
    void setApplicationPath(const QString& path);
    // Re-reads the folder, keeping the chosen cube when it is still there.
    void refresh();
    // The listed store cube names, in list order.
    QStringList listedCubes() const;
    // The chosen cube's name; empty when none is chosen.
    QString chosenCube() const;

    // Links the control to `selector` (see above); nothing unlinks. The
    // control does not own the selector and forgets it when it is destroyed.
    void setCubeSelector(NxCubeSelectorCtrl* selector);
    NxCubeSelectorCtrl* cubeSelector() const { return mSelector; }

Q_SIGNALS:
    // The user chose the store cube `name` in the list.
    void storeCubeChosen(const QString& name);

private:
    void userChose(int row);
    void followSelector();
    void showChoice(const QString& name);

    QString mAppPath;
    QListWidget* mCubes = nullptr;
    QPointer<NxCubeSelectorCtrl> mSelector;
    QMetaObject::Connection mAppPathLink;
    QMetaObject::Connection mChoiceLink;
};
