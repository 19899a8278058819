// The preview of one listed file.
#include "engine/run/preview.h"

#include "engine/codec/jpeg_image.h"
#include "engine/text/number_text.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resize_to_ratio.h"

namespace pixmora {

void PreviewFile(const std::vector<TListe_File>& files, BatchView& view,
                 const std::string& data_dir) {
    TJPEGImage image;
    TPixelBuffer target;
    view.ClearPicture();
    view.SetMeasureText(MeasureLabel::Width, "Width : ");
    view.SetMeasureText(MeasureLabel::WidthNew, "Width : ");
    view.SetMeasureText(MeasureLabel::Height, "Height : ");
    view.SetMeasureText(MeasureLabel::HeightNew, "Height : ");
    view.SetMeasureText(MeasureLabel::Size, "Size : ");
    view.SetMeasureText(MeasureLabel::SizeNew, "Size : ");

    const int32_t selected = view.SelectedLine();
    if (selected < 0 || static_cast<std::size_t>(selected) >= files.size()) return;
    const TListe_File& entry = files[static_cast<std::size_t>(selected)];

    view.LoadPicture(entry.FullName);
    image.LoadFromFile(entry.FullName);
    view.SetMeasureText(MeasureLabel::Width, "Width : " + FormatIntText(image.Width()));
    view.SetMeasureText(MeasureLabel::Height, "Height : " + FormatIntText(image.Height()));
    view.SetMeasureText(MeasureLabel::Size, SizeText(entry.FullName));

    try {
        ResizeToRatio(image, target, view.RatioInteger());
        // A missing data folder must not send the temporary file to the working folder.
        if (data_dir.empty()) return;
        const std::string temporary = data_dir + kPreviewFileName;
        image.SaveToFile(temporary);
        view.SetMeasureText(MeasureLabel::WidthNew, "Width : " + FormatIntText(image.Width()));
        view.SetMeasureText(MeasureLabel::HeightNew, "Height : " + FormatIntText(image.Height()));
        view.SetMeasureText(MeasureLabel::SizeNew, SizeText(temporary));
    } catch (...) {
        // The after labels keep what they show.
    }
}

}  // namespace pixmora
