#include "platform/Platform.h"

#include <atomic>
#include <cassert>

namespace platform {

namespace {
std::atomic<Platform*> installed{nullptr};
std::atomic<unsigned> generation{0};
}  // namespace

Platform& current() {
    Platform* backend = installed.load(std::memory_order_acquire);
    assert(backend && "no platform backend installed");
    return *backend;
}

void install(Platform* backend) {
    installed.store(backend, std::memory_order_release);
    generation.fetch_add(1, std::memory_order_acq_rel);
}

bool isInstalled() { return installed.load(std::memory_order_acquire) != nullptr; }

unsigned processGeneration() { return generation.load(std::memory_order_acquire); }

}  // namespace platform
