#pragma once

// Asks the main window to close, as its close button would; the engine then shuts down in order.
// The host calls it for a game's Quit; test and benchmark programs, which have no other way to end
// the run, call it too.
void RequestWindowClose();
