#pragma once

namespace sim {

struct World;

// The privacy settings a user grants in System Settings, and how often
// Durazizi asked for them.
class Permissions final {
public:
    explicit Permissions(World& world) : world_(world) {}

    void setAccessibilityTrusted(bool trusted);
    void setScreenRecording(bool granted);
    int accessibilityPrompts() const;       // isProcessTrustedWithOptions(prompt: true) calls
    int screenRecordingRequests() const;    // requestScreenCaptureAccess calls

private:
    World& world_;
};

}  // namespace sim
