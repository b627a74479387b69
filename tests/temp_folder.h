#pragma once

// A fresh folder of the test's own, removed afterwards.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace zelk20::test {

// Named after the running test and this process.
class TempFolder {
public:
    TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test->name();
        std::replace(name.begin(), name.end(), '/', '-');  // a parameterised test's name holds one
        path_ = std::filesystem::temp_directory_path() / ("zelk20-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class TempFolderTest : public ::testing::Test {
protected:
    TempFolder temp;
    const std::filesystem::path& folder = temp.path();
};

}  // namespace zelk20::test
