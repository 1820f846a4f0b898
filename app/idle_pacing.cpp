// Idle pacing: a grid of ticks on a steady clock.
#include "app/idle_pacing.h"

#include <cstring>

bool extensionListed(const char* list, const char* name) {
  if (list == nullptr || name == nullptr) return false;
  const std::size_t length = std::strlen(name);
  if (length == 0) return false;
  for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
    const bool startsWord = at == list || at[-1] == ' ';
    const bool endsWord = at[length] == '\0' || at[length] == ' ';
    if (startsWord && endsWord) return true;
  }
  return false;
}

double IdlePacer::waitBeforeStep(double now) {
  if (!started_ || now >= next_ + tick_) {
    // The first step, or one more than a tick late: run now, the grid starts here.
    started_ = true;
    next_ = now + tick_;
    return 0;
  }
  const double wait = now < next_ ? next_ - now : 0;
  next_ += tick_;
  return wait;
}
