// The sizes of the program's path buffers, which every page shares.
#ifndef SETUP_APP_PATHS_H
#define SETUP_APP_PATHS_H

// Every path buffer holds 159 characters and the terminator.
enum { PATH_SIZE = 160 };
// Longest file name in the file table; a directory must leave room for it.
enum { MAX_TARGET_NAME = 12 };

#endif
