#include "controls/PictureLogic.h"

#include "messages/Messages.h"
#include "platform/Platform.h"
#include "values/FieldDef.h"

namespace zelmor {

std::string PictureLogic::PathOf(const std::string& text) const {
    return blobPath.empty() ? text : blobPath + "\\" + text;
}

void PictureLogic::SetFieldText(const std::string& text) {
    // Only a String field names a file; a Blob holding image bytes is not read here.
    if (FieldType() != kString) return;
    // A record without an image shows none, rather than the last record's picture.
    if (text.find_first_not_of(' ') == std::string::npos) {
        view_.ClearPicture();
        return;
    }
    const std::string path = PathOf(text);
    if (!platform::CurrentPlatform().FileExists(path)) {
        ShowMessage(VE819, path.c_str());
        return;
    }
    const ImageKind kind = ImageKindOf(text);
    if (kind != ImageKind::None) view_.LoadPicture(kind, path);
}

}  // namespace zelmor
