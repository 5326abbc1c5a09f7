#pragma once
// One application object for a whole test program, made before the first
// test and destroyed after the last. Windows are drawn off screen unless the
// caller chose a platform.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "ui/application.h"

class TQtTestEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        FApplication = std::make_unique<TApplication>(argc, argv);
    }
    void TearDown() override { FApplication.reset(); }

private:
    std::unique_ptr<TApplication> FApplication;
};

inline testing::Environment* const QtTestEnvironment = testing::AddGlobalTestEnvironment(new TQtTestEnvironment);
