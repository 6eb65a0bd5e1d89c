#include "platform/services/buildinfo.h"

#include "buildstamp.h"

#include <charconv>

namespace platform {

std::string buildVersion() { return plainVersion(PIVOTWIZARD_PROJECT_VERSION); }

std::string buildStamp() { return PIVOTWIZARD_BUILD_STAMP; }

std::string plainVersion(std::string_view dotted)
{
    std::string text;
    for (int part = 0; part < 3; ++part) {
        const size_t dot = dotted.find('.');
        const std::string_view digits = dotted.substr(0, dot);
        unsigned long number = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
        text += (part ? "." : "") + std::to_string(number);
        dotted = dot == std::string_view::npos ? std::string_view() : dotted.substr(dot + 1);
    }
    return text;
}

}  // namespace platform
