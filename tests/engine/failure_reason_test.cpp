// Which reason each failure of the engine gives, from the real codec where it raises them.
#include "engine/run/failure_reason.h"

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_image.h"
#include "support/jpeg_maker.h"

namespace pixmora {
namespace {

// The reason of what step throws at stage, writing "/out/a.jpg".
FailureReason ReasonOfStep(const std::function<void()>& step, FailureStage stage) {
    try {
        step();
    } catch (const std::exception& failure) {
        return FailureReasonOf(failure, stage, "/out/a.jpg");
    }
    ADD_FAILURE() << "nothing thrown";
    return {};
}

void LoadBytes(const std::string& bytes) {
    TJPEGImage image;
    image.LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(FailureReasonTest, EachFailureGivesItsKindAndWhatItNames) {
    const std::string jpeg = test::MakeJpeg(test::Options(32, 32));
    struct Row {
        const char* name;
        std::function<void()> step;
        FailureStage stage;
        FailureKind kind;
        int error_number;
        std::string path;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"missing file", [] { TJPEGImage().LoadFromFile("/nonexistent/a.jpg"); },
         FailureStage::Load, FailureKind::CannotOpen, ENOENT, "", ""},
        {"text file", [] { LoadBytes("not a picture"); }, FailureStage::Load, FailureKind::NotJpeg,
         0, "", ""},
        // Cut inside the header: libjpeg's own text of the fatal error.
        {"cut header", [&] { LoadBytes(jpeg.substr(0, 30)); }, FailureStage::Load,
         FailureKind::DamagedData, 0, "", "JPEG datastream contains no image"},
        // Raised by the program with libjpeg's code: libjpeg's text for it all the same.
        {"no bytes", [] { throw EJPEG(42); }, FailureStage::Load, FailureKind::DamagedData, 0, "",
         "Empty input file"},
        {"short file", [] { throw EDamagedData(613, 49157, 27397); }, FailureStage::Load,
         FailureKind::DamagedData, 0, "", "613 bytes cannot hold a 49157 x 27397 picture"},
        {"over budget", [] { throw EMemoryBudgetExceeded(5 << 20, 1 << 20); }, FailureStage::Load,
         FailureKind::OverBudget, 0, "", ""},
        {"no memory", [] { throw EOutOfMemory(); }, FailureStage::Load, FailureKind::OutOfMemory, 0,
         "", ""},
        {"disk full", [] { throw EFCreateError("/out/a.jpg", ENOSPC); }, FailureStage::Save,
         FailureKind::CannotWrite, ENOSPC, "/out/a.jpg", ""},
        {"encoder", [] { throw EJPEG(41, "Maximum supported image dimension is 65500 pixels"); },
         FailureStage::Save, FailureKind::CannotEncode, 0, "",
         "Maximum supported image dimension is 65500 pixels"},
        {"anything else", [] { throw std::runtime_error("odd"); }, FailureStage::Save,
         FailureKind::Other, 0, "", "odd"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FailureReason reason = ReasonOfStep(row.step, row.stage);
        EXPECT_EQ(reason.kind, row.kind);
        EXPECT_EQ(reason.error_number, row.error_number);
        EXPECT_EQ(reason.path, row.path);
        EXPECT_EQ(reason.message, row.message);
    }
    const FailureReason over =
        ReasonOfStep([] { throw EMemoryBudgetExceeded(5 << 20, 1 << 20); }, FailureStage::Load);
    EXPECT_EQ(over.needed, 5u << 20);
    EXPECT_EQ(over.budget, 1u << 20);
}

TEST(FailureReasonTest, LibjpegsMessageIsKeptBesideTheCodeText) {
    try {
        LoadBytes("not a picture");
        FAIL();
    } catch (const EJPEG& failure) {
        // The window shows the code text; the message is for the command line.
        EXPECT_STREQ(failure.what(), "Erreur JPEG #53");
        EXPECT_EQ(failure.Message(), "Not a JPEG file: starts with 0x6e 0x6f");
    }
}

}  // namespace
}  // namespace pixmora
