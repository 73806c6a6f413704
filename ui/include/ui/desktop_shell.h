// Part of what the window library exports (see ui/CMakeLists.txt).
#pragma once

#include "../../desktop_shell.h"
