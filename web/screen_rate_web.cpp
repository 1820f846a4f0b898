// Never faster than the screen, in the page: the browser calls each frame from
// requestAnimationFrame, once per refresh, so there is nothing to ask for and
// nothing to wait for.
#include "app/shell/screen_rate.h"

namespace {

ScreenRate current = ScreenRate::UNPACED;

}  // namespace

ScreenRate keepToScreenRate() {
  current = ScreenRate::SWAP_INTERVAL;
  return current;
}

bool screenListsSwapControl() { return true; }

ScreenRate screenRate() { return current; }

void stopKeepingToScreenRate() { current = ScreenRate::UNPACED; }

const char* swapControlInUse() { return "requestAnimationFrame"; }

void waitForIdleTick() {}
