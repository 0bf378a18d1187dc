// Precompiled for every test program: GoogleTest, which each program's one unit would
// otherwise parse again, and the standard headers most tests include.
#pragma once

#include "cmake/pch/Portable.h"

#include <gtest/gtest.h>
