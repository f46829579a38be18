// A Windows program has no connection to its display that can break under it: its desktop ends
// only with the session, which closes the program as Exit does (windows/system_close.cpp).
#include "app/display_loss.h"

DisplayLossHandler::DisplayLossHandler(std::function<void()>) {}

DisplayLossHandler::~DisplayLossHandler() = default;
