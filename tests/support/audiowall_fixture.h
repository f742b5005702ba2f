#pragma once
// The tests build the Audiowall on disk with the demo installation's builder, the same
// code that builds the demo, under the tests' own namespace.

#include "demo/audiowall_fixture.h"

namespace vantor::testing {
using namespace vantor::demo;
}  // namespace vantor::testing
