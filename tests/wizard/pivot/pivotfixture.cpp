#include "pivotfixture.h"

#include "wizard/errors/errortrap.h"
#include "wizard/forms/fmwait.h"
#include "wizard/forms/frmerrorhand.h"
#include "sheet/host/hostapplication.h"

#include <QCoreApplication>
#include <QEvent>

namespace pivottest {

PivotFixture::PivotFixture() : mHost(sheet::createApplication()) { errorShown = false; }

PivotFixture::~PivotFixture()
{
    mWizard.reset();
    if (frmErrorHand::isLoaded())
        frmErrorHand::instance().close();
    if (FmWait::isLoaded())
        FmWait::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    errorShown = false;
}

PivotWizard& PivotFixture::wizard(std::shared_ptr<sheet::Application> host)
{
    if (!mWizard) {
        if (host)
            mHost = std::move(host);
        mWizard = std::make_unique<PivotWizard>(mHost);
    }
    return *mWizard;
}

void PivotFixture::useStoreShop(bool measureList)
{
    wizard().useStoreCube(makeStoreShop(folder.path(), measureList), folder.path());
}

void PivotFixture::useLocalShop()
{
    writeShopCube(folder / "Shop.cub");
    wizard().useLocalCube(folder / "Shop.cub");
}

bool PivotFixture::trapped()
{
    if (!frmErrorHand::isLoaded())
        return false;
    frmErrorHand::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    errorShown = false;
    return true;
}

sheet::VariantArray table(const Rows& rows)
{
    const size_t columns = rows.empty() ? 0 : rows.front().size();
    sheet::VariantArray result = sheet::VariantArray::twoDimensional(rows.size(), columns);
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < columns; ++j)
            result(i, j) = rows[i].at(j);
    return result;
}

Rows rowsOf(const sheet::VariantArray& table)
{
    Rows rows;
    for (int i = 0; i <= table.upperBound(1); ++i) {
        rows.emplace_back();
        for (int j = 0; j <= table.upperBound(2); ++j)
            rows.back().push_back(table(size_t(i), size_t(j)));
    }
    return rows;
}

}  // namespace pivottest
