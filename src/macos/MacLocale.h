#pragma once

#include "platform/Locale.h"

namespace macos {

// Foundation's current calendar, locale, time zone and formatters.
class MacLocale final : public platform::Locale {
public:
    std::string currentLocaleIdentifier() override;
    std::string currentTimeZoneName() override;
    std::optional<double> addDays(double date, long long days) override;
    std::shared_ptr<platform::DateFormatter> dateFormatterFromTemplate(const std::string& localizedTemplate) override;
    int localizedCaseInsensitiveCompare(const std::string& a, const std::string& b) override;
};

}  // namespace macos
