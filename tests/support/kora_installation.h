#pragma once
// The tests build the whole installation on disk with the demo installation's builder, the same
// code that builds the demo, under the tests' own namespace.

#include "demo/kora_installation.h"

namespace vantor::testing {
using namespace vantor::demo;
}  // namespace vantor::testing
