// A running shell for a test: its own temporary working directory, scripted dialogs, and
// the application started as the program starts it, with the main window shown.
#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "app/ShellApp.h"
#include "app/Startup.h"
#include "platform/Application.h"
#include "platform/ScriptedDialogs.h"

class TShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldDir_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("marvolt-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        scope_ = std::make_unique<TDialogsScope>(dialogs);
        // A test that ended the program leaves Qt refusing to run the modal loops of
        // dialogs until the application's own loop has run once more.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    void TearDown() override {
        app.reset();
        ProcessPendingEvents();
        scope_.reset();
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
    }
    // Starts the program with these arguments after its name and shows the main window.
    void Start(std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), "marvolt");
        app = StartApplication(std::move(arguments));
        ASSERT_TRUE(app);
        app->MainForm()->Show();
        ProcessPendingEvents();
    }
    TMainForm& Main() { return *MainForm; }

    TScriptedDialogs dialogs;
    std::unique_ptr<TApplication> app;
    std::filesystem::path dir_;

private:
    std::filesystem::path oldDir_;
    std::unique_ptr<TDialogsScope> scope_;
};
