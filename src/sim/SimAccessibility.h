#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "sim/Service.h"
#include "sim/World.h"

namespace sim {

class SimRunLoop;

// How long a message waits for a process that does not answer when nobody
// set a messaging timeout: about 6 s on macOS.
inline constexpr double kDefaultMessagingTimeout = 6.0;

// An accessibility element of the simulated world. It names its target by
// value (process, window number, nesting level) and holds no pointer into
// the world, so a handle kept past its window, its process or the whole
// desktop only ever answers kAXErrorInvalidUIElement.
struct SimElement final : platform::AXUIElement {
    enum class Kind { SystemWide, Application, Window, Content, CloseButton, MenuBar, DockList, DockItem };

    std::uint64_t world = 0;
    Kind kind = Kind::SystemWide;
    pid_t pid = 0;
    CGWindowID window = 0;
    int level = -1;   // content elements: 0 = the window's child, depth-1 = the deepest
    std::uint32_t item = 0;   // Dock items: DockItemRecord::id
    // Set with AXUIElementSetMessagingTimeout on this handle; 0 = inherit.
    // Guarded by the world's mutex.
    mutable double messagingTimeout = 0;

    SimElement(std::uint64_t w, Kind k, pid_t p = 0, CGWindowID win = 0, int lvl = -1)
        : world(w), kind(k), pid(p), window(win), level(lvl) {}
};

// Names one accessibility element of the simulated world, for tests that
// build awkward trees: the application element (window 0), a window element
// (contentLevel -1), or the content element `contentLevel` steps below the
// window (0 = the window's direct child, depth-1 = the deepest one).
struct ElementPath {
    pid_t pid = 0;
    CGWindowID window = 0;
    int contentLevel = -1;
};

// The AXUIElement API as the simulated applications answer it. The
// messaging timeouts belong to Durazizi's process and start afresh with it.
class SimAccessibility final : public platform::Accessibility, public Service {
public:
    SimAccessibility(World& world, SimRunLoop& runLoop);
    ~SimAccessibility() override;

    platform::AXUIElementRef createSystemWide() override;
    platform::AXUIElementRef createApplication(pid_t pid) override;
    platform::AXError copyAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                         platform::CFType* value) override;
    platform::AXError setAttributeValue(const platform::AXUIElementRef& element, const std::string& attribute,
                                        const platform::CFType& value) override;
    platform::AXError performAction(const platform::AXUIElementRef& element, const std::string& action) override;
    platform::AXError copyElementAtPosition(const platform::AXUIElementRef& application, float x, float y,
                                            platform::AXUIElementRef* element) override;
    platform::AXError getWindow(const platform::AXUIElementRef& element, CGWindowID* windowID) override;
    platform::AXError getPid(const platform::AXUIElementRef& element, pid_t* pid) override;
    platform::AXError setMessagingTimeout(const platform::AXUIElementRef& element, float timeoutInSeconds) override;
    platform::AXError createObserver(pid_t pid, platform::AXObserverCallback callback,
                                     platform::AXObserverRef* observer) override;
    platform::AXError addNotification(const platform::AXObserverRef& observer, const platform::AXUIElementRef& element,
                                      const std::string& notification) override;
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;

    void beginProcess() override;

    // --- faults and instrumentation ----------------------------------------------
    void failRead(pid_t pid, const std::string& attribute);
    void failWrite(pid_t pid, const std::string& attribute);
    void setDead(pid_t pid);              // the process stops answering
    // The process's main thread is stuck (or runs again): each message to it
    // blocks the caller for the messaging timeout in effect, then fails.
    void setHung(pid_t pid, bool hung);
    void failObservers(pid_t pid);        // creating an observer of that process fails
    void silence(pid_t pid);              // the application posts no notifications at all
    // Replaces what an element answers for an attribute; nullopt makes it
    // answer kAXErrorNoValue. For trees the simulated apps would not build.
    void overrideAttribute(const ElementPath& element, const std::string& attribute,
                           std::optional<platform::CFType> value);
    // Makes the window-number call fail for that window, or report `number`.
    void overrideWindowNumber(CGWindowID window, std::optional<CGWindowID> number);
    std::uint64_t calls() const;          // since the desktop was made
    std::uint64_t takeCalls();            // since the previous take
    // The position and size writes windows received since the previous take,
    // applied or not: "AXSize 700x870", "AXPosition 0,24".
    std::vector<std::string> takeWindowWrites();

private:
    using Lock = std::unique_lock<std::recursive_mutex>;

    // Pass 1 of every call: count it, then check trust, the handle, the
    // process and the window, in the order macOS fails them. Yields the
    // element on success. A message (`stall` given) to a hung process fails
    // with the time its caller must wait in `stall`.
    platform::AXError admit(const platform::AXUIElementRef& ref, const SimElement** element, double* stall);
    // The caller waits out `stall` without holding the world, then fails.
    platform::AXError unanswered(Lock& lock, double stall);
    double timeoutFor(const SimElement& e) const;   // world locked
    platform::AXError read(const SimElement& e, const std::string& attribute, platform::CFType* value);
    platform::AXError readApplication(const SimElement& e, const std::string& attribute, platform::CFType* value);
    platform::AXError readWindow(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                 platform::CFType* value);
    platform::AXError readContent(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                  platform::CFType* value);
    platform::AXError readCloseButton(const SimElement& e, const WindowRecord& w, const std::string& attribute,
                                      platform::CFType* value);
    platform::AXError readDockApplication(const SimElement& e, const std::string& attribute, platform::CFType* value);
    platform::AXError readDockList(const SimElement& e, const std::string& attribute, platform::CFType* value);
    platform::AXError readDockItem(const SimElement& e, const DockItemRecord& item, const kit::Rect& frame,
                                   const std::string& attribute, platform::CFType* value);
    void noteWindowWrite(const std::string& attribute, const platform::CFType& value);   // world locked
    platform::AXError writeWindow(WindowRecord& w, const std::string& attribute, const platform::CFType& value);
    platform::AXError hitTest(const SimElement& caller, std::optional<pid_t> onlyPid, kit::Point p,
                              platform::AXUIElementRef* element, double* stall);

    platform::AXUIElementRef make(SimElement::Kind kind, pid_t pid = 0, CGWindowID window = 0, int level = -1) const;
    platform::AXUIElementRef makeDockItem(pid_t dockPid, std::uint32_t item) const;

    struct Observer;
    void deliver(pid_t pid, CGWindowID window, const std::string& notification);   // world locked

    World& world_;
    SimRunLoop& runLoop_;
    std::vector<std::weak_ptr<Observer>> observers_;   // guarded by the world's mutex
    std::set<pid_t> observersFail_;
    std::set<pid_t> silent_;
    // Messaging timeouts Durazizi set (guarded by the world's mutex): on the
    // system-wide element (0 = the platform's default) and on application
    // elements, by process.
    double defaultTimeout_ = 0;
    std::map<pid_t, double> applicationTimeouts_;
};

}  // namespace sim
