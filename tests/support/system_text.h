#pragma once
// The platform's own wording, so tests compare error texts without hard-coding them.

#include "common/system_text.h"

namespace kest::test {

using helpers::systemText;

}  // namespace kest::test
