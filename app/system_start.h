// What the program needs of the system before the toolkit starts, in files named for it.
#pragma once

// Prepares the process for the toolkit and checks that there is a display to show the window
// on; false, with the reason on stderr, when there is none.
bool PrepareForToolkit();

// Called once the toolkit has started (or failed to): lets go of what the check still held.
void ToolkitStarted();
