#pragma once

#include "kit/Appearance.h"
#include "sim/Service.h"

namespace sim {

struct World;

// System Settings > Appearance: light or dark. The menu bar, the Dock, the
// applications' windows and every window that has no appearance of its own
// follow it.
class SystemAppearance final : public Service {
public:
    explicit SystemAppearance(World& world) : world_(world) {}

    void setDark(bool dark);
    bool isDark() const;
    // The appearance a window without one of its own is drawn in.
    kit::Appearance appearance() const { return isDark() ? kit::Appearance::DarkAqua : kit::Appearance::Aqua; }

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
};

}  // namespace sim
