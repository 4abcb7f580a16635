/* The resource numbers of the property pages' dialogs, shared by their resource script and the
 * page code. Plain definitions, so that the resource compiler reads them too.
 *
 * On every page the property at position i of its table has its box at IDC_PAGE_FIELD + i, a
 * "..." button (where it has one) at IDC_PAGE_BROWSE + i, and the line that tells what is wrong
 * with a search condition at IDC_PAGE_MESSAGE + i. */
#ifndef ZELMOR_PAGE_RESOURCES_H
#define ZELMOR_PAGE_RESOURCES_H

#define IDD_PAGE_ZELBTR 300
#define IDD_PAGE_ZELBTN 301
#define IDD_PAGE_ZELEDIT 302
#define IDD_PAGE_ZELLISTBOX 303
#define IDD_PAGE_ZELCOMBOBOX 304
#define IDD_PAGE_ZELCHECK 305
#define IDD_PAGE_ZELOPTBTN 306
#define IDD_PAGE_ZELPIC 307
#define IDD_PAGE_ZELHSCROLL 308
#define IDD_PAGE_ZELVSCROLL 309
#define IDD_PAGE_ZELGRID 310
#define IDD_PAGE_ZELEXCOMBOBOX 311
#define IDD_PAGE_ZELEXLISTBOX 312
#define IDD_PAGE_ZELEXCOMBOBOX2 313
#define IDD_PAGE_ZELEXLISTBOX2 314

#define IDC_PAGE_FIELD 1000
#define IDC_PAGE_BROWSE 1100
#define IDC_PAGE_MESSAGE 1200

#endif
