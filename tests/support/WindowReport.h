#pragma once

// Prints the main window's geometry as the system sees it, on one line beginning "geometry ", for
// the integration tests to check the size and the centring rule. Prints nothing where the display
// server can be asked directly.
void ReportWindowGeometry();
