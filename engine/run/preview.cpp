// The preview of one listed file.
#include "engine/run/preview.h"

#include <cstddef>

#include "engine/codec/jpeg_image.h"
#include "engine/codec/picture_kind.h"
#include "engine/codec/picture_to_cover.h"
#include "engine/resample/box_fit.h"
#include "engine/resample/resize_to_ratio.h"
#include "engine/text/number_text.h"

namespace pixmora {

namespace {

std::string& Measure(PreviewResult& result, MeasureLabel label) {
    return result.measures[static_cast<std::size_t>(label)];
}

PreviewResult Abandoned() {
    PreviewResult result;
    result.abandoned = true;
    return result;
}

}  // namespace

PreviewResult BlankPreview() {
    PreviewResult result;
    result.measures = {"Width : ", "Height : ", "Size : ", "Width : ", "Height : ", "Size : "};
    return result;
}

PreviewResult MakePreview(const PreviewRequest& request, const BitmapLoader& bitmaps,
                          const std::function<bool()>& superseded) {
    const auto given_up = [&superseded] { return superseded && superseded(); };
    const std::string& path = request.full_name;
    PreviewResult result = BlankPreview();
    TJPEGImage image;
    image.SetMemoryBudget(kPreviewMemoryBudget);
    try {
        // The picture box loads the file by itself, its kind chosen by the extension; the
        // image object then loads it as a JPEG file whatever its kind.
        switch (PictureKindOf(path)) {
            case PictureKind::Jpeg: {
                // One load serves both: the box's picture is a reduced decode of it.
                image.LoadFromFile(path);
                const BoxFit fit =
                    FitInBox(image.Width(), image.Height(), request.box_width, request.box_height);
                result.picture = DecodeToCover(image, fit.width, fit.height);
                result.picture_width = image.Width();
                result.picture_height = image.Height();
                break;
            }
            case PictureKind::Bitmap:
            case PictureKind::Icon:
                result.picture = bitmaps.Load(path, request.box_width, request.box_height);
                result.picture_width = result.picture.Width();
                result.picture_height = result.picture.Height();
                if (given_up()) return Abandoned();
                image.LoadFromFile(path);
                break;
            case PictureKind::Metafile:
                // No metafile reader: such a file counts as a picture of unknown kind.
                throw UnknownPictureKind(path);
        }
        Measure(result, MeasureLabel::Width) = "Width : " + FormatIntText(image.Width());
        Measure(result, MeasureLabel::Height) = "Height : " + FormatIntText(image.Height());
        Measure(result, MeasureLabel::Size) = SizeText(path);
    } catch (...) {
        result.failure = std::current_exception();
        return result;
    }

    try {
        if (given_up()) return Abandoned();
        TPixelBuffer target;
        ResizeToRatio(image, target, request.ratio);
        // A missing data folder must not send the temporary file to the working folder.
        if (request.data_dir.empty()) return result;
        if (given_up()) return Abandoned();
        const std::string temporary = request.data_dir + kPreviewFileName;
        image.SaveToFile(temporary);
        Measure(result, MeasureLabel::WidthNew) = "Width : " + FormatIntText(image.Width());
        Measure(result, MeasureLabel::HeightNew) = "Height : " + FormatIntText(image.Height());
        Measure(result, MeasureLabel::SizeNew) = SizeText(temporary);
    } catch (...) {
        // The after figures keep their reset texts.
    }
    return result;
}

void ShowPreview(const PreviewResult& result, PreviewView& view) {
    view.ShowPreviewPicture(result.picture, result.picture_width, result.picture_height);
    for (std::size_t i = 0; i < result.measures.size(); ++i)
        view.SetMeasureText(static_cast<MeasureLabel>(i), result.measures[i]);
    if (result.failure) std::rethrow_exception(result.failure);
}

}  // namespace pixmora
