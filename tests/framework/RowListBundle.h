#pragma once

// Moved to tests/common; kept for the suites that still include it from here.
#include "common/TestBundle.h"
