// Hostile callers: storage, version.

#include <gtest/gtest.h>

#include "hostile/resource_counts.h"
