// The six measure labels of the main window: the source's figures before, the resized
// copy's after.
#pragma once

namespace pixmora {

enum class MeasureLabel { Width, Height, Size, WidthNew, HeightNew, SizeNew };

}  // namespace pixmora
