#include "designwizard.h"

#include "wizard/design/layoutdrag.h"
#include "wizard/errors/errortrap.h"
#include "wizard/forms/frmerrorhand.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "support/controls.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <vector>

void writeDesignCube(const std::filesystem::path& file)
{
    using olap::DimensionType;
    olap::CubeSpec spec{"Design",
                        {{"Time", DimensionType::Time, {{"", false, "", {{"Year"}, {"Quarter"}}}}},
                         {"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}},
                         {"City", DimensionType::Other, {{"", false, "", {{"City"}}}}},
                         {"Channel", DimensionType::Other, {{"", false, "", {{"Channel"}}}}}},
                        {{"Units", olap::Aggregation::Sum, ""}, {"Amount", olap::Aggregation::Sum, ""}}};
    olap::CubeBuilder cube(spec);
    using Path = std::vector<olap::PathPart>;
    const Path quarters[] = {{{"1997", ""}, {"Q1", ""}}, {{"1997", ""}, {"Q2", ""}}, {{"1998", ""}, {"Q3", ""}}};
    const Path items[] = {{{"Drinks", ""}, {"Cola", ""}}, {{"Drinks", ""}, {"Juice", ""}},
                          {{"Food", ""}, {"Bread", ""}}, {{"Food", ""}, {"Cake", ""}}};
    const char* const cities[] = {"Paris", "Rome", "Oslo"};
    const uint32_t web = cube.dimensionKey(3, Path{{"Web", ""}});
    for (int i = 0; i < 12; ++i) {
        const uint32_t keys[] = {cube.dimensionKey(0, quarters[i % 3]), cube.dimensionKey(1, items[i % 4]),
                                 cube.dimensionKey(2, Path{{cities[i % 3], ""}}), web};
        const double values[] = {double(i + 1), 10.0 * (i + 1)};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Design Catalog", cubes);
}

void writeDesignStore(const std::filesystem::path& folder)
{
    writeDesignCube(folder / "Design.cub");
    olap::writeStoreCompanion(folder / "Design.bwf", {true, "Measure List"});
}

DesignSteps::DesignSteps()
{
    errorShown = false;
    wizard.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&wizard));
}

void DesignSteps::TearDown()
{
    if (!errorShown)
        return;
    const frmErrorHand& form = frmErrorHand::instance();
    ADD_FAILURE() << "a failure reached the error trap in " << form.errProcedure.toStdString() << ": "
                  << form.errDescription.toStdString();
}

void DesignSteps::openLocalCube(const std::filesystem::path& file)
{
    auto* selector = wizard.findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    clickNext();
    selector->setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    selector->setSelectorCubeName(QString::fromStdString(file.string()));
    clickNext();
    ASSERT_EQ(wizard.currentStep(), 2) << "the cube did not load";
}

void DesignSteps::openStoreCube(const std::filesystem::path& storeFolder, const QString& name)
{
    wizard.ApplicationPath(QString::fromStdString((storeFolder / "pivotwizard").string()));
    clickNext();
    auto* selector = wizard.findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    selector->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
    selector->setSelectorCubeName(name);
    clickNext();
    ASSERT_EQ(wizard.currentStep(), 2) << "the store cube did not load";
}

void DesignSteps::goToStep(int step)
{
    while (wizard.currentStep() < step) {
        const qint16 before = wizard.currentStep();
        clickNext();
        if (wizard.currentStep() == before)
            return;
    }
}

void DesignSteps::clickNext() { findControl<QPushButton>(&wizard, "butCommand", 1)->click(); }
void DesignSteps::clickBack() { findControl<QPushButton>(&wizard, "butCommand", 0)->click(); }

QListWidget* DesignSteps::layoutList(int index) const
{
    return findControl<QListWidget>(&wizard, "lstCubeDetails", index);
}

QListWidget* DesignSteps::optionsList(int index) const
{
    return findControl<QListWidget>(&wizard, "lstCubeOptions", index);
}

QStringList DesignSteps::entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QString DesignSteps::selected(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

bool DesignSteps::drop(int from, int to)
{
    const std::unique_ptr<QMimeData> data(layoutDragData(&wizard, from));
    QWidget* viewport = layoutList(to)->viewport();
    const QPointF centre = QRectF(viewport->rect()).center();
    QDragEnterEvent enter(centre.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(centre, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
    return dropped.isAccepted();
}

void DesignSteps::select(int index, const QString& name)
{
    const QList<QListWidgetItem*> found = layoutList(index)->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    layoutList(index)->setCurrentItem(found.front());
}
