// What the Qt-free tests include.
#pragma once

#include <gtest/gtest.h>

#include "Standard.h"
