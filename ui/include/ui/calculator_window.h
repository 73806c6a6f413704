// Part of what the window library exports (see ui/CMakeLists.txt).
#pragma once

#include "../../calculator_window.h"
