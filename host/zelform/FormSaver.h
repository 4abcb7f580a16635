// Writing a form back to a form file: the layout of the file it was built from (names, places,
// containers, identifiers), each control's place as it is now, and each control's properties
// as the control persists them (IPersistPropertyBag::Save into the host's property bag), so
// that the file written builds a form whose controls load the same properties.
#pragma once

#include <string>
#include <vector>

#include "host/Form.h"
#include "host/zelform/FormFile.h"

namespace zelmor::host {

struct SaveRequest {
    std::wstring path;       // the file to write
    std::wstring inputPath;  // the form file the form was built from
    // Whether the form file that was read may be replaced: it is refused otherwise, so that a
    // script or command line naming it by mistake does not write over a hand-made file.
    bool overwrite = false;
};

// The form as a form file. What a control gives that the file cannot say is left out, with a
// line in notes ("Picture1.Picture: only bitmaps are written; ..."); a font is written as the
// file writes fonts, a bitmap is
// written as a BMP file beside picturesBase ("<base>.<control>.<property>.bmp") and named by
// its full path. A property the file gave that the control does not persist (set by name) is
// kept, with the control's current value when it can be read.
FormFile CurrentFormFile(const FormFile& loaded, const Form& form,
                         const std::wstring& picturesBase, std::vector<std::wstring>* notes);

// Writes the form to request.path: first to a file beside it, which then replaces the target,
// so that a failed save leaves the old file whole. Empty on success, else what went wrong.
std::wstring SaveForm(const FormFile& loaded, const Form& form, const SaveRequest& request,
                      std::vector<std::wstring>* notes);

}  // namespace zelmor::host
