// Mapping what was thrown onto the runtime's error numbers.
#include "platform/core/failure.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
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
    return platform::Failure(-1, "nothing was thrown");
}

std::filesystem::filesystem_error fileError(std::errc code)
{
    return std::filesystem::filesystem_error("open", "/x/y.cub", std::make_error_code(code));
}

TEST(Failure, MapsWhatWasThrownOntoRuntimeNumbersAndTexts)
{
    const std::tuple<std::function<void()>, int32_t, const char*> cases[] = {
        {[] { throw platform::Failure(50010, "Unable", "olap", 2); }, 50010, "Unable"},
        {[] { throw std::out_of_range("row 3"); }, 9, "Subscript out of range: row 3"},
        {[] { throw std::invalid_argument("x"); }, 13, "Type mismatch: x"},
        {[] { std::variant<int, double> v = 1.0; (void)std::get<int>(v); }, 13, "Type mismatch"},
        {[] { throw std::overflow_error("o"); }, 6, "Overflow: o"},
        {[] { throw std::bad_alloc(); }, 7, "Out of memory"},
        {[] { throw fileError(std::errc::no_such_file_or_directory); }, 53, "File not found"},
        {[] { throw fileError(std::errc::no_such_device); }, 68, "Device unavailable"},
        {[] { throw fileError(std::errc::permission_denied); }, 70, "Permission denied"},
        {[] { throw fileError(std::errc::no_space_on_device); }, 61, "Disk full"},
        {[] { throw std::runtime_error("r"); }, 51, "Internal error"},
        {[] { throw 42; }, 51, "Internal error"},
        {[] { platform::requireObject<int>(nullptr, "cube"); }, 91, "Object variable or With block variable not set"},
    };
    for (const auto& [thrower, number, text] : cases) {
        const platform::Failure failure = mapped(thrower);
        EXPECT_EQ(failure.number(), number) << text;
        EXPECT_EQ(failure.description().rfind(text, 0), 0u) << failure.description();
    }
}

TEST(Failure, KeepsTheSystemCodeOrTheLastPlatformErrorWhenMade)
{
    EXPECT_EQ(mapped([] { throw fileError(std::errc::permission_denied); }).lastDllError(), EACCES);
    EXPECT_EQ(mapped([] { throw platform::Failure(1, "", "olap", 2); }).source(), "olap");
    platform::setLastPlatformError(32);
    const platform::Failure made(53, "File not found");
    platform::setLastPlatformError(0);
    EXPECT_EQ(made.lastDllError(), 32);
}

}  // namespace
