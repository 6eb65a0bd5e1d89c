// membertreebench [MEMBERS]: times the member tree editor (NxDimEditCtrl) on a
// level of MEMBERS members (default 100,000), through both cube models.
//
//     QT_QPA_PLATFORM=offscreen build/tools/membertreebench 100000
//
// It builds a cube in a temporary folder with two dimensions: "Flat", one
// level of MEMBERS members, and "Tree", a single "all" member above them.
// For each model and dimension it times what the wizard does when it opens a
// dimension: attach it to an editor, check the default selection (the flat
// level, or the children of the single top member, revealed), lay the tree
// out and paint it. It times reading checkedMembers and hiddenMembers once.
// Then it scrolls from top to bottom in 200 steps, painting each, and
// reports the mean and the slowest step. Runs headless unless a
// platform is chosen. A release or RelWithDebInfo build gives the figures
// that matter.
#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void writeBenchCube(const std::filesystem::path& file, int members)
{
    olap::CubeSpec spec{"Bench",
                        {{"Flat", olap::DimensionType::Other, {{"", false, "", {{"Customer"}}}}},
                         {"Tree", olap::DimensionType::Other, {{"", true, "All Customers", {{"Customer"}}}}}},
                        {{"Units", olap::Aggregation::Sum, ""}}};
    olap::CubeBuilder cube(spec);
    for (int i = 0; i < members; ++i) {
        const std::vector<olap::PathPart> path{{"Customer " + std::to_string(i), ""}};
        const uint32_t keys[] = {cube.dimensionKey(0, path), cube.dimensionKey(1, path)};
        const double values[] = {1.0};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Bench Catalog", cubes);
}

// The wizard's default selection: the top level, or the children of a
// single top member.
DimMembers defaultSelection(const MemberList& top)
{
    const MemberList level = top.count() == 1 ? top.at(0).children() : top;
    DimMembers members;
    members.reserve(size_t(level.count()));
    for (int i = 0; i < level.count(); ++i)
        members.push_back(level.at(i));
    return members;
}

struct Timing {
    double openMs = 0;
    double scrollMeanMs = 0;
    double scrollWorstMs = 0;
    double readMs = 0;  // checkedMembers and hiddenMembers, as the PivotTable build reads them
    int rows = 0;
};

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

template <class Attach>
void openDimension(NxDimEditCtrl& editor, Attach&& attach, const MemberList& top)
{
    attach(editor);
    editor.checkMembers(defaultSelection(top), false, true);
    editor.treeView()->doItemsLayout();
    editor.repaint();
}

Timing scrollToBottom(NxDimEditCtrl& editor, Timing timing)
{
    QScrollBar* bar = editor.treeView()->verticalScrollBar();
    constexpr int kSteps = 200;
    double total = 0;
    for (int step = 1; step <= kSteps; ++step) {
        QElapsedTimer timer;
        timer.start();
        bar->setValue(int(qint64(bar->maximum()) * step / kSteps));
        editor.repaint();
        const double ms = msSince(timer);
        total += ms;
        timing.scrollWorstMs = std::max(timing.scrollWorstMs, ms);
    }
    timing.scrollMeanMs = total / kSteps;
    return timing;
}

template <class Attach>
Timing timeEditor(Attach&& attach, const MemberList& top)
{
    NxDimEditCtrl editor;
    editor.resize(400, 600);
    editor.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    openDimension(editor, attach, top);
    Timing timing;
    timing.openMs = msSince(timer);
    timing.rows = editor.checkedMemberCount();
    timer.restart();
    const size_t read = editor.checkedMembers().size() + editor.hiddenMembers().size();
    timing.readMs = msSince(timer);
    if (read == 0)
        std::printf("(nothing checked)\n");
    return scrollToBottom(editor, timing);
}

void report(const char* model, const char* dimension, const Timing& timing)
{
    std::printf("%-10s %-5s %7d checked  open %6.1f ms  read %5.1f ms  scroll step mean %5.2f ms, worst %6.2f ms\n",
                model, dimension, timing.rows, timing.openMs, timing.readMs, timing.scrollMeanMs, timing.scrollWorstMs);
}

void benchStoreModel(const std::filesystem::path& folder)
{
    olap::writeStoreCompanion(folder / "Bench.bwf", {});
    if (!olap::extractStoreCube((folder / "pivotwizard").string(), "Bench", folder / "Bench.BWC", 1)) {
        std::fprintf(stderr, "membertreebench: the store cube could not be written\n");
        std::exit(1);
    }
    QElapsedTimer load;
    load.start();
    auto cube = std::make_shared<olap::Cube>();
    cube->loadFromFile(folder / "Bench.BWC", true);
    std::printf("store model: cube loaded in %.1f ms (not part of the editor's figures)\n", msSince(load));
    for (const char* name : {"Flat", "Tree"}) {
        const std::shared_ptr<olap::Dimension> dimension = cube->dimensionByName(name);
        const auto attach = [&](NxDimEditCtrl& editor) { editor.setDimension(dimension); };
        report("store", name, timeEditor(attach, MemberList::topMembers(*dimension)));
    }
}

void benchConnectionModel(const std::filesystem::path& folder)
{
    QElapsedTimer load;
    load.start();
    olap::OlapConnection connection;
    connection.openLocalCube(olap::kLocalConnectionName, folder / "Bench.cub");
    const std::shared_ptr<olap::KCube> cube = connection.databases().item(0)->cubes().item(0)->definition();
    std::printf("connection model: cube opened in %.1f ms (not part of the editor's figures)\n", msSince(load));
    for (const std::shared_ptr<olap::KDimension>& dimension : cube->dimensions()) {
        if (dimension->name() != "Flat" && dimension->name() != "Tree")
            continue;
        const auto attach = [&](NxDimEditCtrl& editor) { editor.setKDimension(dimension); };
        report("connection", dimension->name().c_str(), timeEditor(attach, MemberList::topMembers(*dimension)));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int members = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (members < 1) {
        std::fprintf(stderr, "usage: membertreebench [MEMBERS]\n");
        return 2;
    }
    QTemporaryDir folder;
    const std::filesystem::path path = folder.path().toStdString();
    QElapsedTimer build;
    build.start();
    writeBenchCube(path / "Bench.cub", members);
    std::printf("cube of %d members per dimension built in %.0f ms\n", members, msSince(build));
    benchConnectionModel(path);
    benchStoreModel(path);
    return 0;
}
