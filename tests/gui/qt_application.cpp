// Every window test needs one application object; it is made once before the first test, unless
// another part of the test program already made it.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QApplication::instance() == nullptr)
            application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    // Gone before the program's exit handlers run, while Qt's own globals still stand.
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "test_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
