#include "macos/MacLocale.h"

#import <Foundation/Foundation.h>

#include <cmath>
#include <limits>

#include "macos/ObjCRef.h"

namespace macos {

namespace {

std::string text(NSString* s) {
    const char* utf8 = s ? [s UTF8String] : nullptr;
    return utf8 ? utf8 : "";
}

NSString* nsString(const std::string& s) {
    NSString* result = [NSString stringWithUTF8String:s.c_str()];
    return result ? result : @"";
}

class MacDateFormatter final : public platform::DateFormatter {
public:
    explicit MacDateFormatter(NSDateFormatter* formatter) : formatter_(ObjCRef<NSDateFormatter>::adopt(formatter)) {}
    std::string stringFromDate(double date) override {
        @autoreleasepool {
            return text([formatter_.get() stringFromDate:[NSDate dateWithTimeIntervalSince1970:date]]);
        }
    }

private:
    ObjCRef<NSDateFormatter> formatter_;
};

}  // namespace

std::string MacLocale::currentLocaleIdentifier() {
    @autoreleasepool {
        return text([[NSLocale currentLocale] localeIdentifier]);
    }
}

std::string MacLocale::currentTimeZoneName() {
    @autoreleasepool {
        return text([[NSTimeZone localTimeZone] name]);
    }
}

std::optional<double> MacLocale::addDays(double date, long long days) {
    if (!std::isfinite(date) || days > std::numeric_limits<NSInteger>::max() ||
        days < std::numeric_limits<NSInteger>::min()) {
        return std::nullopt;
    }
    @autoreleasepool {
        NSDate* result = [[NSCalendar currentCalendar] dateByAddingUnit:NSCalendarUnitDay
                                                                  value:static_cast<NSInteger>(days)
                                                                 toDate:[NSDate dateWithTimeIntervalSince1970:date]
                                                                options:0];
        if (result == nil) return std::nullopt;
        return [result timeIntervalSince1970];
    }
}

std::shared_ptr<platform::DateFormatter> MacLocale::dateFormatterFromTemplate(const std::string& localizedTemplate) {
    @autoreleasepool {
        NSLocale* locale = [NSLocale currentLocale];
        NSDateFormatter* formatter = [[NSDateFormatter alloc] init];
        [formatter setLocale:locale];
        [formatter setTimeZone:[NSTimeZone localTimeZone]];
        // The locale puts the template's fields in its own order.
        NSString* format = [NSDateFormatter dateFormatFromTemplate:nsString(localizedTemplate) options:0 locale:locale];
        [formatter setDateFormat:format ? format : nsString(localizedTemplate)];
        return std::make_shared<MacDateFormatter>(formatter);
    }
}

int MacLocale::localizedCaseInsensitiveCompare(const std::string& a, const std::string& b) {
    @autoreleasepool {
        const NSComparisonResult order = [nsString(a) localizedCaseInsensitiveCompare:nsString(b)];
        return order == NSOrderedAscending ? -1 : order == NSOrderedDescending ? 1 : 0;
    }
}

}  // namespace macos
