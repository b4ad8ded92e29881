#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "platform/Constants.h"

namespace sim {

// The kinds of application window the painter tells apart, named after the
// layout each gets.
enum class WindowKind { Document, Editor, Browser, Terminal, Notes, Mail, Media, Calendar };

// Which layout an app's windows get: from words in its bundle identifier
// ("terminal", "editor", "browser", "notes", …), and for an app none of them
// names, a stable pick leaning to the plain document.
WindowKind windowKind(const std::string& bundleId);

// What an application window shows, as a person would recognise it: the
// title bar (the window buttons and a band in the title's colour), then a
// toolbar, a sidebar tinted with the app's colour, and a document, code,
// web page, terminal session, note, mailbox, library or month as the app's
// kind asks. Details (text lengths, the selected row, pictures, colours of a
// page) follow the window number, so two windows of one app differ; the
// same window always looks the same.
//
// `width` × `height` pixels, premultiplied RGBA as kit::Image packs it, the
// window scaled to fit and centred: pixels whose centres lie outside the
// window, or outside its rounded corners, are transparent. Plain pixel math,
// safe on any thread. `dark` paints the window as its app draws it in the
// dark appearance.
std::vector<std::uint32_t> paintWindow(const std::string& title, const std::string& bundleId,
                                       platform::CGWindowID id, kit::Size windowSize, int width, int height,
                                       bool dark = false);

}  // namespace sim
