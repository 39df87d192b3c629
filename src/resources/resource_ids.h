/* Resource identifiers, shared by the resource script and the layout. */
#ifndef VELBROOK_RESOURCE_IDS_H
#define VELBROOK_RESOURCE_IDS_H

#define IDI_FORM_ICON 30001        /* the image of the window icon and the file icon */
#define IDI_FILE_ICON_GROUP 1      /* the file icon, naming image 30001; the window loads it too */

#define IDC_HAND_CURSOR 200        /* MouseIcon of the button and the language pictures */

#define IDB_COMMAND1 300           /* "Exit Setup", centred */
#define IDB_PICTURE1 301           /* the background tile */
#define IDB_IMAGE1 302             /* the brand's word mark */
#define IDB_IMAGE2 303             /* the maker's logo */
#define IDB_IMAGE3 304             /* "Exit Setup", at the left */
#define IDB_IMAGE4 305             /* "Please Select Language:" */
#define IDB_COUNTRYIMAGE_BASE 310  /* + index: normal faces */
#define IDB_COUNTRYPIC_BASE 320    /* + index: highlighted faces */

#endif
