// Swap control through GLX, or idle pacing on a steady clock.
#include "app/shell/screen_rate.h"

#include <GL/glx.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/idle_pacing.h"

namespace {

ScreenRate rateInUse = ScreenRate::UNPACED;
const char* extensionInUse = "none";
IdlePacer pacer(1.0 / IDLE_STEPS_PER_SECOND);

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalInt = int (*)(int);  // MESA: unsigned; SGI: int; both return 0 on success
using SwapIntervalUint = int (*)(unsigned);

template <typename Function>
Function lookUp(const char* name) {
  return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// Asks for an interval of one through `extension`; true when the display took it.
bool askForOneSwapPerRefresh(Display* display, const char* extension) {
  const std::string name = extension;
  if (name == "GLX_EXT_swap_control") {
    const auto swapInterval = lookUp<SwapIntervalExt>("glXSwapIntervalEXT");
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (swapInterval == nullptr || drawable == 0) return false;
    swapInterval(display, drawable, 1);
    unsigned interval = 0;
    glXQueryDrawable(display, drawable, GLX_SWAP_INTERVAL_EXT, &interval);
    return interval == 1;
  }
  if (name == "GLX_MESA_swap_control") {
    const auto swapInterval = lookUp<SwapIntervalUint>("glXSwapIntervalMESA");
    return swapInterval != nullptr && swapInterval(1) == 0;
  }
  const auto swapInterval = lookUp<SwapIntervalInt>("glXSwapIntervalSGI");
  return swapInterval != nullptr && swapInterval(1) == 0;
}

// The current window's screen's GLX extensions, or null without a current context.
const char* screenExtensions() {
  Display* const display = glXGetCurrentDisplay();
  const GLXContext context = glXGetCurrentContext();
  if (display == nullptr || context == nullptr) return nullptr;
  int screen = DefaultScreen(display);
  glXQueryContext(display, context, GLX_SCREEN, &screen);
  return glXQueryExtensionsString(display, screen);
}

constexpr const char* SWAP_CONTROLS[] = {"GLX_EXT_swap_control", "GLX_MESA_swap_control", "GLX_SGI_swap_control"};

}  // namespace

bool screenListsSwapControl() {
  const char* const extensions = screenExtensions();
  for (const char* extension : SWAP_CONTROLS) {
    if (extensionListed(extensions, extension)) return true;
  }
  return false;
}

ScreenRate keepToScreenRate() {
  rateInUse = ScreenRate::PACED_IDLE;
  const char* const extensions = screenExtensions();
  if (extensions == nullptr) return rateInUse;
  Display* const display = glXGetCurrentDisplay();
  for (const char* extension : SWAP_CONTROLS) {
    if (extensionListed(extensions, extension) && askForOneSwapPerRefresh(display, extension)) {
      rateInUse = ScreenRate::SWAP_INTERVAL;
      extensionInUse = extension;
      break;
    }
  }
  return rateInUse;
}

ScreenRate screenRate() { return rateInUse; }

void stopKeepingToScreenRate() {
  rateInUse = ScreenRate::UNPACED;
  pacer = IdlePacer(1.0 / IDLE_STEPS_PER_SECOND);
}

const char* swapControlInUse() { return extensionInUse; }

void waitForIdleTick() {
  if (rateInUse != ScreenRate::PACED_IDLE) return;
  const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  const double wait = pacer.waitBeforeStep(now);
  if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
}
