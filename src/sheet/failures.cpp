#include "sheet/failures.h"

#include "platform/core/failure.h"

namespace sheet {

namespace {

std::string withDetail(int32_t number, std::string_view what)
{
    std::string text(platform::runtimeDescription(number));
    text += " (";
    text += what;
    text += ")";
    return text;
}

}  // namespace

void fail(int32_t number, std::string description)
{
    throw platform::Failure(number, std::move(description), kFailureSource);
}

void failApplication(std::string description)
{
    fail(err::kApplicationDefined, std::move(description));
}

void failSubscript(std::string_view what)
{
    fail(err::kSubscript, withDetail(err::kSubscript, what));
}

void failTypeMismatch(std::string_view what)
{
    fail(err::kTypeMismatch, withDetail(err::kTypeMismatch, what));
}

void failObjectNotSet(std::string_view what)
{
    fail(err::kObjectNotSet, withDetail(err::kObjectNotSet, what));
}

void failNotSupported(std::string_view what)
{
    fail(err::kNotSupported, withDetail(err::kNotSupported, what));
}

void failBadAddress(std::string_view address)
{
    failApplication("'" + std::string(address) + "' is not a cell or range address");
}

void failUnknownField(std::string_view collection, std::string_view name)
{
    failApplication("The pivot table has no " + std::string(collection) + " named '"
                    + std::string(name) + "'");
}

void failPivotTableOverlap(std::string_view newName, std::string_view existingName)
{
    failApplication("Pivot table '" + std::string(newName) + "' cannot be placed over pivot table '"
                    + std::string(existingName) + "'");
}

void failUnknownMember(std::string_view field, std::string_view member)
{
    failApplication("Field '" + std::string(field) + "' has no member '" + std::string(member) + "'");
}

}  // namespace sheet
