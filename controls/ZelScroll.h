// The scroll bars as COM objects (coclasses ZelHScroll and ZelVScroll, interfaces IZelHScroll
// and IZelVScroll): a "ScrollBar" window whose scroll messages move ScrollLogic through the
// bound table. The two differ only in orientation.
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "controls/ScrollLogic.h"

namespace zelmor {

template <typename DualInterface>
class ScrollObject : public BoundControlObject<DualInterface>, private ScrollView {
  public:
    STDMETHODIMP put_DbSource(BSTR value) override;
    STDMETHODIMP get_DbIndex(BSTR* value) override;
    STDMETHODIMP put_DbIndex(BSTR value) override;
    STDMETHODIMP get_LargeChange(long* value) override;
    STDMETHODIMP put_LargeChange(long value) override;
    STDMETHODIMP get_SmallChange(long* value) override;
    STDMETHODIMP put_SmallChange(long value) override;
    STDMETHODIMP get_Max(long* value) override;
    STDMETHODIMP put_Max(long value) override;
    STDMETHODIMP get_Min(long* value) override;
    STDMETHODIMP put_Min(long value) override;
    STDMETHODIMP get_Value(long* value) override;
    STDMETHODIMP put_Value(long value) override;
    STDMETHODIMP get_AutoFirst(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AutoFirst(VARIANT_BOOL value) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Reload() override;

  protected:
    // barStyle: SBS_HORZ or SBS_VERT.
    ScrollObject(const com::ControlClass& controlClass, DWORD barStyle);

    BoundField& Binding() override { return logic_; }
    void CreateWindows() override;
    void OnWindowCreated() override;
    bool OnScroll(HWND child, bool vertical, WORD code, WORD position) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
    HRESULT OnTranslateAccelerator(MSG* msg) override;

  private:
    // ScrollView
    void SetRange(int minimum, int maximum) override;
    void SetThumb(int position) override;
    int RaiseBtrieveError(const std::string& tableName, int status) override;
    void RaiseChange() override;
    void RaiseScroll() override;
    void ShowStatus(const std::string& text) override;

    // Min or Max changed: the window's range follows.
    HRESULT PutRangeEnd(DISPID dispid, std::int32_t& end, long value);
    // The keys that move the bar, handed to its window rather than to the container.
    bool MovesTheBar(WPARAM key) const;

    DWORD barStyle_;
    ScrollLogic logic_;
};

class ZelHScroll : public ScrollObject<IZelHScroll> {
  public:
    ZelHScroll();
};

class ZelVScroll : public ScrollObject<IZelVScroll> {
  public:
    ZelVScroll();
};

HRESULT CreateZelHScroll(REFIID iid, void** out);
HRESULT CreateZelVScroll(REFIID iid, void** out);

}  // namespace zelmor

#endif
