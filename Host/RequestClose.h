#pragma once

// Asks the main window to close, as its close button would; the engine then shuts down in order.
// For test and benchmark programs, which have no other way to end the run.
void RequestWindowClose();
