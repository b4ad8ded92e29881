#include "dock/DockObserver.h"
#include "dock/DockWorld.h"

namespace {

using docktest::DockWorld;
using durazizi::DockObserver;

class Dock : public DockWorld {};

TEST_F(Dock, ItemsAreServedFromATwoSecondCache) {
    const auto editor = appWithWindows("Editor", 1);
    DockObserver dock;
    auto items = dock.items(false);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].title, "Editor");
    EXPECT_EQ(items[0].frame, iconFrame("Editor"));
    ASSERT_TRUE(items[0].runningApp);
    EXPECT_EQ(items[0].runningApp->processIdentifier(), editor);

    // A new icon shows only once the cache is two seconds old, or on a forced read.
    desktop().time().advance(1);
    appWithWindows("Notes", 1);
    desktop().accessibility().takeCalls();
    EXPECT_EQ(dock.items(false).size(), 1u);
    desktop().time().advance(0.9);
    EXPECT_EQ(dock.items(false).size(), 1u);
    EXPECT_EQ(desktop().accessibility().takeCalls(), 0u);
    EXPECT_EQ(dock.items(true).size(), 2u);

    // A full read starts a new period.
    desktop().time().advance(1.9);
    auto hit = dock.item({iconFrame("Notes").midX(), iconFrame("Notes").midY()});
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->title, "Notes");
    appWithWindows("Mail", 1);
    EXPECT_EQ(dock.items(false).size(), 2u);
    desktop().time().advance(0.2);
    EXPECT_EQ(dock.items(false).size(), 3u);
}

TEST_F(Dock, ARestartedDockIsLookedUpAgain) {
    appWithWindows("Editor", 2);
    appWithWindows("Notes", 1);
    DockObserver dock;
    ASSERT_EQ(dock.items(false).size(), 2u);
    const auto before = desktop().dock().pid();

    desktop().dock().restart();
    ASSERT_NE(desktop().dock().pid(), before);
    auto items = dock.items(true);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].frame, iconFrame("Notes"));

    // The hover loop, which holds its own observer, carries on too.
    startHover();
    showPreviewOf("Editor");
    desktop().dock().restart();
    desktop().input().move({700, 300});
    desktop().time().advance(3);
    showPreviewOf("Notes");
    EXPECT_TRUE(previewVisible());
}

TEST_F(Dock, ADockThatIsNotRunningYieldsNothingAndKeepsTheCache) {
    appWithWindows("Editor", 1);
    DockObserver dock;
    ASSERT_EQ(dock.items(false).size(), 1u);
    desktop().dock().setRunning(false);
    EXPECT_TRUE(dock.items(true).empty());
    EXPECT_EQ(dock.items(false).size(), 1u);   // the earlier read, still fresh
    desktop().time().advance(2.5);
    EXPECT_TRUE(dock.items(false).empty());
    EXPECT_TRUE(dock.items(false).empty());
    desktop().dock().setRunning(true);
    EXPECT_EQ(dock.items(false).size(), 1u);
}

}  // namespace
