#pragma once

// A fresh folder of the test's own, removed afterwards.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace zelk20::test {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("zelk20-" + std::string(test->name()) + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

}  // namespace zelk20::test
