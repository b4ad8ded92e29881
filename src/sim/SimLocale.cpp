#include "sim/SimLocale.h"

#include <unicode/calendar.h>
#include <unicode/coll.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>

namespace sim {

namespace {

constexpr const char* kDefaultLocale = "en_US";
constexpr const char* kDefaultTimeZone = "UTC";
// ICU answers this ID for a zone it does not know.
constexpr const char* kUnknownZone = "Etc/Unknown";

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

std::unique_ptr<icu::TimeZone> makeZone(const std::string& name) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name)));
    icu::UnicodeString id;
    if (!zone || zone->getID(id) == icu::UnicodeString(kUnknownZone)) return nullptr;
    return zone;
}

// A locale ICU has data for: its language at least must be one ICU knows.
bool knownLocale(const icu::Locale& locale) {
    if (locale.isBogus() || locale.getLanguage()[0] == '\0') return false;
    int32_t count = 0;
    const icu::Locale* available = icu::Locale::getAvailableLocales(count);
    for (int32_t i = 0; i < count; ++i) {
        if (std::string_view(available[i].getLanguage()) == locale.getLanguage()) return true;
    }
    return false;
}

class IcuDateFormatter final : public platform::DateFormatter {
public:
    explicit IcuDateFormatter(std::unique_ptr<icu::SimpleDateFormat> format) : format_(std::move(format)) {}

    std::string stringFromDate(double date) override {
        if (!format_ || !std::isfinite(date)) return "";
        icu::UnicodeString out;
        std::lock_guard lock(mutex_);
        format_->format(date * 1000.0, out);
        return utf8(out);
    }

private:
    std::mutex mutex_;
    std::unique_ptr<icu::SimpleDateFormat> format_;
};

}  // namespace

struct SimLocale::Impl {
    icu::Locale locale{kDefaultLocale};
    std::string localeId = kDefaultLocale;
    std::string zoneName = kDefaultTimeZone;
    std::unique_ptr<icu::TimeZone> zone = makeZone(kDefaultTimeZone);
    // Made on first use for the current locale: both are costly to build.
    std::unique_ptr<icu::Collator> collator;
    std::unique_ptr<icu::DateTimePatternGenerator> patterns;
};

SimLocale::SimLocale() : impl_(std::make_unique<Impl>()) {}
SimLocale::~SimLocale() = default;

std::string SimLocale::currentLocaleIdentifier() {
    std::lock_guard lock(mutex_);
    return impl_->localeId;
}

std::string SimLocale::currentTimeZoneName() {
    std::lock_guard lock(mutex_);
    return impl_->zoneName;
}

bool SimLocale::setLocaleIdentifier(const std::string& identifier) {
    icu::Locale locale = icu::Locale::createCanonical(identifier.c_str());
    if (identifier.empty() || !knownLocale(locale)) return false;
    std::lock_guard lock(mutex_);
    impl_->locale = locale;
    impl_->localeId = identifier;
    impl_->collator.reset();
    impl_->patterns.reset();
    return true;
}

bool SimLocale::setTimeZoneName(const std::string& name) {
    auto zone = makeZone(name);
    if (!zone) return false;
    std::lock_guard lock(mutex_);
    impl_->zone = std::move(zone);
    impl_->zoneName = name;
    return true;
}

std::optional<double> SimLocale::addDays(double date, long long days) {
    // ICU's calendars span about 5.8 million years either side of 1970;
    // past that it answers without complaint, but with no real date.
    if (!std::isfinite(date) || std::fabs(date) > 1.8e14) return std::nullopt;
    // ICU adds an int32 count; anything beyond that is no date a calendar
    // can give.
    if (days > INT32_MAX || days < INT32_MIN) return std::nullopt;
    std::lock_guard lock(mutex_);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(impl_->zone->clone(), impl_->locale, status));
    if (U_FAILURE(status) || !calendar) return std::nullopt;
    // Adding to the day field keeps the wall-clock time across a
    // daylight-saving change, as NSCalendar does.
    calendar->setTime(date * 1000.0, status);
    calendar->add(UCAL_DATE, static_cast<int32_t>(days), status);
    const UDate result = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return result / 1000.0;
}

std::shared_ptr<platform::DateFormatter> SimLocale::dateFormatterFromTemplate(const std::string& localizedTemplate) {
    std::lock_guard lock(mutex_);
    UErrorCode status = U_ZERO_ERROR;
    if (!impl_->patterns) {
        impl_->patterns.reset(icu::DateTimePatternGenerator::createInstance(impl_->locale, status));
        if (U_FAILURE(status)) impl_->patterns.reset();
    }
    status = U_ZERO_ERROR;
    icu::UnicodeString pattern = icu::UnicodeString::fromUTF8(localizedTemplate);
    if (impl_->patterns) {
        icu::UnicodeString best = impl_->patterns->getBestPattern(pattern, status);
        if (U_SUCCESS(status)) pattern = best;
    }
    status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, impl_->locale, status);
    if (U_FAILURE(status)) return std::make_shared<IcuDateFormatter>(nullptr);
    format->setTimeZone(*impl_->zone);
    return std::make_shared<IcuDateFormatter>(std::move(format));
}

int SimLocale::localizedCaseInsensitiveCompare(const std::string& a, const std::string& b) {
    std::lock_guard lock(mutex_);
    UErrorCode status = U_ZERO_ERROR;
    if (!impl_->collator) {
        impl_->collator.reset(icu::Collator::createInstance(impl_->locale, status));
        if (U_FAILURE(status) || !impl_->collator) {
            impl_->collator.reset();
            return a < b ? -1 : (b < a ? 1 : 0);
        }
        // Secondary strength: accents count, case does not.
        impl_->collator->setStrength(icu::Collator::SECONDARY);
    }
    status = U_ZERO_ERROR;
    const UCollationResult result = impl_->collator->compareUTF8(a, b, status);
    if (U_FAILURE(status)) return a < b ? -1 : (b < a ? 1 : 0);
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

std::string SimLocale::hostTimeZoneName() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    if (!zone || zone->getID(id) == icu::UnicodeString(kUnknownZone)) return kDefaultTimeZone;
    return utf8(id);
}

std::string SimLocale::hostLocaleIdentifier() {
    const icu::Locale& host = icu::Locale::getDefault();
    if (!knownLocale(host) || (std::string_view(host.getLanguage()) == "en" && host.getCountry()[0] == '\0')) {
        return kDefaultLocale;
    }
    return host.getName();
}

}  // namespace sim
