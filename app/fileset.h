// The files of one install, staged beside their targets and then replaced
// all together or not at all.
//
// Every new file is first expanded and checked under a temporary name in
// its target's folder (StageLZCopy). Only then are the targets replaced,
// one after another, with nothing else in between; the old files are kept
// under names of their own until the last replace is done, so that a
// failure puts every target back as it was.
//
// Before the first replace a commit record (each target, its staged file,
// the name its old file is kept under) is written, flushed, to the Windows
// directory; it goes when the old files are dropped. A start that finds
// one undoes the commit, or finishes it when every target was already
// replaced (RecoverCommit), before anything else. A staging that was
// killed before any record leaves only temporary files, which the next
// install clears away before it stages anything.
#ifndef SETUP_APP_FILESET_H
#define SETUP_APP_FILESET_H

#include <windows.h>

enum { FILESET_MAX = 4 };

// What became of one staged file.
// KEPT: the old runtime stays (the system's own, or another program's
// waits for the restart) and the install goes on.
enum { FILE_STAGED = 0, FILE_REPLACED = 1, FILE_SCHEDULED = 2, FILE_KEPT = 3 };

struct StagedFile {
    char temp[MAX_PATH];     // the checked new file
    char target[MAX_PATH];
    char aside[MAX_PATH];    // the name the old target is kept under (empty:
                             // there was none); once scheduled, the checked
                             // file waiting for the restart
    char prior[MAX_PATH];    // once scheduled: the rename line's file before
    int tag;                 // the target's record
    int fSystem;             // the runtime, in the system directory
    int state;               // FILE_*
};

struct FileSet {
    int count;
    StagedFile files[FILESET_MAX];
    DWORD crc;               // in the commit record: the CRC-32 of the bytes before
};

// Result of CommitFiles besides 1: every target is replaced but one, the
// runtime on Windows 95, which a program has loaded; its checked file
// takes the runtime's place when Windows is next started.
enum { FILES_RESTART = 2 };

// Replaces every target of the set by its staged file, without a message
// in between, under a commit record. 1 (or FILES_RESTART) when all are
// replaced; a runtime that may not be replaced (rights) is kept. When one
// cannot be, the targets replaced before it are put back, every staged
// file is deleted, and its message is shown: LZ_IN_USE or LZ_CANNOT_OPEN
// (filecopy.h) is returned. A put-back refused keeps the record and the
// staged files for RecoverCommit.
int CommitFiles(FileSet *set);

// What a commit that did not end left behind, made whole: all old, or all
// new when every target had been replaced. 1 when no record remains; 0
// when a target could not go back (its path in failed, MAX_PATH): the
// record stays for the next start.
int RecoverCommit(char *failed);

// Deletes every staged file of a set that is not committed.
void DiscardFiles(FileSet *set);

// Clears away what a killed run left in dir (with its trailing backslash):
// each file of the installer's own temporary names is deleted, except a
// set-aside old file whose target, targets[tag] (count of them, at most
// FILESET_MAX; null for a target of another folder), is missing: the newest
// such copy is put back in its place. A set-aside file of a target that
// does not belong in dir, files waiting for a restart, folders and every
// other file are not touched.
void CleanLeftovers(const char *dir, const char *const *targets, int count);

#endif
