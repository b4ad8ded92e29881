#include <mutex>

#include "sim/MemoryDefaults.h"

namespace sim {

using platform::DefaultValue;

namespace {

// NSUserDefaults reads any stored number as whichever type is asked for.
bool asBool(const DefaultValue& v) {
    if (auto b = std::get_if<bool>(&v)) return *b;
    if (auto i = std::get_if<std::int64_t>(&v)) return *i != 0;
    return std::get<double>(v) != 0;
}

std::int64_t asInteger(const DefaultValue& v) {
    if (auto b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (auto i = std::get_if<std::int64_t>(&v)) return *i;
    return static_cast<std::int64_t>(std::get<double>(v));   // truncates, as -integerValue does
}

double asDouble(const DefaultValue& v) {
    if (auto b = std::get_if<bool>(&v)) return *b ? 1.0 : 0.0;
    if (auto i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return std::get<double>(v);
}

}  // namespace

struct MemoryDefaults::Impl {
    std::mutex mutex;
    std::map<std::string, DefaultValue> registered;
    std::map<std::string, DefaultValue> user;

    std::optional<DefaultValue> lookup(const std::string& key) {
        std::lock_guard lock(mutex);
        if (auto it = user.find(key); it != user.end()) return it->second;
        if (auto it = registered.find(key); it != registered.end()) return it->second;
        return std::nullopt;
    }

    void store(const std::string& key, DefaultValue value) {
        std::lock_guard lock(mutex);
        user[key] = value;
    }
};

MemoryDefaults::MemoryDefaults() : impl_(std::make_unique<Impl>()) {}
MemoryDefaults::~MemoryDefaults() = default;

void MemoryDefaults::registerDefaults(const std::map<std::string, DefaultValue>& defaults) {
    std::lock_guard lock(impl_->mutex);
    for (const auto& [key, value] : defaults) impl_->registered[key] = value;
}

bool MemoryDefaults::boolForKey(const std::string& key) {
    auto v = impl_->lookup(key);
    return v ? asBool(*v) : false;
}

std::int64_t MemoryDefaults::integerForKey(const std::string& key) {
    auto v = impl_->lookup(key);
    return v ? asInteger(*v) : 0;
}

double MemoryDefaults::doubleForKey(const std::string& key) {
    auto v = impl_->lookup(key);
    return v ? asDouble(*v) : 0.0;
}

void MemoryDefaults::setBool(bool value, const std::string& key) { impl_->store(key, value); }
void MemoryDefaults::setInteger(std::int64_t value, const std::string& key) { impl_->store(key, value); }
void MemoryDefaults::setDouble(double value, const std::string& key) { impl_->store(key, value); }

void MemoryDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(impl_->mutex);
    impl_->user.erase(key);
}

std::optional<DefaultValue> MemoryDefaults::objectForKey(const std::string& key) { return impl_->lookup(key); }

}  // namespace sim
