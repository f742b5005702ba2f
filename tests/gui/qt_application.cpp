// Every window test needs one application object; it is made once before the first test, unless
// another part of the test program already made it.

#include <gtest/gtest.h>

#include <QApplication>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "test_gui";
            static char* argv[] = {name, nullptr};
            static QApplication application(argc, argv);
        }
    }
};

[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
