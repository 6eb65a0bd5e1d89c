#include "cubestep.h"

#include "wizard/forms/frmerrorhand.h"
#include "support/controls.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

CubeStep::CubeStep() : mWorkingFolder(QDir::currentPath())
{
    errorShown = false;
    wizard.ApplicationPath(storePath(QStringLiteral("pivotwizard")));
    next();
}

CubeStep::~CubeStep()
{
    if (frmErrorHand::isLoaded())
        frmErrorHand::instance().close();
    errorShown = false;
    QDir::setCurrent(mWorkingFolder);  // the disk browser moves it
}

QString CubeStep::storePath(const QString& name) const
{
    return QString::fromStdString(store.path().string()) + QLatin1Char('/') + name;
}

void CubeStep::copySample(const QString& fileName) const
{
    const QString sample = QStringLiteral(PIVOTWIZARD_SAMPLE_STORE "/") + fileName;
    QFile::remove(storePath(fileName));
    if (!QFile::copy(sample, storePath(fileName)))
        throw std::runtime_error("cannot copy the sample " + sample.toStdString() + " (is the sample store built?)");
}

void CubeStep::damage(const QString& name) const
{
    QFile file(storePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("damaged") != 7)
        throw std::runtime_error("cannot write " + name.toStdString());
}

QStringList CubeStep::bwcFiles() const
{
    return QDir(QString::fromStdString(store.path().string())).entryList({QStringLiteral("*.BWC")}, QDir::Files);
}

NxCubeSelectorCtrl* CubeStep::selector()
{
    return wizard.findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
}

void CubeStep::chooseStoreCube(const QString& name)
{
    selector()->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
    selector()->setSelectorCubeName(name);
}

void CubeStep::chooseCubeFile(const QString& path)
{
    selector()->setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    selector()->setSelectorCubeName(path);
}

void CubeStep::chooseServerCube(const QString& server, const QString& catalog, const QString& cube,
                                const QString& provider)
{
    selector()->setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    selector()->setSelectorServer(server);
    selector()->setSelectorProvider(provider);
    selector()->setSelectorCatalog(catalog);
    selector()->setSelectorCubeName(cube);
}

bool CubeStep::click(int index)
{
    const qint16 before = wizard.currentStep();
    findControl<QPushButton>(&wizard, "butCommand", index)->click();
    return wizard.currentStep() != before;
}

QListWidget* CubeStep::details(int index) { return findControl<QListWidget>(&wizard, "lstCubeDetails", index); }
QListWidget* CubeStep::options(int index) { return findControl<QListWidget>(&wizard, "lstCubeOptions", index); }
QStringList CubeStep::area(int index) { return entries(details(index)); }

bool CubeStep::trapped() { return errorShown; }

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}
