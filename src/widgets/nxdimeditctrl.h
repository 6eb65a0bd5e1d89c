// NxDimEditCtrl: the member tree editor. Shows the member tree of one
// dimension with a check box per member; the wizard reads which members are
// checked (to include) and which were unchecked (to hide).
//
// This first version carries the editor's interface and an empty tree; the
// member model arrives with the cube engine.
#pragma once

#include <QList>
#include <QWidget>

class QTreeView;

class NxDimEditCtrl : public QWidget {
    Q_OBJECT

public:
    explicit NxDimEditCtrl(QWidget* parent = nullptr);

    // 1: store cube model, 3: connection model.
    int mode() const { return mMode; }
    void setMode(int mode) { mMode = mode; }
    // True while a dimension is attached.
    bool hasDimension() const { return false; }
    // The number of members checked in the tree.
    int checkedMemberCount() const { return 0; }

Q_SIGNALS:
    void selectedMemberRightClick(const QString& memberUniqueName);

private:
    int mMode = 1;
    QTreeView* mTree = nullptr;
};
