// The library and include checks: uses of basic types outside a typedef, of
// errno, offsetof and setjmp in the examined files, inclusion of "signal.h",
// "stdio.h" and "time.h", and #include after the first declaration.
#pragma once

// Start-up of each check, called by the module's initialisation in this
// order.
void initBasicTypeCheck();
void initIncludeAfterCodeCheck();
void initErrnoCheck();
void initOffsetofCheck();
void initSetjmpCheck();
void initSignalHCheck();
void initStdioHCheck();
void initTimeHCheck();

// The end-of-run part of each check, called by the module's end-of-run
// listener in this order.
void runBasicTypeCheck();
void runIncludeAfterCodeCheck();
void runErrnoCheck();
void runOffsetofCheck();
void runSetjmpCheck();
void checkSignalHInclude();
void checkStdioHInclude();
void checkTimeHInclude();
