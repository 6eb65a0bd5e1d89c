// The world of a PivotTable build test: settings and messages kept in the
// test, a scratch folder holding the Shop cube, the real spreadsheet host,
// and the wizard driven by the test.
#pragma once

#include "pivottestcube.h"
#include "pivotwizard.h"
#include "sheet/application.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pivottest {

class PivotFixture : public testing::Test {
protected:
    PivotFixture();
    ~PivotFixture() override;

    // The wizard over `host` (the real host unless a test passes its own).
    PivotWizard& wizard(std::shared_ptr<sheet::Application> host = nullptr);
    std::shared_ptr<sheet::Application> host() const { return mHost; }

    // The Shop cube as a store cube, as a local cube file.
    void useStoreShop(bool measureList = false);
    void useLocalShop();

    // True when the error trap reported a failure; closes the report form.
    bool trapped();

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;

private:
    std::shared_ptr<sheet::Application> mHost;
    std::unique_ptr<PivotWizard> mWizard;
};

// An empty slot, and a slot holding `text`.
inline const sheet::Variant E = std::nullopt;
inline sheet::Variant S(const std::string& text) { return text; }

// A table of variants written row by row; std::nullopt is an empty slot.
using Rows = std::vector<std::vector<sheet::Variant>>;
sheet::VariantArray table(const Rows& rows);
// The table's rows, for readable comparisons.
Rows rowsOf(const sheet::VariantArray& table);

}  // namespace pivottest
