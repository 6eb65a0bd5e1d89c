#include "rememberedchoices.h"

#include "wizard/settings/registry.h"

#include <QDir>

namespace {

const QString kTopKey = QStringLiteral("HKCU");
const QString kHostKey = QStringLiteral("Software\\Brennlow\\PivotWizard");

QString readText(const QString& name)
{
    QVariant value;
    fReadValue(kTopKey, kHostKey, name, QStringLiteral("S"), QString(), value);
    return value.toString();
}

void writeText(const QString& name, const QString& text)
{
    fWriteValue(kTopKey, kHostKey, name, QStringLiteral("S"), text);
}

}  // namespace

RememberedChoices RememberedChoices::read()
{
    RememberedChoices choices;
    choices.cube.kind = readText(QStringLiteral("LastCubeKind")).toInt();
    choices.cube.cube = readText(QStringLiteral("LastCube"));
    choices.cube.server = readText(QStringLiteral("LastServer"));
    choices.cube.catalog = readText(QStringLiteral("LastCatalog"));
    choices.cube.provider = readText(QStringLiteral("LastProvider"));
    choices.saveFolder = readText(QStringLiteral("LastSaveFolder"));
    return choices;
}

void RememberedChoices::rememberCube(const NxPivotWizardCtrl::CubeChoice& cube)
{
    if (cube.kind == 0)
        return;
    writeText(QStringLiteral("LastCubeKind"), QString::number(cube.kind));
    writeText(QStringLiteral("LastCube"), cube.cube);
    writeText(QStringLiteral("LastServer"), cube.server);
    writeText(QStringLiteral("LastCatalog"), cube.catalog);
    writeText(QStringLiteral("LastProvider"), cube.provider);
}

void RememberedChoices::rememberSaveFolder(const QString& folder)
{
    writeText(QStringLiteral("LastSaveFolder"), folder);
}

QString suggestedReportFile(const QString& folder, const QString& cubeName, const QDate& date)
{
    QString name = cubeName.trimmed().isEmpty() ? QStringLiteral("PivotTable report") : cubeName.trimmed();
    for (const QChar forbidden : {u'/', u'\\', u':', u'*', u'?', u'"', u'<', u'>', u'|'})
        name.replace(forbidden, u'-');
    return QDir(folder).filePath(name + u' ' + date.toString(Qt::ISODate) + QStringLiteral(".xlsx"));
}
