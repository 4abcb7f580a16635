#include "controls/BrowsingTables.h"

#include <olectl.h>

#include "module/DispatchIds.idh"
#include "module/PageClassIds.h"

namespace zelmor {

namespace {

template <size_t N>
constexpr com::PropertyBrowsing PageOnly(const CLSID& page, const DISPID (&properties)[N]) {
    return com::PropertyBrowsing{nullptr, 0, &page, properties, N};
}

// The data control: where the dictionary is and how its tables are opened.
const DISPID kDataControlPage[] = {DISPID_BTR_DDFDIR, DISPID_BTR_OWNERNAME, DISPID_BTR_OPENMODE,
                                   DISPID_BTR_ALLOPEN, DISPID_BTR_DISTNAME};

const DISPID kBoundPage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_DBFIELD};

const DISPID kButtonPage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_BTN_DBINDEX,
                              DISPID_BTN_DBOPERATION, DISPID_BTN_DBLOCKS};

const DISPID kScrollPage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_SCROLL_DBINDEX};

// A check box's Value: unchecked, checked, or grey (the field held the indeterminate text).
const com::PredefinedValue kCheckValues[] = {{0, L"Unchecked"}, {1, L"Checked"}, {2, L"Grayed"}};
const com::PredefinedProperty kCheckPredefined[] = {
    com::MakePredefinedProperty(DISPID_CHOICE_VALUE, kCheckValues)};
const DISPID kCheckPage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_DBFIELD,
                             DISPID_CHOICE_DBVALUETRUE, DISPID_CHOICE_DBVALUEFALSE,
                             DISPID_CHECK_DBVALUEINDETERMINATE};

const com::PredefinedValue kOptionValues[] = {{0, L"Unchecked"}, {1, L"Checked"}};
const com::PredefinedProperty kOptionPredefined[] = {
    com::MakePredefinedProperty(DISPID_CHOICE_VALUE, kOptionValues)};
const DISPID kOptionPage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_DBFIELD,
                              DISPID_CHOICE_DBVALUETRUE, DISPID_CHOICE_DBVALUEFALSE};

const DISPID kPicturePage[] = {DISPID_DBSOURCE, DISPID_DBTABLE, DISPID_DBFIELD,
                               DISPID_PIC_BLOBPATH};

// The list boxes' bound names and their list's own names, from the first one on.
#define LIST_PAGE(first)                                                                   \
    (first), (first) + 1, (first) + 2, (first) + DISPID_LIST_NAMES_DBLISTSOURCE,            \
        (first) + DISPID_LIST_NAMES_DBLISTTABLE, (first) + DISPID_LIST_NAMES_DBLISTFIELD, \
        (first) + DISPID_LIST_NAMES_DBLISTINDEX

const DISPID kComboBoxPage[] = {LIST_PAGE(DISPID_COMBO_DBSOURCE)};
const DISPID kListBoxPage[] = {LIST_PAGE(DISPID_LISTBOX_DBSOURCE)};
const DISPID kExComboBoxPage[] = {LIST_PAGE(DISPID_COMBO_DBSOURCE),
                                  DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBCONDITIONS};
const DISPID kExListBoxPage[] = {LIST_PAGE(DISPID_LISTBOX_DBSOURCE),
                                 DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBCONDITIONS};
#undef LIST_PAGE

const DISPID kGridPage[] = {DISPID_GRID_DBLISTSOURCE, DISPID_GRID_DBLISTTABLE,
                            DISPID_GRID_DBLISTFIELDS, DISPID_GRID_DBCONDITIONS,
                            DISPID_GRID_DBLISTINDEX};

}  // namespace

const com::PropertyBrowsing kDataControlBrowsing = PageOnly(CLSID_ZelBtrPpg, kDataControlPage);
const com::PropertyBrowsing kEditBrowsing = PageOnly(CLSID_ZelEditPpg, kBoundPage);
const com::PropertyBrowsing kButtonBrowsing = PageOnly(CLSID_ZelBtnPpg, kButtonPage);
const com::PropertyBrowsing kCheckBrowsing = {kCheckPredefined, 1, &CLSID_ZelCheckPpg, kCheckPage,
                                              sizeof kCheckPage / sizeof kCheckPage[0]};
const com::PropertyBrowsing kOptionBrowsing = {kOptionPredefined, 1, &CLSID_ZelOptBtnPpg,
                                               kOptionPage,
                                               sizeof kOptionPage / sizeof kOptionPage[0]};
const com::PropertyBrowsing kPictureBrowsing = PageOnly(CLSID_ZelPicPpg, kPicturePage);
const com::PropertyBrowsing kHScrollBrowsing = PageOnly(CLSID_ZelHScrollPpg, kScrollPage);
const com::PropertyBrowsing kVScrollBrowsing = PageOnly(CLSID_ZelVScrollPpg, kScrollPage);
const com::PropertyBrowsing kComboBoxBrowsing = PageOnly(CLSID_ZelComboBoxPpg, kComboBoxPage);
const com::PropertyBrowsing kListBoxBrowsing = PageOnly(CLSID_ZelListBoxPpg, kListBoxPage);
const com::PropertyBrowsing kExComboBoxBrowsing =
    PageOnly(CLSID_ZelExComboBoxPpg, kExComboBoxPage);
const com::PropertyBrowsing kExListBoxBrowsing = PageOnly(CLSID_ZelExListBoxPpg, kExListBoxPage);
const com::PropertyBrowsing kGridBrowsing = PageOnly(CLSID_ZelGridPpg, kGridPage);

}  // namespace zelmor
