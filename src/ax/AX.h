#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "platform/Accessibility.h"
#include "platform/CFType.h"
#include "platform/Constants.h"

// Typed reads and writes over the accessibility interface. Every failure of
// the platform (an AXError, a missing value, a value of the wrong type)
// becomes an absent result, `false` or an empty list; nothing is logged or
// retried here, callers decide whether to skip their step.
namespace durazizi::AX {

using Element = platform::AXUIElementRef;

// Attribute, role and action names, as the platform spells them.
inline constexpr char kAXPositionAttribute[] = "AXPosition";
inline constexpr char kAXSizeAttribute[] = "AXSize";
inline constexpr char kAXRoleAttribute[] = "AXRole";
inline constexpr char kAXSubroleAttribute[] = "AXSubrole";
inline constexpr char kAXParentAttribute[] = "AXParent";
inline constexpr char kAXWindowsAttribute[] = "AXWindows";
inline constexpr char kAXTitleAttribute[] = "AXTitle";
inline constexpr char kAXChildrenAttribute[] = "AXChildren";
inline constexpr char kAXFocusedWindowAttribute[] = "AXFocusedWindow";
inline constexpr char kAXMinimizedAttribute[] = "AXMinimized";
inline constexpr char kAXCloseButtonAttribute[] = "AXCloseButton";
inline constexpr char kAXMainAttribute[] = "AXMain";

inline constexpr char kAXWindowRole[] = "AXWindow";

inline constexpr char kAXStandardWindowSubrole[] = "AXStandardWindow";
inline constexpr char kAXDialogSubrole[] = "AXDialog";
inline constexpr char kAXSystemDialogSubrole[] = "AXSystemDialog";
inline constexpr char kAXFloatingWindowSubrole[] = "AXFloatingWindow";
inline constexpr char kAXSystemFloatingWindowSubrole[] = "AXSystemFloatingWindow";

inline constexpr char kAXWindowCreatedNotification[] = "AXWindowCreated";
inline constexpr char kAXUIElementDestroyedNotification[] = "AXUIElementDestroyed";
inline constexpr char kAXWindowMiniaturizedNotification[] = "AXWindowMiniaturized";
inline constexpr char kAXWindowDeminiaturizedNotification[] = "AXWindowDeminiaturized";
inline constexpr char kAXTitleChangedNotification[] = "AXTitleChanged";
inline constexpr char kAXFocusedWindowChangedNotification[] = "AXFocusedWindowChanged";

inline constexpr char kAXRaiseAction[] = "AXRaise";
inline constexpr char kAXPressAction[] = "AXPress";

// The process-wide system-wide element, made on first use. Installing a new
// platform backend starts a new process, which gets its own.
Element systemWide();

// The messages themselves, as the platform calls they are named after. Every
// message Durazizi sends another process goes through these (the typed
// reads below too): a process that let the messaging timeout pass is sent
// nothing for a while and they answer kAXErrorCannotComplete at once (see
// Answering.h).
platform::AXError copyAttributeValue(const Element& element, const std::string& attribute, platform::CFType* value);
platform::AXError setAttributeValue(const Element& element, const std::string& attribute,
                                    const platform::CFType& value);
platform::AXError performAction(const Element& element, const std::string& action);
platform::AXError getWindow(const Element& element, platform::CGWindowID* windowID);
platform::AXError addNotification(const platform::AXObserverRef& observer, const Element& element,
                                  const std::string& notification);

// Reads. The element comes first, the attribute name second.
std::optional<std::string> string(const Element& element, const std::string& attribute);
// The value's boolean value when it is a number (a CFBoolean counts), else false.
bool boolValue(const Element& element, const std::string& attribute);
// The members of an array value that are elements; otherwise empty.
std::vector<Element> children(const Element& element, const std::string& attribute);
std::optional<Element> element(const Element& element, const std::string& attribute);
std::optional<kit::Point> point(const Element& element, const std::string& attribute);
std::optional<kit::Size> size(const Element& element, const std::string& attribute);

// Writes the frame of a window (top-left coordinates) as size, position,
// size. Returns whether the position write succeeded; the window may have
// been resized even when it returns false.
bool setFrame(const Element& window, const kit::Rect& frameTopLeft);

// The window element under a point in top-left coordinates: the hit element
// or one of its nearest 11 ancestors whose role is "AXWindow".
std::optional<Element> windowAtTopLeft(kit::Point pointTopLeft);

// The application's window whose window-server number is `exactWindowID`
// (0 never matches).
std::optional<Element> window(platform::pid_t pid, platform::CGWindowID exactWindowID);

// The application's window that best answers to a window-server record when
// its number cannot be matched: the first with exactly this title, else the
// one whose top-left lies nearest to `near`'s origin, else the first window.
// Absent only when the application lists no windows.
std::optional<Element> window(platform::pid_t pid, const std::optional<std::string>& title,
                              const std::optional<kit::Rect>& nearTopLeft);

}  // namespace durazizi::AX
