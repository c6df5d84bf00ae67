#pragma once

// Asks the main window to close, as its close button would; the engine then shuts down in order.
// The host asks for it, through its platform, when a game quits; test and benchmark programs, which
// have no other way to end the run, call it too.
void RequestWindowClose();
