#include "host/zelform/FormBuilder.h"

#include "host/Automation.h"
#include "host/zelform/WindowsText.h"

namespace zelmor::host {

namespace {

FrameClass FrameClassOf(const std::string& name, SiteMode mode) {
    if (name == "ThunderFrame") return FrameClass::Design;
    if (name == "ThunderRTFrame") return FrameClass::RunTime;
    if (name == "ThunderRT5Frame") return FrameClass::RunTime5;
    // As the host's frames are: the design-time class while designing, else a run-time one.
    return mode == SiteMode::Design ? FrameClass::Design : FrameClass::RunTime5;
}

ControlSite* AddControl(Form& form, const FormItem& item, const Placement& placement,
                        HRESULT* result) {
    std::vector<NamedValue> properties;
    for (const auto& [name, value] : item.properties) {
        properties.push_back(NamedValue{Wide(name), VariantOf(value)});
    }
    if (!item.programId.empty()) {
        return form.AddControl(placement, Wide(item.programId), std::move(properties), result);
    }
    CLSID clsid;
    *result = CLSIDFromString(Wide(item.classId).c_str(), &clsid);
    if (FAILED(*result)) return nullptr;
    return form.AddControl(placement, clsid, std::move(properties), result);
}

}  // namespace

std::unique_ptr<Form> BuildForm(const FormFile& file, SiteMode mode,
                                std::vector<std::wstring>* problems) {
    auto form = std::make_unique<Form>(Wide(file.name), Wide(file.caption),
                                       SIZE{file.width, file.height}, mode);
    for (const FormItem& item : file.items) {
        Placement placement{
            Wide(item.name),
            RECT{item.left, item.top, item.left + item.width, item.top + item.height},
            item.container.empty() ? nullptr : form->FindContainer(Wide(item.container)),
            item.page};
        switch (item.kind) {
            case FormItem::Kind::Frame:
                form->AddFrame(placement, Wide(item.caption), FrameClassOf(item.frameClass, mode));
                break;
            case FormItem::Kind::Tab: {
                std::vector<std::wstring> pages;
                for (const std::string& page : item.pages) pages.push_back(Wide(page));
                form->AddTab(placement, pages);
                break;
            }
            case FormItem::Kind::Control: {
                HRESULT hr = S_OK;
                ControlSite* site = AddControl(*form, item, placement, &hr);
                if (!site) {
                    problems->push_back(placement.name + L": cannot be made: " + HresultText(hr));
                    break;
                }
                for (const std::wstring& problem : site->LoadProblems()) {
                    problems->push_back(placement.name + L"." + problem);
                }
                break;
            }
        }
    }
    form->PumpMessages();
    return form;
}

}  // namespace zelmor::host
