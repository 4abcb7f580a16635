// The picture box as a COM object (coclass ZelPic, interface IZelPic, events _DZelPicEvents): a
// window of its own that draws the picture its bound field names (PictureLogic), on its
// background, border and sunken edge, at its own size or stretched.
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "controls/PictureFiles.h"
#include "controls/PictureLogic.h"

namespace zelmor {

class ZelPic : public BoundControlObject<IZelPic>, private PictureView {
  public:
    ZelPic();

    STDMETHODIMP get_PictureType(short* value) override;
    STDMETHODIMP put_PictureType(short value) override;
    STDMETHODIMP get_Stretch(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Stretch(VARIANT_BOOL value) override;
    STDMETHODIMP get_BlobPath(BSTR* value) override;
    STDMETHODIMP put_BlobPath(BSTR value) override;

  protected:
    BoundField& Binding() override { return logic_; }
    void CreateWindows() override {}  // the picture draws its own window
    void OnDraw(HDC dc, const RECT& bounds) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // PictureView
    void LoadPicture(ImageKind kind, const std::string& path) override;
    void ClearPicture() override;

    // Shows a picture the field brought (none: an empty box) and fires Change.
    void ShowPicture(LoadedPicture loaded);
    void RenderPicture(HDC dc, const RECT& area);

    PictureLogic logic_;
    Palette palette_;  // of the picture shown, when it has one
    bool stretch_ = false;
    short pictureType_ = 0;
};

HRESULT CreateZelPic(REFIID iid, void** out);

}  // namespace zelmor

#endif
