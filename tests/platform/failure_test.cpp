// Mapping what was thrown onto the runtime's error numbers.
#include "platform/core/failure.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <system_error>
#include <variant>

#include <gtest/gtest.h>

namespace {

platform::Failure mapped(const std::function<void()>& thrower)
{
    try {
        thrower();
    } catch (...) {
        return platform::toFailure(std::current_exception());
    }
    ADD_FAILURE() << "nothing was thrown";
    return platform::Failure(0, "");
}

std::filesystem::filesystem_error fileError(std::errc code)
{
    return std::filesystem::filesystem_error("open", "/x/y.cub", std::make_error_code(code));
}

TEST(Failure, KeepsAFailureAsItIs)
{
    const auto f = mapped([] { throw platform::Failure(50010, "Unable", "olap", 2); });
    EXPECT_EQ(f.number(), 50010);
    EXPECT_EQ(f.description(), "Unable");
    EXPECT_EQ(f.source(), "olap");
    EXPECT_EQ(f.lastDllError(), 2);
}

TEST(Failure, MapsStandardExceptionsOntoRuntimeNumbers)
{
    const std::pair<std::function<void()>, int32_t> cases[] = {
        {[] { throw std::out_of_range("i"); }, 9},
        {[] { throw std::invalid_argument("x"); }, 13},
        {[] { std::variant<int, double> v = 1.0; (void)std::get<int>(v); }, 13},
        {[] { throw std::overflow_error("o"); }, 6},
        {[] { throw std::bad_alloc(); }, 7},
        {[] { throw fileError(std::errc::no_such_file_or_directory); }, 53},
        {[] { throw fileError(std::errc::no_such_device); }, 68},
        {[] { throw fileError(std::errc::permission_denied); }, 70},
        {[] { throw fileError(std::errc::no_space_on_device); }, 61},
        {[] { throw std::runtime_error("r"); }, 51},
        {[] { throw 42; }, 51},
    };
    int row = 0;
    for (const auto& [thrower, number] : cases)
        EXPECT_EQ(mapped(thrower).number(), number) << "row " << row++;
}

TEST(Failure, FileSystemFailuresKeepTheirSystemCodeAsLastPlatformError)
{
    const auto f = mapped([] { throw fileError(std::errc::permission_denied); });
    EXPECT_EQ(f.lastDllError(), EACCES);
    EXPECT_NE(f.description().find("Permission denied"), std::string::npos);
}

TEST(Failure, DescriptionStartsWithTheRuntimeText)
{
    EXPECT_EQ(mapped([] { throw std::out_of_range("row 3"); }).description(), "Subscript out of range: row 3");
}

TEST(Failure, CapturesTheLastPlatformErrorWhenMade)
{
    platform::setLastPlatformError(32);
    const platform::Failure f(53, "File not found");
    platform::setLastPlatformError(0);
    EXPECT_EQ(f.lastDllError(), 32);
}

TEST(Failure, RequireObjectFailsWithObjectNotSet)
{
    EXPECT_EQ(mapped([] { platform::requireObject<int>(nullptr, "cube"); }).number(), 91);
    int value = 3;
    EXPECT_EQ(&platform::requireObject(&value, "value"), &value);
}

}  // namespace
