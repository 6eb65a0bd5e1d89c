#include "nxcubeselectorctrl.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

NxCubeSelectorCtrl::NxCubeSelectorCtrl(QWidget* parent) : QWidget(parent)
{
    mKind = new QComboBox(this);
    mKind->addItem(QStringLiteral("Application store cube"), StoreCube);
    mKind->addItem(QStringLiteral("Local cube file"), LocalCubeFile);
    mKind->addItem(QStringLiteral("Cube on an OLAP server"), ServerCube);
    mCube = new QLineEdit(this);
    mServer = new QLineEdit(this);
    mCatalog = new QLineEdit(this);
    mProvider = new QLineEdit(QStringLiteral("MSOLAP.2"), this);
    mServerLabel = new QLabel(QStringLiteral("Server"), this);
    mCatalogLabel = new QLabel(QStringLiteral("Catalog"), this);
    mProviderLabel = new QLabel(QStringLiteral("Provider"), this);

    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Source"), mKind);
    form->addRow(QStringLiteral("Cube"), mCube);
    form->addRow(mServerLabel, mServer);
    form->addRow(mCatalogLabel, mCatalog);
    form->addRow(mProviderLabel, mProvider);
    connect(mKind, &QComboBox::currentIndexChanged, this,
            [this](int) { showFieldsFor(selectorSourceType()); });
    showFieldsFor(StoreCube);
}

int NxCubeSelectorCtrl::selectorSourceType() const { return mKind->currentData().toInt(); }

void NxCubeSelectorCtrl::setSelectorSourceType(int type)
{
    const int index = mKind->findData(type);
    if (index >= 0)
        mKind->setCurrentIndex(index);
}

QString NxCubeSelectorCtrl::selectorCubeName() const { return mCube->text(); }
void NxCubeSelectorCtrl::setSelectorCubeName(const QString& name) { mCube->setText(name); }
QString NxCubeSelectorCtrl::selectorServer() const { return mServer->text(); }
QString NxCubeSelectorCtrl::selectorProvider() const { return mProvider->text(); }
QString NxCubeSelectorCtrl::selectorCatalog() const { return mCatalog->text(); }

void NxCubeSelectorCtrl::setServerChoice(const QString& server, const QString& catalog, const QString& provider)
{
    mServer->setText(server);
    mCatalog->setText(catalog);
    mProvider->setText(provider);
}

void NxCubeSelectorCtrl::selectorOption(bool allSources)
{
    for (int i = 0; i < mKind->count(); ++i) {
        const bool store = mKind->itemData(i).toInt() == StoreCube;
        mKind->setItemData(i, allSources || store ? QVariant() : QVariant(0), Qt::UserRole - 1);
    }
}

void NxCubeSelectorCtrl::showFieldsFor(int type)
{
    const bool server = type == ServerCube;
    for (QWidget* w : {static_cast<QWidget*>(mServerLabel), static_cast<QWidget*>(mServer),
                       static_cast<QWidget*>(mCatalogLabel), static_cast<QWidget*>(mCatalog),
                       static_cast<QWidget*>(mProviderLabel), static_cast<QWidget*>(mProvider)})
        w->setVisible(server);
    mCube->setPlaceholderText(type == LocalCubeFile ? QStringLiteral("Path of the .cub file")
                                                    : QStringLiteral("Name of the cube"));
}
