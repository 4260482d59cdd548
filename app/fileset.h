// The files of one install, staged beside their targets and then replaced
// all together or not at all.
//
// Every new file is first expanded and checked under a temporary name in
// its target's folder (StageLZCopy). Only then are the targets replaced,
// one after another, with nothing else in between; the old files are kept
// under names of their own until the last replace is done, so that a
// failure puts every target back as it was. A run that was killed leaves
// at most those temporary and set-aside files, which the next run clears
// away (and puts back a target that went missing) before it stages
// anything.
#ifndef SETUP_APP_FILESET_H
#define SETUP_APP_FILESET_H

#include <windows.h>

enum { FILESET_MAX = 4 };

// What became of one staged file.
enum { FILE_STAGED = 0, FILE_REPLACED = 1, FILE_SCHEDULED = 2 };

struct StagedFile {
    char temp[MAX_PATH];     // the checked new file
    char target[MAX_PATH];
    char aside[MAX_PATH];    // the old target once replaced (empty: none);
                             // the rename's key once scheduled
    int tag;                 // the target's record
    int fSystem;             // the runtime, in the system directory
    int state;               // FILE_*
};

struct FileSet {
    int count;
    StagedFile files[FILESET_MAX];
};

// Result of CommitFiles besides 1: every target is replaced but one, the
// runtime on Windows 95, which a program has loaded; its checked file
// takes the runtime's place when Windows is next started.
enum { FILES_RESTART = 2 };

// Replaces every target of the set by its staged file, without a message
// in between. 1 (or FILES_RESTART) when all are replaced. When one cannot
// be, the targets replaced before it are put back, every staged file is
// deleted, and its message is shown: LZ_IN_USE or LZ_CANNOT_OPEN
// (filecopy.h) is returned.
int CommitFiles(FileSet *set);

// Deletes every staged file of a set that is not committed.
void DiscardFiles(FileSet *set);

// Clears away what a killed run left in dir (with its trailing backslash):
// each file of the installer's own temporary names is deleted, except a
// set-aside old file whose target, targets[tag] (count of them), is
// missing: it is put back in its place. No other file is touched.
void CleanLeftovers(const char *dir, const char *const *targets, int count);

#endif
