// Starting the program itself: kept apart so that sessions running other code need
// no entry point.
#include "winlayer/core/program_entry.h"
#include "winlayer/headless/session.h"

namespace winlayer::headless {

void Session::Start() {
    Start(RunWinMain);
}

} // namespace winlayer::headless
