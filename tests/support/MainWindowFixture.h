#pragma once
// A fresh program per test: recording message box, prompt and progress, an
// Application over a temporary program folder, and the main window loaded.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RecordingBatchProgress.h"
#include "RecordingMessageBox.h"
#include "RecordingTextPrompt.h"
#include "WindowsTestKit.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell::test {

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { TestApp(); }
    void TearDown() override {
        main.reset();
        FlushDeletes();
        app.reset();
    }

    // Writes Tintwell.ini in the program folder before the start.
    void WriteIni(const std::string& text) {
        WriteFile(programFolder.Path() / "Tintwell.ini", text);
    }
    std::string Ini() const { return ReadFile(programFolder.Path() / "Tintwell.ini"); }
    bool IniHas(const std::string& line) const {
        return Ini().find(line + "\r\n") != std::string::npos;
    }

    // Builds the program and runs the main window's load, then shows it.
    void Start() {
        app =
            std::make_unique<Application>(AppInfo(programFolder.Path().string()), messages, prompt);
        main = std::make_unique<frm>(*app, &progress);
        main->Form_Load();
        main->show();
        QCoreApplication::processEvents();
    }
    // Closes the main window as the user would, then lets the program end.
    void Close() {
        main->close();
        main.reset();
        FlushDeletes();
        app.reset();
    }

    // Texts of the message boxes shown so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& r : messages.shown)
            t.push_back(r.text);
        return t;
    }

    TempFolder programFolder;
    RecordingMessageBox messages;
    RecordingTextPrompt prompt;
    RecordingBatchProgress progress;
    std::unique_ptr<Application> app;
    std::unique_ptr<frm> main;
};

}  // namespace tintwell::test
