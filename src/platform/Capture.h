#pragma once

namespace platform {

// Screen capture: the permission checks now; ScreenCaptureKit comes with the previews.
class Capture {
public:
    virtual ~Capture() = default;
    virtual bool preflightScreenCaptureAccess() = 0;   // CGPreflightScreenCaptureAccess
    virtual bool requestScreenCaptureAccess() = 0;     // CGRequestScreenCaptureAccess
    virtual int operatingSystemMajorVersion() = 0;     // NSProcessInfo.operatingSystemVersion.majorVersion
};

}  // namespace platform
