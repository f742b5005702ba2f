#pragma once
// The tests build scheduler logs written line by line with the demo installation's builder, the
// same code that builds the demo, under the tests' own namespace.

#include "demo/scheduler_log_writer.h"

namespace vantor::testing {
using namespace vantor::demo;
}  // namespace vantor::testing
