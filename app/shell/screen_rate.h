// Never faster than the screen: one buffer swap per refresh where the display
// offers swap control, otherwise idle steps held to IDLE_STEPS_PER_SECOND.
#pragma once

// How the program keeps to the screen's rate.
enum class ScreenRate {
  UNPACED,        // nothing asked: tools and tests that step explicitly
  SWAP_INTERVAL,  // the display holds each swap to a refresh
  PACED_IDLE,     // the idle callback waits for the next tick
};

// Asks the current window's display for one swap per refresh through the first
// of GLX_EXT_swap_control, GLX_MESA_swap_control and GLX_SGI_swap_control that
// its extension list names (a driver returns addresses for functions it does
// not support, so the list decides); when none is listed or the request fails,
// the idle callback paces its steps instead. Call once, after the window exists.
ScreenRate keepToScreenRate();

// Whether the current window's screen lists one of the three swap-control extensions.
bool screenListsSwapControl();

// The way in use (UNPACED until keepToScreenRate has run).
ScreenRate screenRate();

// Back to UNPACED, for a test that ran keepToScreenRate (a swap interval
// already granted stays with the window).
void stopKeepingToScreenRate();

// Name of the swap-control extension that keepToScreenRate used, or "none".
const char* swapControlInUse();

// Waits, when the idle steps are paced, until the next step may run.
void waitForIdleTick();
