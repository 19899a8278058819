// One QApplication for the whole widget test run, on the platform the environment names
// (offscreen under CTest).
#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // Every window's start-up makes its data folder: never in the user's own.
        if (data_home_.isValid()) qputenv("XDG_DATA_HOME", data_home_.path().toLocal8Bit());
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "test_ui";
    char* argv_[2] = {name_, nullptr};
    QTemporaryDir data_home_;
    std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace
