// NxCubeSelectorCtrl: where the user says which cube to use: a cube of the
// application store, a local cube file, or a cube on an OLAP server.
//
// The wizard reads the choice through the selector* accessors. This first
// version lets the user pick the kind of source and type its particulars;
// browsing the store and servers comes with the cube engine.
#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QLabel;

class NxCubeSelectorCtrl : public QWidget {
    Q_OBJECT

public:
    // Source kinds the selector reports.
    enum SourceType : int { StoreCube = 1, LocalCubeFile = 2, ServerCube = 4 };

    explicit NxCubeSelectorCtrl(QWidget* parent = nullptr);

    int selectorSourceType() const;
    void setSelectorSourceType(int type);
    // Store cube name, local cube file path, or the cube's name on the server.
    QString selectorCubeName() const;
    void setSelectorCubeName(const QString& name);
    QString selectorServer() const;
    QString selectorProvider() const;
    QString selectorCatalog() const;
    void setServerChoice(const QString& server, const QString& catalog, const QString& provider);
    // The host application's path; the store lives in its folder.
    QString selectorAppPath() const { return mAppPath; }
    void setSelectorAppPath(const QString& path) { mAppPath = path; }
    // Whether the selector offers every kind of source (true) or only the store.
    void selectorOption(bool allSources);

private:
    void showFieldsFor(int type);

    QString mAppPath;
    QComboBox* mKind = nullptr;
    QLineEdit* mCube = nullptr;
    QLabel* mServerLabel = nullptr;
    QLineEdit* mServer = nullptr;
    QLabel* mCatalogLabel = nullptr;
    QLineEdit* mCatalog = nullptr;
    QLabel* mProviderLabel = nullptr;
    QLineEdit* mProvider = nullptr;
};
