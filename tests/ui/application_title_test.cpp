// The application title taken from the executable's name.
#include <gtest/gtest.h>

#include "tests/ui/qt_printing.h"
#include "ui/application_title.h"

namespace pixmora {
namespace {

TEST(ApplicationTitleTest, FileNameCutAtTheFirstDotWithTheRestInLowerCase) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/usr/bin/pixmora", "pixmora"},
        {"/opt/PIXMORA.bin", "Pixmora"},
        {"/home/user/build.dir/Pix.Mora.exe", "Pix"},
        {"pixMora", "pixmora"},
        {"/x/.hidden", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ApplicationTitle(c.path), c.title);
    }
}

}  // namespace
}  // namespace pixmora
