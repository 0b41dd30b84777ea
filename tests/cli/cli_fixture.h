#pragma once

// vantrel-cli as a user runs it: a real process on real folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process_runner.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

class CliTest : public ::testing::Test {
  protected:
    // The program runs from a folder of its own, so that its log lands there.
    void SetUp() override {
        std::filesystem::copy_file(VANTREL_CLI_PATH, nativePath(program()));
        makeFolder(source());
        makeFolder(destination());
    }
#ifdef _WIN32
    std::string program() const { return temp / "vantrel-cli.exe"; }
#else
    std::string program() const { return temp / "vantrel-cli"; }
#endif
    std::string source() const { return temp / "DVD"; }
    std::string destination() const { return temp / "out"; }
    std::string log() const {
        return exists(temp / "Vantrel.log") ? readText(temp / "Vantrel.log") : "";
    }
    ProcessResult run(const std::vector<std::string>& arguments) {
        return runProgram(program(), arguments);
    }

    TempFolder temp;
};

}  // namespace vantrel::testing
