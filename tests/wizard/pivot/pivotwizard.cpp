#include "pivotwizard.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "pivottestcube.h"
#include "support/controls.h"
#include "widgets/nxdimeditctrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <stdexcept>

PivotWizard::PivotWizard(std::shared_ptr<sheet::Application> host)
{
    xlApp(std::move(host));
}

void PivotWizard::useStoreCube(std::shared_ptr<olap::Cube> cube, const std::filesystem::path& folder)
{
    ApplicationPath(QString::fromStdString((folder / "pivotwizard").string()));
    cubeSourceKind = 1;
    sourceCube = QStringLiteral("Shop");
    loadedPath = QString::fromStdString((folder / "Shop.BWC").string());
    storeCatalogName = QString::fromStdString(cube->catalogName());
    storeCubeName = QString::fromStdString(cube->cubeName());
    measuresDimensionName = QString::fromStdString(cube->measuresDimension()->name());
    loadedCube = std::move(cube);
    loadedKCube.reset();
    loadedKind = 1;
}

void PivotWizard::useLocalCube(const std::filesystem::path& file)
{
    cubeSourceKind = 2;
    sourceCube = QString::fromStdString(file.string());
    sourceProvider = QStringLiteral("MSOLAP.2");
    loadedKCube = pivottest::openLocalCube(file);
    loadedCube.reset();
    loadedKind = 2;
}

void PivotWizard::useServerCube(const std::filesystem::path& file, const QString& provider, const QString& server,
                                const QString& catalog)
{
    useLocalCube(file);
    cubeSourceKind = 4;
    loadedKind = 4;
    sourceCube = QString::fromStdString(loadedKCube->name());
    sourceCatalog = catalog;
    sourceLocation = server;
    providerConnectionName = provider;
}

std::shared_ptr<olap::KDimension> PivotWizard::kDimensionNamed(const QString& name) const
{
    for (const auto& dimension : loadedKCube->dimensions())
        if (QString::fromStdString(dimension->name()) == name)
            return dimension;
    throw std::invalid_argument("no dimension " + name.toStdString());
}

std::shared_ptr<olap::Dimension> PivotWizard::storeDimension(const char* name) const
{
    return loadedCube->dimensionByName(name);
}

NxDimEditCtrl* PivotWizard::openEditor(bool columns, int index, const QString& dimension)
{
    NxDimEditCtrl* editor = memberEditor(columns ? 2 : 1, qint16(index));
    if (cubeSourceKind == 1)
        editor->setDimension(loadedCube->dimensionByName(dimension.toStdString()));
    else
        editor->setKDimension(kDimensionNamed(dimension));
    return editor;
}

NxDimEditCtrl* PivotWizard::openMeasures()
{
    if (cubeSourceKind == 1)
        NxDimEditMembers->setDimension(loadedCube->measuresDimension());
    else
        NxDimEditMembers->setKDimension(loadedKCube->dimensions().measuresDimension());
    return NxDimEditMembers;
}

NxDimEditCtrl* PivotWizard::openMeasureList()
{
    NxDimEditMembers->setDimension(loadedCube->measureListDimension());
    return NxDimEditMembers;
}

namespace {

void collect(const DimMember& member, DimMembers& all)
{
    all.push_back(member);
    const MemberList children = member.children();
    for (int i = 0; i < children.count(); ++i)
        collect(children.at(i), all);
}

}  // namespace

void PivotWizard::check(NxDimEditCtrl* editor, const Names& uniqueNames, bool uncheck)
{
    DimMembers all;
    const MemberList top = editor->dimension() ? MemberList::topMembers(*editor->dimension())
                                               : MemberList::topMembers(*editor->kDimension());
    for (int i = 0; i < top.count(); ++i)
        collect(top.at(i), all);
    DimMembers chosen;
    for (const std::string& name : uniqueNames) {
        const auto found = std::find_if(all.begin(), all.end(),
                                        [&](const DimMember& member) { return member.uniqueName() == name; });
        if (found == all.end())
            throw std::invalid_argument("no member " + name);
        chosen.push_back(*found);
    }
    editor->checkMembers(chosen, uncheck);
}

namespace {

QStringList qtNames(const PivotWizard::Names& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list;
}

}  // namespace

void PivotWizard::arrange(const Names& pages, const Names& rows, const Names& columns)
{
    const Names* areas[] = {&pages, &rows, &columns};
    for (size_t area = 1; area <= 3; ++area) {
        lstCubeDetails[area]->clear();
        lstCubeDetails[area]->addItems(qtNames(*areas[area - 1]));
    }
}

void PivotWizard::chooseSheet(const Names& entries, const std::string& chosen)
{
    auto* sheets = findControl<QComboBox>(this, "cboInsertSheet");
    sheets->clear();
    sheets->addItems(qtNames(entries));
    sheets->setCurrentIndex(sheets->findText(QString::fromStdString(chosen)));
}

void PivotWizard::chooseStartCell(const QString& column, const QString& row)
{
    auto* columns = findControl<QComboBox>(this, "cboAZ");
    columns->setCurrentIndex(columns->findText(column));
    findControl<QLineEdit>(this, "fraText", 1)->setText(row);
}

void PivotWizard::applyMembers(const std::shared_ptr<sheet::PivotTable>& table, const QString& dimension,
                               quint8 orientationKind)
{
    PivotBuild build;
    build.pt = table;
    build.orientationKind = orientationKind;
    FieldMembers field;
    if (cubeSourceKind == 1)
        field.dimension = loadedCube->dimensionByName(dimension.toStdString());
    else
        field.kDimension = kDimensionNamed(dimension);
    applyMemberStates(build, field, 0);
}
