// Hostile callers: files, process.

#include <gtest/gtest.h>

#include "hostile/resource_counts.h"
