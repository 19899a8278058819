// The command line's choices as every file of the run reads them.
#include "cli/batch_options.h"

#include <gtest/gtest.h>

#include "cli/batch_command.h"
#include "engine/run/parallel_batch_run.h"

namespace pixmora {
namespace {

FileSettings SettingsOf(const std::vector<std::string>& args) {
    return RunSettingsOf(ParseBatchOptions(args)).file;
}

TEST(BatchOptions, EachChoiceReachesTheFilesSettings) {
    const FileSettings defaults = SettingsOf({"a.jpg"});
    EXPECT_EQ(defaults.ratio, 50);
    EXPECT_EQ(defaults.fit_width, 0);
    EXPECT_EQ(defaults.fit_height, 0);
    EXPECT_EQ(defaults.quality, 90);
    EXPECT_EQ(defaults.filter, ResampleFilter::Nearest);
    EXPECT_FALSE(defaults.keep_metadata);

    const FileSettings chosen = SettingsOf(
        {"--fit", "1600x1200", "--quality=75", "--filter", "lanczos", "--keep-metadata", "a.jpg"});
    EXPECT_EQ(chosen.fit_width, 1600);
    EXPECT_EQ(chosen.fit_height, 1200);
    EXPECT_EQ(chosen.quality, 75);
    EXPECT_EQ(chosen.filter, ResampleFilter::Lanczos);
    EXPECT_TRUE(chosen.keep_metadata);

    // The last of a repeated option counts; an upper-case X separates the sides too.
    const FileSettings repeated = SettingsOf(
        {"--fit=10x20", "--fit", "65500X1", "--filter=lanczos", "--filter=nearest", "a.jpg"});
    EXPECT_EQ(repeated.fit_width, 65500);
    EXPECT_EQ(repeated.fit_height, 1);
    EXPECT_EQ(repeated.filter, ResampleFilter::Nearest);
}

}  // namespace
}  // namespace pixmora
