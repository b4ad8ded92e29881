#include <mutex>

#include "platform/DefaultsCoercion.h"
#include "sim/MemoryDefaults.h"

namespace sim {

using platform::DefaultValue;
namespace coercion = platform::coercion;

struct MemoryDefaults::Impl {
    std::mutex mutex;
    std::map<std::string, DefaultValue> registered;
    std::map<std::string, DefaultValue> user;

    // The user's value, else the registered default, as the readers see it.
    coercion::Stored lookup(const std::string& key) {
        std::lock_guard lock(mutex);
        if (auto it = user.find(key); it != user.end()) return coercion::stored(it->second);
        if (auto it = registered.find(key); it != registered.end()) return coercion::stored(it->second);
        return {};
    }

    void store(const std::string& key, DefaultValue value) {
        if (!coercion::isUsableKey(key)) return;
        std::lock_guard lock(mutex);
        user[key] = value;
    }
};

MemoryDefaults::MemoryDefaults() : impl_(std::make_unique<Impl>()) {}
MemoryDefaults::~MemoryDefaults() = default;

void MemoryDefaults::registerDefaults(const std::map<std::string, DefaultValue>& defaults) {
    std::lock_guard lock(impl_->mutex);
    for (const auto& [key, value] : defaults) {
        if (coercion::isUsableKey(key)) impl_->registered[key] = value;
    }
}

bool MemoryDefaults::boolForKey(const std::string& key) { return coercion::asBool(impl_->lookup(key)); }
std::int64_t MemoryDefaults::integerForKey(const std::string& key) { return coercion::asInteger(impl_->lookup(key)); }
double MemoryDefaults::doubleForKey(const std::string& key) { return coercion::asDouble(impl_->lookup(key)); }

void MemoryDefaults::setBool(bool value, const std::string& key) { impl_->store(key, value); }
void MemoryDefaults::setInteger(std::int64_t value, const std::string& key) { impl_->store(key, value); }
void MemoryDefaults::setDouble(double value, const std::string& key) { impl_->store(key, value); }

void MemoryDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(impl_->mutex);
    impl_->user.erase(key);
}

std::optional<DefaultValue> MemoryDefaults::objectForKey(const std::string& key) {
    std::lock_guard lock(impl_->mutex);
    const auto user = impl_->user.find(key);
    const auto registered = impl_->registered.find(key);
    const coercion::Stored stored = user != impl_->user.end() ? coercion::stored(user->second) : coercion::Stored();
    return coercion::read(user != impl_->user.end() ? &stored : nullptr,
                          registered != impl_->registered.end() ? std::optional(registered->second) : std::nullopt);
}

}  // namespace sim
