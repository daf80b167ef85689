#pragma once

#include "app/application.h"
#include "app/scripted_frontend.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "support/view_test_support.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace vortimax::test {

// Menu ids of the "new fractal" commands used by the tests.
inline constexpr int kNewMandel24 = 29016;
inline constexpr int kNewMandel = 29018;

// A program started on a temporary program directory that holds the shipped layout
// preferences and nothing else, with fractals kept small so calculations are quick.
class AppFixture : public ::testing::Test {
protected:
    AppFixture() {
        std::filesystem::copy_file(std::filesystem::path(VORTIMAX_DATA_DIR) / "PosPrefs.asc",
                                   dir / "PosPrefs.asc");
    }

    StartupOptions options() const {
        StartupOptions options;
        options.directory.dirArgument = dir.path();
        options.directory.workingDirectory = dir.path();
        options.directory.environment = [this](std::string_view name) {
            auto it = environment.find(std::string(name));
            return it == environment.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        options.directory.builtInDataDir = VORTIMAX_DATA_DIR;
        return options;
    }

    StartupResult start() { return start(options()); }
    StartupResult start(const StartupOptions& startup) {
        app = std::make_unique<Application>(frontend);
        StartupResult result = app->start(startup);
        app->views().defaultWidth = 64;
        app->views().defaultHeight = 48;
        return result;
    }

    // Creates a fractal through its menu command and waits for its image.
    FractalRecord& create(int menuId) {
        EXPECT_EQ(app->executeCommand(menuId), CommandOutcome::Done);
        FractalRecord* record = app->currentFractal();
        EXPECT_NE(record, nullptr);
        EXPECT_NE(record->view, nullptr);
        EXPECT_TRUE(testing::settled(*record));
        return *record;
    }

    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const Folder& folder : app->workspace().folders().all())
            names.push_back(folder.name());
        return names;
    }

    TempDir dir;
    std::map<std::string, std::string> environment;
    ScriptedFrontend frontend;
    std::unique_ptr<Application> app;
};

} // namespace vortimax::test
