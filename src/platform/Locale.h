#pragma once

#include <memory>
#include <optional>
#include <string>

namespace platform {

// NSDateFormatter with its locale and time zone fixed when it was made.
class DateFormatter {
public:
    virtual ~DateFormatter() = default;
    // -stringFromDate:
    virtual std::string stringFromDate(double date) = 0;
};

// Foundation's current calendar, locale and formatters.
class Locale {
public:
    virtual ~Locale() = default;

    // NSLocale.currentLocale.localeIdentifier, e.g. "en_US".
    virtual std::string currentLocaleIdentifier() = 0;
    // NSTimeZone.localTimeZone.name, an IANA name.
    virtual std::string currentTimeZoneName() = 0;
    // -[NSCalendar dateByAddingUnit:NSCalendarUnitDay value:n toDate:options:0]
    // in the current calendar and time zone: the same wall-clock time n days
    // on, whatever daylight saving does in between. None when it cannot.
    virtual std::optional<double> addDays(double date, long long days) = 0;
    // An NSDateFormatter in the current locale and time zone whose format
    // comes from setLocalizedDateFormatFromTemplate:, so that the fields
    // follow the locale's order. Never null.
    virtual std::shared_ptr<DateFormatter> dateFormatterFromTemplate(const std::string& localizedTemplate) = 0;
    // -[NSString localizedCaseInsensitiveCompare:]: -1, 0 or 1.
    virtual int localizedCaseInsensitiveCompare(const std::string& a, const std::string& b) = 0;
};

}  // namespace platform
