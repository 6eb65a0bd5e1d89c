#include "membersteps.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QStackedWidget>

void MemberSteps::SetUp()
{
    if (GetParam() == CubeModel::LocalFile) {
        writeDesignCube(folder / "Design.cub");
        openLocalCube(folder / "Design.cub");
    } else {
        writeDesignStore(folder.path());
        openStoreCube(folder.path(), QStringLiteral("Design"));
    }
    for (const char* name : {"Product", "City", "Channel"}) {
        const QString dimension = QString::fromLatin1(name);
        if (layoutList(1)->findItems(dimension, Qt::MatchExactly).isEmpty())
            continue;
        select(1, dimension);
        ASSERT_TRUE(drop(1, 2));
    }
}

void MemberSteps::open(int area, const QString& name)
{
    const QList<QListWidgetItem*> found = optionsList(area)->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    optionsList(area)->setCurrentItem(found.front());
}

NxDimEditCtrl* MemberSteps::editorOf(int area, const QString& name) const
{
    for (NxDimEditCtrl* editor : area == 1 ? wizard.rowEditors() : wizard.columnEditors()) {
        const bool attached = editor->dimension() || editor->kDimension();
        const std::string attachedName = editor->dimension() ? editor->dimension()->name()
                                         : attached         ? editor->kDimension()->name()
                                                            : std::string();
        if (attached && attachedName == name.toStdString())
            return editor;
    }
    return nullptr;
}

NxDimEditCtrl* MemberSteps::frontEditor(int area) const
{
    const auto* stack = qobject_cast<QStackedWidget*>(
        (area == 1 ? wizard.rowEditors() : wizard.columnEditors()).front()->parentWidget());
    return stack ? qobject_cast<NxDimEditCtrl*>(stack->currentWidget()) : nullptr;
}

std::string modelName(const testing::TestParamInfo<CubeModel>& info)
{
    return info.param == CubeModel::LocalFile ? "LocalCubeFile" : "StoreCube";
}

void PrintTo(CubeModel model, std::ostream* out) { *out << (model == CubeModel::LocalFile ? "local cube file" : "store cube"); }
