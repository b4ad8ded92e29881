#include "ui/TermsGate.h"

#include <utility>

#include "app/Settings.h"
#include "platform/Platform.h"

namespace durazizi {

std::shared_ptr<TermsGate> TermsGate::shared() {
    // Installing a platform starts a new process as far as the system can
    // tell, so the instance of an earlier one is not carried over.
    static std::shared_ptr<TermsGate> instance;
    static unsigned generation = 0;
    if (!instance || generation != platform::processGeneration()) {
        instance = std::make_shared<TermsGate>();
        generation = platform::processGeneration();
    }
    return instance;
}

void TermsGate::present(std::function<void()> onAgree) {
    onAgree_ = std::move(onAgree);
    ++presentCount_;
}

void TermsGate::agree() {
    Settings::setInteger("termsVersionAccepted", 1);
    // Taken out before running it: a second "I Agree" (a double click) must
    // not start the application twice.
    auto onAgree = std::exchange(onAgree_, nullptr);
    if (onAgree) onAgree();
}

}  // namespace durazizi
