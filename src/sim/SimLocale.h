#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/Locale.h"

namespace sim {

// Foundation's calendar, locale and formatters for the simulated user
// account. Foundation itself stands on ICU, so the simulation uses ICU for
// the same answers rather than imitating them.
class SimLocale final : public platform::Locale {
public:
    SimLocale();
    ~SimLocale() override;

    std::string currentLocaleIdentifier() override;
    std::string currentTimeZoneName() override;
    std::optional<double> addDays(double date, long long days) override;
    std::shared_ptr<platform::DateFormatter> dateFormatterFromTemplate(const std::string& localizedTemplate) override;
    int localizedCaseInsensitiveCompare(const std::string& a, const std::string& b) override;

    // The account's settings; false (and no change) for a name ICU does not know.
    bool setLocaleIdentifier(const std::string& identifier);
    bool setTimeZoneName(const std::string& name);

    // The host's own zone and locale, for the playground.
    static std::string hostTimeZoneName();
    static std::string hostLocaleIdentifier();

private:
    struct Impl;
    std::mutex mutex_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
