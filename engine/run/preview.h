// The preview of the selected list line: the file shown in the picture box, its measures
// before, and after a resize at the ratio of the request, with the encoded size taken from
// a temporary file in the data folder. The work is done away from the window from a request
// taken on the window's thread; the window shows the whole result at once.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "engine/resample/pixel_buffer.h"
#include "engine/run/bitmap_loader.h"
#include "engine/run/preview_view.h"

namespace pixmora {

inline constexpr char kPreviewFileName[] = "jpg_tmp.jpg";

// The memory one preview's decoding may take: a damaged header claiming gigapixels fails at
// once instead of taking the machine's memory, while any real photo fits.
inline constexpr uint64_t kPreviewMemoryBudget = uint64_t{512} << 20;

// What a preview needs, read on the window's thread when the line is chosen.
struct PreviewRequest {
    std::string full_name;  // FullName of the selected entry
    int32_t ratio = 0;      // the ratio box's integer at the request
    std::string data_dir;   // DataDir; "" when there is none
    int32_t box_width = 0;  // the picture box's size
    int32_t box_height = 0;
};

// Everything the window shows of one preview, made together so that the figures always
// belong to the picture.
struct PreviewResult {
    // The picture for the box: at least its fit in the box, at most a few times more;
    // empty when the file could not be shown.
    TPixelBuffer picture;
    // The size of the file's own picture, which `picture` reduces: the box shows it in these
    // proportions, which a reduced decode only comes close to.
    int32_t picture_width = 0;
    int32_t picture_height = 0;
    // The six label texts, in MeasureLabel order.
    std::array<std::string, 6> measures;
    // Why showing or loading the file failed; null when it did not.
    std::exception_ptr failure;
    // The preview was given up for a newer one before it ended: show nothing of it.
    bool abandoned = false;
};

// The preview of no line: no picture, the six labels at their reset texts.
PreviewResult BlankPreview();

// The preview of one file. Failures in showing or loading the file end it with `failure`
// set: with no picture when the file could not be shown, with the picture and the reset
// labels when the JPEG load failed. Failures of the resize and of the temporary file are
// silent: the after figures keep their reset texts. Without a data folder no temporary
// file is written. `superseded`, when given, is asked between the steps; once it says true
// the preview stops and comes back abandoned (the temporary file, if it was being written,
// is written whole or not at all).
PreviewResult MakePreview(const PreviewRequest& request, const BitmapLoader& bitmaps,
                          const std::function<bool()>& superseded = {});

// Shows result on view, picture and figures together, then throws its failure if it has
// one.
void ShowPreview(const PreviewResult& result, PreviewView& view);

}  // namespace pixmora
