#include "pages/Pages.h"

#include "pages/PropertyPage.h"

namespace zelmor {

namespace {

HRESULT CreatePage(const wchar_t* className, REFIID iid, void** out) {
    const pages::PageDefinition* page = pages::FindPageDefinition(className);
    if (page == nullptr) {
        if (out != nullptr) *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return pages::CreatePropertyPage(*page, iid, out);
}

}  // namespace

#define ZELMOR_PAGE_CREATOR(name)                  \
    HRESULT Create##name(REFIID iid, void** out) { \
        return CreatePage(L## #name, iid, out);    \
    }

ZELMOR_PAGE_CREATOR(ZelBtrPpg)
ZELMOR_PAGE_CREATOR(ZelBtnPpg)
ZELMOR_PAGE_CREATOR(ZelEditPpg)
ZELMOR_PAGE_CREATOR(ZelListBoxPpg)
ZELMOR_PAGE_CREATOR(ZelComboBoxPpg)
ZELMOR_PAGE_CREATOR(ZelCheckPpg)
ZELMOR_PAGE_CREATOR(ZelOptBtnPpg)
ZELMOR_PAGE_CREATOR(ZelPicPpg)
ZELMOR_PAGE_CREATOR(ZelHScrollPpg)
ZELMOR_PAGE_CREATOR(ZelVScrollPpg)
ZELMOR_PAGE_CREATOR(ZelGridPpg)
ZELMOR_PAGE_CREATOR(ZelExComboBoxPpg)
ZELMOR_PAGE_CREATOR(ZelExListBoxPpg)
ZELMOR_PAGE_CREATOR(ZelExComboBoxPpg2)
ZELMOR_PAGE_CREATOR(ZelExListBoxPpg2)

#undef ZELMOR_PAGE_CREATOR

}  // namespace zelmor
