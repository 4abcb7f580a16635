// The windows inside a form that hold controls: frames and tab controls. They are registered
// under the class names of the host's own frame and tab controls, because a control that looks
// for its form steps over a container window of one of these classes to the window above it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zelmor::host {

// The frame window classes: the design-time frame and the two run-time ones.
enum class FrameClass { Design, RunTime, RunTime5 };
const wchar_t* FrameClassName(FrameClass frameClass);  // "ThunderFrame", ...
extern const wchar_t kTabClassName[];                  // "SSTabCtlWndClass"

// Paints what a container holds that has no window of its own (controls that are not
// in-place active); the form does it for all its containers.
class ContentPainter {
  public:
    virtual void PaintContents(HWND window, HDC dc) = 0;

  protected:
    ~ContentPainter() = default;
};

// A window that holds controls. Its controls' rectangles are in its client coordinates.
class Container {
  public:
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container();

    const std::wstring& Name() const { return name_; }
    HWND Window() const { return window_; }

  protected:
    Container(std::wstring name, ContentPainter& painter);
    // Creates the window of class className (registered on first use) in parent.
    void CreateContainerWindow(const wchar_t* className, HWND parent, const RECT& rect,
                               const std::wstring& text);
    virtual void Paint(HDC dc, const RECT& client) = 0;
    virtual void OnClick(POINT) {}

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring name_;
    ContentPainter& painter_;
    HWND window_ = nullptr;
};

// A frame: an etched border with a caption, around the controls it holds.
class Frame : public Container {
  public:
    Frame(std::wstring name, const std::wstring& caption, FrameClass frameClass, HWND parent,
          const RECT& rect, ContentPainter& painter);

  protected:
    void Paint(HDC dc, const RECT& client) override;
};

// A tab control: a row of tabs above one page of controls at a time. Clicking a tab, or
// Select, shows that page; the form then shows the page's controls and hides the others.
class TabContainer : public Container {
  public:
    static constexpr int kTabHeight = 24;

    TabContainer(std::wstring name, std::vector<std::wstring> pages, HWND parent, const RECT& rect,
                 ContentPainter& painter);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    int SelectedPage() const { return selected_; }
    // Shows page (0-based); false when there is no such page.
    bool Select(int page);
    // The tab of page, in client coordinates.
    RECT TabRect(int page) const;

    // Called after the page changed.
    std::function<void(int page)> onPageChanged;

  protected:
    void Paint(HDC dc, const RECT& client) override;
    void OnClick(POINT point) override;

  private:
    std::vector<std::wstring> pages_;
    int selected_ = 0;
};

}  // namespace zelmor::host
