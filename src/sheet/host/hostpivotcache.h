// The host's PivotCache: the connection and command a pivot table is made
// from. Making the table is the pivot engine's work; the cache checks what
// the host itself can check first (the name, the place) and hands over.
#pragma once

#include "sheet/application.h"

#include <memory>
#include <string>

namespace sheet {

class HostWorkbook;

class HostPivotCache final : public PivotCache {
public:
    explicit HostPivotCache(std::weak_ptr<HostWorkbook> workbook);

    std::string Connection() override { return mConnection; }
    void Connection(const VariantArray& parts) override;
    int32_t CommandType() override { return mCommandType; }
    void CommandType(int32_t type) override { mCommandType = type; }
    std::string CommandText() override { return mCommandText; }
    void CommandText(const VariantArray& parts) override;
    std::shared_ptr<PivotTable> CreatePivotTable(const std::shared_ptr<Range>& destination,
                                                 const std::string& tableName) override;

private:
    std::weak_ptr<HostWorkbook> mWorkbook;
    std::string mConnection;
    int32_t mCommandType = 0;
    std::string mCommandText;
};

// The texts of a one-dimensional variant array joined in order (empty
// elements add nothing). Throws 13 for a two-dimensional array; `member`
// names the property for the description.
std::string joinedTexts(const VariantArray& parts, const std::string& member);

}  // namespace sheet
