/* The resource numbers of zelmor.dll, shared by its resource script and the code that loads or
 * registers them. Plain definitions, so that the resource compiler reads them too. */
#ifndef ZELMOR_RESOURCE_IDS_H
#define ZELMOR_RESOURCE_IDS_H

/* Toolbox bitmaps, as the registration names them (ToolboxBitmap32). */
#define IDB_TOOLBOX_ZELBTR 1
#define IDB_TOOLBOX_ZELBTN 2
#define IDB_TOOLBOX_ZELEDIT 3
#define IDB_TOOLBOX_ZELCOMBOBOX 4
#define IDB_TOOLBOX_ZELLISTBOX 5
#define IDB_TOOLBOX_ZELHSCROLL 6
#define IDB_TOOLBOX_ZELVSCROLL 7
#define IDB_TOOLBOX_ZELCHECK 8
#define IDB_TOOLBOX_ZELOPTBTN 10
#define IDB_TOOLBOX_ZELGRID 11
#define IDB_TOOLBOX_ZELPIC 12
#define IDB_TOOLBOX_ZELEXCOMBOBOX 13
#define IDB_TOOLBOX_ZELEXLISTBOX 14

/* What the data control shows at design time: a dictionary loaded, or none. */
#define IDB_DATA_CONTROL_LOADED 222
#define IDB_DATA_CONTROL_EMPTY 115

#endif
