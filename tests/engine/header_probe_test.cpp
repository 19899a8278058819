// The header read in pieces: what it tells of each kind of file, and how little it reads.
#include "engine/run/header_probe.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

TEST(HeaderProbeTest, EachKindOfFileAsTheRunWouldLoadIt) {
    test::TempFolder folder;
    const std::string jpeg = test::MakeJpeg(test::Options(40, 30));
    const std::string fifo = folder.Slash() + "pipe.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Row {
        std::string path;
        bool read;
        FailureKind kind;
        int error_number;
        int width;
    };
    const std::vector<Row> rows = {
        {folder.WriteFile("a.jpg", jpeg), true, FailureKind::None, 0, 40},
        {folder.WriteFile("empty.jpg", ""), true, FailureKind::None, 0, 0},
        {folder.WriteFile("text.jpg", "not a picture"), false, FailureKind::NotJpeg, 0, 0},
        {folder.WriteFile("cut.jpg", jpeg.substr(0, 100)), false, FailureKind::DamagedData, 0, 0},
        {folder.Slash() + "missing.jpg", false, FailureKind::CannotOpen, ENOENT, 0},
        {folder.Path().string(), false, FailureKind::NotRegularFile, 0, 0},
        // Never opened for reading: a pipe would hold the probe up.
        {fifo, false, FailureKind::NotRegularFile, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const HeaderProbe probe = ProbeJPEGHeader(row.path, 16);
        EXPECT_EQ(probe.read, row.read);
        EXPECT_EQ(probe.failure.kind, row.kind);
        EXPECT_EQ(probe.failure.error_number, row.error_number);
        EXPECT_EQ(probe.header.width, row.width);
    }
}

TEST(HeaderProbeTest, ReadsOnlyUpToTheFirstScan) {
    test::TempFolder folder;
    test::JpegOptions options = test::Options(2000, 1500);
    // A header larger than the first piece, and a picture far larger than the header.
    options.app_segments.push_back(std::string(1, '\xe9') + std::string(60000, 'x'));
    options.app_segments.push_back(std::string(1, '\xe9') + std::string(60000, 'y'));
    const std::string jpeg = test::MakeJpeg(options);
    const std::string path = folder.WriteFile("big.jpg", jpeg);
    const HeaderProbe probe = ProbeJPEGHeader(path, 4096);
    ASSERT_TRUE(probe.read);
    EXPECT_EQ(probe.header.width, 2000);
    EXPECT_EQ(probe.header.height, 1500);
    EXPECT_GT(probe.bytes_read, 120000u);
    EXPECT_LT(probe.bytes_read, 2 * 130000u);
    EXPECT_LT(probe.bytes_read, jpeg.size() / 2);
}

}  // namespace
}  // namespace pixmora
