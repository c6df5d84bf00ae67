#pragma once

#include "Vantor/IVantor.h"

// The engine the tests run on: started by the real host and backend, its context current.
IVantor& Engine();
