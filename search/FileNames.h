// Rules about names on disk that do not depend on the file system itself, and the one
// way the program opens a file by name. Free of <windows.h>, so the sanitizer build checks
// them too.
#pragma once
#include <cstdio>

// Whether name (one path component) is a name Windows gives to a device rather than to a
// file: CON, PRN, AUX, NUL, COM1-COM9 or LPT1-LPT9 in any letter case, alone or before the
// first dot, blanks before the dot included ("aux.txt", "Nul", "com1 .htm"). Opening such a
// name opens the device: a serial port blocks the reader, NUL reads as empty.
bool isReservedDeviceName(const char* name);

// Whether name (one path component, as the file system lists it) can be used in a Windows
// path to reach that entry: it holds none of " * < > ? | \ / : and no control character,
// and it does not end in a dot or a blank, which Windows drops from a path ("tdot." would
// reach its twin "tdot"). "." and ".." are usable. Names like these are common on Linux
// and on shares served from it.
bool isUsableName(const wchar_t* name);

// The last component of path: what follows its last "\" or "/", or its drive ("X:").
const char* lastComponent(const char* path);

// fopen, except that a path whose last component is a device's name is never opened and
// gives null, as a file that cannot be opened does. Every file the program reads is
// opened through this.
std::FILE* openFile(const char* path, const char* mode);
