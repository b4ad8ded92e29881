#pragma once

#include <string_view>

#include "tools/scenario/Args.h"
#include "tools/scenario/Parser.h"

namespace scenario {

// One command of the scenario language. Commands the runner does not carry
// out yet have no parser and are refused as such.
struct CommandEntry {
    std::string_view name;
    Action (*parse)(Args& args) = nullptr;
};

const CommandEntry* findCommand(std::string_view name);

// `query WHAT ...`
Action parseQuery(Args& args);

// The Dock and its preview (DockCommands.cpp).
Action parseDock(Args& args);
Action parseDockItem(Args& args);
Action parseHoverDock(Args& args);
Action parseClickTile(Args& args);
Action parseCloseTile(Args& args);

// The pointer and the left button (PointerCommands.cpp).
Action parseMove(Args& args);
Action parseDown(Args& args);
Action parseDrag(Args& args);
Action parseUp(Args& args);
Action parseClick(Args& args);
Action parseKey(Args& args);
Action parseScroll(Args& args);

// Durazizi's own windows and panels (UiCommands.cpp).
Action parseClickStatusItem(Args& args);
Action parsePress(Args& args);
Action parseAgree(Args& args);
Action parseDecline(Args& args);
Action parseStep(Args& args);
Action parseSlide(Args& args);
Action parsePick(Args& args);
Action parseCloseWindow(Args& args);
// `query panel|prefs|terms|guide|status-item`; none for other queries.
std::optional<Action> parseUiQuery(const std::string& what);
// Music players, scripts and downloads (MediaCommands.cpp).
Action parsePlayer(Args& args);
Action parseFailScript(Args& args, bool hang);
Action parsePlayerQuery(Args& args);
Action parseScriptsQuery(Args& args);
Action parseDownloadsQuery(Args& args);
// The special panel (SpecialQuery.cpp).
Action parseSpecialQuery(Args& args);

// The system's appearance, the menu bar and the Dock as drawn (DesktopCommands.cpp).
Action parseAppearance(Args& args);
Action parseMenuBarQuery();
Action parseDockQuery();
Action parseMinimizeWindow(Args& args);
// Spaces (SpaceCommands.cpp).
Action parseSpace(Args& args);
Action parseSpacesQuery(Args& args);

// A picture of the desktop (SnapshotCommand.cpp).
Action parseSnapshot(Args& args);

}  // namespace scenario
