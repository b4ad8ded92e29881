#include "app/main.h"

#include <memory>

#include "app/AppDelegate.h"
#include "platform/Platform.h"

namespace durazizi {

int applicationMain() {
    auto& application = platform::current().application();
    // The application object keeps the delegate for the life of the process.
    application.setDelegate(std::make_shared<AppDelegate>());
    return application.run();
}

}  // namespace durazizi
