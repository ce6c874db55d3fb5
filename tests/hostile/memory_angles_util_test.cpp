// Hostile callers: memory, angles, util.

#include <gtest/gtest.h>

#include "hostile/resource_counts.h"
