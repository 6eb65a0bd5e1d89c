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
    // Drags `name` from layout list `from` onto list `to` as the mouse would.
    void move(int from, const char* name, int to)
    {
        select(wizard.lstCubeDetails[size_t(from)], QString::fromLatin1(name));
        const std::unique_ptr<QMimeData> data(layoutDragData(&wizard, from));
        QWidget* viewport = wizard.lstCubeDetails[size_t(to)]->viewport();
        const QPointF centre = QRectF(viewport->rect()).center();
        QDragEnterEvent enter(centre.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        ASSERT_TRUE(enter.isAccepted()) << name;
        QDropEvent dropped(centre, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        ASSERT_TRUE(dropped.isAccepted()) << name;
    }
    QListWidget* layout(int index) const { return wizard.lstCubeDetails[size_t(index)]; }
};
