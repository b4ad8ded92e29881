#include "macos/MacDefaults.h"

#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

namespace macos {

namespace {

NSString* nsString(const std::string& text) { return [NSString stringWithUTF8String:text.c_str()]; }

NSNumber* nsNumber(const platform::DefaultValue& value) {
    if (auto b = std::get_if<bool>(&value)) return [NSNumber numberWithBool:*b];
    if (auto i = std::get_if<std::int64_t>(&value)) return [NSNumber numberWithLongLong:*i];
    return [NSNumber numberWithDouble:std::get<double>(value)];
}

platform::coercion::Stored stored(id object) {
    if (object == nil) return std::monostate{};
    if ([object isKindOfClass:[NSNumber class]]) {
        NSNumber* number = object;
        // A property list keeps booleans apart from numbers; CFBoolean is
        // the only way to tell them apart through NSNumber.
        CFTypeRef cf = (__bridge CFTypeRef)number;
        if (CFGetTypeID(cf) == CFBooleanGetTypeID()) return static_cast<bool>([number boolValue]);
        if (CFNumberIsFloatType(static_cast<CFNumberRef>(cf))) return [number doubleValue];
        return static_cast<std::int64_t>([number longLongValue]);
    }
    if ([object isKindOfClass:[NSString class]]) {
        const char* text = [static_cast<NSString*>(object) UTF8String];
        return std::string(text ? text : "");
    }
    return std::monostate{};
}

}  // namespace

void MacDefaults::registerDefaults(const std::map<std::string, platform::DefaultValue>& defaults) {
    @autoreleasepool {
        NSMutableDictionary* dictionary = [NSMutableDictionary dictionary];
        std::lock_guard lock(mutex_);
        for (const auto& [key, value] : defaults) {
            if (!platform::coercion::isUsableKey(key)) continue;
            registered_[key] = value;
            [dictionary setObject:nsNumber(value) forKey:nsString(key)];
        }
        [[NSUserDefaults standardUserDefaults] registerDefaults:dictionary];
    }
}

platform::coercion::Stored MacDefaults::userValue(const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return std::monostate{};
    @autoreleasepool {
        NSString* domain = [[NSBundle mainBundle] bundleIdentifier];
        if (domain == nil) return std::monostate{};
        NSDictionary* persistent = [[NSUserDefaults standardUserDefaults] persistentDomainForName:domain];
        return stored([persistent objectForKey:nsString(key)]);
    }
}

platform::coercion::Stored MacDefaults::effectiveValue(const std::string& key) {
    auto user = userValue(key);
    if (!std::holds_alternative<std::monostate>(user)) return user;
    std::lock_guard lock(mutex_);
    auto it = registered_.find(key);
    if (it == registered_.end()) return std::monostate{};
    return platform::coercion::stored(it->second);
}

bool MacDefaults::boolForKey(const std::string& key) { return platform::coercion::asBool(effectiveValue(key)); }

std::int64_t MacDefaults::integerForKey(const std::string& key) {
    return platform::coercion::asInteger(effectiveValue(key));
}

double MacDefaults::doubleForKey(const std::string& key) { return platform::coercion::asDouble(effectiveValue(key)); }

void MacDefaults::setBool(bool value, const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return;
    @autoreleasepool {
        [[NSUserDefaults standardUserDefaults] setBool:value forKey:nsString(key)];
    }
}

void MacDefaults::setInteger(std::int64_t value, const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return;
    @autoreleasepool {
        [[NSUserDefaults standardUserDefaults] setObject:[NSNumber numberWithLongLong:value] forKey:nsString(key)];
    }
}

void MacDefaults::setDouble(double value, const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return;
    @autoreleasepool {
        [[NSUserDefaults standardUserDefaults] setDouble:value forKey:nsString(key)];
    }
}

void MacDefaults::removeObjectForKey(const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return;
    @autoreleasepool {
        [[NSUserDefaults standardUserDefaults] removeObjectForKey:nsString(key)];
    }
}

std::optional<platform::DefaultValue> MacDefaults::objectForKey(const std::string& key) {
    if (!platform::coercion::isUsableKey(key)) return std::nullopt;
    auto user = userValue(key);
    std::optional<platform::DefaultValue> registered;
    {
        std::lock_guard lock(mutex_);
        if (auto it = registered_.find(key); it != registered_.end()) registered = it->second;
    }
    const bool hasUser = !std::holds_alternative<std::monostate>(user);
    return platform::coercion::read(hasUser ? &user : nullptr, registered);
}

}  // namespace macos
