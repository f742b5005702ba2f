#pragma once
// A temporary installation: its own Windows directory (bare INI names and the registry file)
// and a data directory, so that every test starts from a workstation that has never run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace vantor::testing {

class InstallationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* previous = std::getenv("VANTOR_WINDIR");
        if (previous) previousWindir_ = previous;
        hadWindir_ = previous != nullptr;
        setenv("VANTOR_WINDIR", (root_ / "windows").c_str(), 1);
        root_.WriteFile("windows/.keep", "");
    }
    void TearDown() override {
        if (hadWindir_)
            setenv("VANTOR_WINDIR", previousWindir_.c_str(), 1);
        else
            unsetenv("VANTOR_WINDIR");
    }

    std::string Windir() const { return root_ / "windows"; }
    std::string Path(const std::string& relative) const { return root_ / relative; }

    TempDir root_;

  private:
    std::string previousWindir_;
    bool hadWindir_ = false;
};

}  // namespace vantor::testing
