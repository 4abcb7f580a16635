// Picture objects made from image files for the picture box: bitmaps (read by ImageFiles and
// made into a DIB section, with a palette for those of 256 colours or fewer), icons and
// metafiles. The picture object owns the image's handle; the palette stays with the caller.
#pragma once

#ifdef _WIN32

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "com/ComPtr.h"
#include "com/Gdi.h"
#include "controls/ImageFiles.h"

namespace zelmor {

using Palette = com::GdiObject<HPALETTE>;

struct LoadedPicture {
    com::ComPtr<IPictureDisp> picture;
    Palette palette;  // bitmaps of 256 colours or fewer
};

// Loads the file (ANSI path) with the loader of `kind`. Gives 0, or the number of the message
// to show (VE015 bitmap, VE019 metafile, VE020 icon, VE023 placeable metafile, VE001 memory).
// A metafile's extent is `metafileExtent` pixels.
int LoadPictureFile(ImageKind kind, const std::string& path, SIZE metafileExtent,
                    LoadedPicture& loaded);

}  // namespace zelmor

#endif
