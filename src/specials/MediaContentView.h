#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "kit/Button.h"
#include "kit/Image.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "platform/RunLoop.h"
#include "specials/MediaControl.h"
#include "specials/SpecialContent.h"

namespace durazizi {

// The now-playing content for Music and Spotify: cover art (the player's
// icon for a track without one, a note placeholder while nothing plays), the
// track's title, artist and album, and previous / play-pause / next. It asks
// the player for its state every 1.5 s while shown.
class MediaContentView : public SpecialContent {
public:
    static constexpr double kWidth = 320;
    static constexpr double kHeight = 118;
    static constexpr double kPollInterval = 1.5;      // seconds
    static constexpr double kRefreshAfterTap = 0.25;  // seconds

    MediaContentView(MediaApp app, kit::ImageRef icon);

    void viewDidShow() override;
    void viewWillHide() override;
    void layout() override;

    void tapPrev();
    void tapPlay();
    void tapNext();

    MediaApp app() const { return app_; }
    const kit::ImageView& artwork() const { return *artwork_; }
    const kit::Label& titleLabel() const { return *titleLabel_; }
    const kit::Label& artistLabel() const { return *artistLabel_; }
    const kit::Button& prevButton() const { return *prev_; }
    const kit::Button& playPauseButton() const { return *playPause_; }
    const kit::Button& nextButton() const { return *next_; }

private:
    std::weak_ptr<MediaContentView> weakSelf() {
        return std::static_pointer_cast<MediaContentView>(shared_from_this());
    }
    // Asks for the state unless an earlier request has not come back: a
    // player that does not answer must not collect one blocked script per poll.
    void requestState();
    void refresh(const std::optional<MediaControl::State>& state);
    void delayRefresh();
    void tap(std::string_view command);

    MediaApp app_;
    std::shared_ptr<kit::ImageView> artwork_;
    std::shared_ptr<kit::Label> titleLabel_;
    std::shared_ptr<kit::Label> artistLabel_;
    std::shared_ptr<kit::Button> prev_;
    std::shared_ptr<kit::Button> playPause_;
    std::shared_ptr<kit::Button> next_;
    std::shared_ptr<platform::Timer> timer_;
    kit::ImageRef fallbackIcon_;
    std::string lastTrackKey_;
    std::string playSymbol_;   // the play/pause button's, as last set from a state
    bool stateInFlight_ = false;
    // Counts the times the view was hidden: answers to requests made while
    // it was shown before are stale.
    std::uint64_t hides_ = 0;
};

}  // namespace durazizi
