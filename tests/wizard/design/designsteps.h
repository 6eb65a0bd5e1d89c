// The design steps of a shown wizard, over the Design cube opened as a local
// cube file or as the store cube (whose measures stand in the Rows area).
#pragma once

#include "common/wizardtest.h"
#include "wizard/design/layoutdrag.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <memory>

enum class CubeModel { LocalFile, Store };

class DesignSteps : public WizardTest {
protected:
    DesignSteps()
    {
        wizard.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    }
    void openDesign(CubeModel model)
    {
        if (model == CubeModel::LocalFile) {
            writeCube(folder / "Design.cub", "Design Catalog", "Design", designCube(), {"Units", "Amount"});
            openCube(kCubeFile, path("Design.cub"));
        } else {
            writeStoreCube(folder.path(), "Design", designCube(), {true, "Measure List"}, {"Units", "Amount"});
            openCube(kStoreCube, QStringLiteral("Design"));
        }
    }
    // Drags the selected entry of layout list `from` onto list `to` as the
    // mouse would; whether the target took the drop.
    bool drop(int from, int to)
    {
        const std::unique_ptr<QMimeData> data(layoutDragData(&wizard, from));
        QWidget* viewport = wizard.lstCubeDetails[size_t(to)]->viewport();
        const QPointF centre = QRectF(viewport->rect()).center();
        QDragEnterEvent enter(centre.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(centre, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        return dropped.isAccepted();
    }
    // Moves `name` from layout list `from` to `to` by drag and drop.
    void move(int from, const char* name, int to)
    {
        select(wizard.lstCubeDetails[size_t(from)], QString::fromLatin1(name));
        ASSERT_TRUE(drop(from, to)) << name;
    }
    QListWidget* layout(int index) const { return wizard.lstCubeDetails[size_t(index)]; }
};
