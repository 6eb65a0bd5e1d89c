// One run of the host program's window, driven through the wizard's seven
// steps the way a user clicks through them, ending with Finish and the
// report saved as `output`.
#pragma once

#include "hostwindow.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class NxDimEditCtrl;
namespace sheet {
class Application;
}

namespace pivottest {

class WizardRun {
public:
    using Names = std::vector<std::string>;

    WizardRun(const std::filesystem::path& storeFolder, std::shared_ptr<sheet::Application> host,
              const std::filesystem::path& output);

    // Cube step: a store cube by name, or a local cube file; then Next.
    void chooseStoreCube(const std::string& name);
    void chooseLocalCube(const std::filesystem::path& file);
    // Layout step: the three areas; then Next.
    void arrange(const Names& pages, const Names& rows, const Names& columns);
    // Measures step: exactly these measures checked; then Next.
    void chooseMeasures(const Names& checked);
    // A member step (rows, then columns): for each dimension of its list in
    // turn, the changes to its default selection; then Next.
    struct MemberChoice {
        std::string dimension;
        Names check;
        Names uncheck;
    };
    void chooseMembers(bool columns, const std::vector<MemberChoice>& choices);
    // Layout step: the sheet (an entry of the sheet list), the start cell and
    // the options; then Finish.
    struct Layout {
        std::string sheet = "New Sheet";
        std::string column = "B";
        int row = 3;
        bool chart = false;
        bool rowGrand = true;
        bool columnGrand = true;
        bool rowSubtotals = true;
        bool columnSubtotals = true;
        int decimalPlaces = -1;  // -1: not set
    };
    void finish(const Layout& layout);

    HostWindow& window() { return mWindow; }
    // The editor of `dimension` among the row or column editors.
    NxDimEditCtrl* editorOf(bool columns, const std::string& dimension) const;

private:
    void next();
    int step() const;

    HostWindow mWindow;
};

}  // namespace pivottest
