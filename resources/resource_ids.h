// Identifiers shared by the resource script and the program.
#ifndef SETUP_RESOURCE_IDS_H
#define SETUP_RESOURCE_IDS_H

// String table
#define IDS_WELCOME         5000
#define IDS_CONTINUE_HINT   5001
#define IDS_NOTE            5002
#define IDS_WHERE_PLUGINS   5700
#define IDS_ENVIRONMENT     5800
#define IDS_TITLE           6000
#define IDS_DAMAGED         65519
#define IDS_IN_USE          65520
#define IDS_NO_MEMORY       65531
#define IDS_DISK_FULL       65532
#define IDS_INTERNAL_ERROR  65533
#define IDS_CANNOT_OPEN     65535

// Controls that the page procedures address
#define IDC_PATH            100   // PLUGIN: directory edit
#define IDC_BROWSE          101   // PLUGIN: Browse button
#define IDC_PROGRESS        102   // INSTALLING: progress graph
#define IDC_SPACE_REQUIRED  103   // PLUGIN: required space text
#define IDC_SPACE_FREE      104   // PLUGIN: free space text
#define IDC_COPY_SOURCE     106   // INSTALLING: file being copied
#define IDC_COPY_TARGET     107   // INSTALLING: where it goes
#define IDC_PICTURE         100   // BADPATH, ALERT: picture
#define IDC_MESSAGE         101   // BADPATH, ALERT: message text
#define IDC_WIN31           2001  // PLATFORM check boxes
#define IDC_WINNT           2002
#define IDC_WIN95           2003

#endif
