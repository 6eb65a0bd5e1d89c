// How fast the member tree editor's search field answers a keystroke on a
// dimension of 100,000 members.
//
//     cmake --build build --target membersearch_bench
//     build/bench/membersearch_bench
//
// The dimension: Customer, an "all" member over 100 cities of 1,000
// customers each, captions such as "Chloé Müller 04217" (accents on purpose:
// the search folds them). The cube file is written once into a temporary
// folder and opened through the connection model (Store: the store model's
// copy of it, as the sample store's cubes are opened).
//
// Each keystroke is a real key event into the search field, then the events
// it leaves (layout of the expanded result, paint) are processed: the time
// a user waits. The text typed before the timed key is set untimed, so each
// run starts where a user typing the whole text would be.
//   FirstKeystroke: "e" on a fresh editor, reading all 100,000 captions first.
//   Keystroke/N:    the N-th step of typing "müller 4" ("m" matches about a
//                   tenth of the customers), then a backspace back to "müller ".
#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "widgets/membersearchmodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCities = 100, kCustomersPerCity = 1000;

std::string customerCaption(int number)
{
    static const char* const first[] = {"Anaïs", "Björn", "Chloé", "David", "Émile",
                                        "François", "Greta", "Håkon", "Inès", "José"};
    static const char* const last[] = {"Müller", "Núñez", "Oakley", "Søren", "Dubois",
                                       "García", "Kowalski", "Lefèvre", "Novák", "Østergaard"};
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", number);
    return std::string(first[number % 10]) + " " + last[(number / 10) % 10] + " " + digits;
}

struct Cube {
    QTemporaryDir folder;
    std::shared_ptr<olap::Cube> store;
    std::shared_ptr<olap::KCube> connection;

    Cube()
    {
        const std::filesystem::path at = folder.path().toStdString();
        olap::CubeBuilder cube({"Sales",
                                {{"Customer", olap::DimensionType::Other, {{"", true, "All Customers", {{"City"}, {"Customer"}}}}}},
                                {{"Units", olap::Aggregation::Sum, ""}}});
        for (int number = 0; number < kCities * kCustomersPerCity; ++number) {
            const std::string city = "City " + std::to_string(number / kCustomersPerCity);
            const uint32_t keys[] = {cube.dimensionKey(0, std::vector<olap::PathPart>{{city, ""}, {customerCaption(number), ""}})};
            const double values[] = {1.0};
            cube.addFact(keys, values);
        }
        olap::CubeBuilder* cubes[] = {&cube};
        olap::writeCubeFile(at / "Sales.cub", "Sales Catalog", cubes);
        olap::OlapConnection link;
        link.openLocalCube(olap::kLocalConnectionName, at / "Sales.cub");
        connection = link.databases().item(0)->cubes().item(0)->definition();
        olap::writeStoreCompanion(at / "Sales.bwf", {});
        olap::extractStoreCube((at / "pivotwizard").string(), "Sales", at / "Sales.BWC", 1);
        store = std::make_shared<olap::Cube>();
        store->loadFromFile(at / "Sales.BWC", true);
    }
};

Cube& cube()
{
    static Cube made;
    return made;
}

void attach(NxDimEditCtrl& editor, bool store)
{
    if (store) {
        editor.setDimension(cube().store->dimensionByName("Customer"));
        return;
    }
    for (const std::shared_ptr<olap::KDimension>& dimension : cube().connection->dimensions()) {
        if (dimension->name() == "Customer")
            editor.setKDimension(dimension);
    }
}

NxDimEditCtrl& shownEditor()
{
    static NxDimEditCtrl editor;
    if (!editor.isVisible()) {
        editor.resize(300, 500);
        editor.show();
        if (!QTest::qWaitForWindowExposed(&editor))
            std::fprintf(stderr, "The editor's window was not shown\n");
    }
    return editor;
}

// A key with its text (a letter such as "ü" has no key code of its own,
// as with a dead key or an input method).
void press(QLineEdit* field, Qt::Key key, const QString& text)
{
    QTest::sendKeyEvent(QTest::Click, field, key, text, Qt::NoModifier);
    QApplication::processEvents();
}

void FirstKeystroke(benchmark::State& state)
{
    NxDimEditCtrl& editor = shownEditor();
    for (auto _ : state) {
        state.PauseTiming();
        attach(editor, state.range(0) == 1);
        QApplication::processEvents();
        state.ResumeTiming();
        press(editor.searchField(), Qt::Key_E, QStringLiteral("e"));
        state.PauseTiming();
        state.counters["matches"] = editor.searchModel()->matchCount();
        editor.searchField()->clear();
        state.ResumeTiming();
    }
}

// The steps of typing "müller 4", then one backspace.
const QString kTyped = QStringLiteral("müller 4");

void Keystroke(benchmark::State& state)
{
    NxDimEditCtrl& editor = shownEditor();
    attach(editor, state.range(1) == 1);
    const int step = int(state.range(0));
    const bool backspace = step == kTyped.size();
    const QString before = backspace ? kTyped : kTyped.left(step);
    for (auto _ : state) {
        state.PauseTiming();
        editor.searchField()->setText(before);
        QApplication::processEvents();
        state.ResumeTiming();
        press(editor.searchField(), backspace ? Qt::Key_Backspace : Qt::Key_unknown,
              backspace ? QString() : kTyped.mid(step, 1));
        state.PauseTiming();
        state.counters["matches"] = editor.searchModel()->matchCount();
        state.ResumeTiming();
    }
    state.SetLabel((backspace ? kTyped.left(step - 1) : kTyped.left(step + 1)).toStdString());
}

}  // namespace

// Arguments: {1: store model, 3: connection model}.
BENCHMARK(FirstKeystroke)->Arg(3)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
// Arguments: {step of the typing, model}.
BENCHMARK(Keystroke)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 8, 1), {3, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    cube();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
