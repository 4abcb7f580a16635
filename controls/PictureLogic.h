// The picture box apart from its window: a transfer gives it the file name its bound String
// field holds, and it asks its window to load that file by its ending. ZelPic owns one and is
// its view.
#pragma once

#include <string>

#include "controls/BoundField.h"
#include "controls/ImageFiles.h"

namespace zelmor {

class PictureView {
  public:
    virtual ~PictureView() = default;
    // Loads the file into a new picture and shows it; a failure shows its message and keeps the
    // picture shown.
    virtual void LoadPicture(ImageKind kind, const std::string& path) = 0;
    // Shows no picture.
    virtual void ClearPicture() = 0;
};

class PictureLogic : public BoundField {
  public:
    PictureLogic(ControlHost& host, BindingRegistry& registry, PictureView& view)
        : BoundField(ControlKind::Picture, RegistryList::Field, host, registry), view_(view) {}

    // The folder of the image files (ANSI); empty: the field holds the whole path.
    std::string blobPath;

    // The path of the file a field value names.
    std::string PathOf(const std::string& text) const;

    // BoundControl: a transfer shows the image the field names; a field naming no file shows no
    // picture. The picture takes no part in reading or clearing.
    void SetFieldText(const std::string& text) override;

  private:
    PictureView& view_;
};

}  // namespace zelmor
