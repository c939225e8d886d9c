// The source re-scan: the files the token checks examine (each analysed
// source as it is announced, then its non-quiet headers) and their lines.
#pragma once

// Registers the per-source listener that records each source file and
// switches on the collection of include records.
void initSourceRescan();
// Adds every distinct included file that is not quiet to the examined files;
// the first step of the end-of-run checks.
void addNonQuietIncludedFiles();
