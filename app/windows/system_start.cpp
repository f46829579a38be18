#include "app/system_start.h"

// A Windows session always has its desktop: nothing to check, nothing to hold.
bool PrepareForToolkit() {
  return true;
}

void ToolkitStarted() {}
