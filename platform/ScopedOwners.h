// Small owners of something taken or changed for a while: each is non-copyable, never fails
// to construct, and gives back what it holds (closes it, or puts the old value back) in its
// destructor, so no early return can forget the undo. One class per kind of thing held.
#pragma once
#include <windows.h>
#include <direct.h>
#include <io.h>

#include <cstddef>
#include <cstdio>

#include "text/ByteSource.h"

// Owns one directory enumeration handle and closes it when replaced or destroyed.
class FindHandle {
public:
    FindHandle() = default;
    ~FindHandle() { reset(); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE get() const { return handle; }
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }

    // Closes the held handle, if any, and takes the new one (which may be invalid).
    void reset(HANDLE next = INVALID_HANDLE_VALUE)
    {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
        handle = next;
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};

// Owns one C stream, empty at null, and reads its bytes. Closing is explicit as well, so that
// a failed close can be reported; the destructor closes whatever is still open.
class FileStream final : public ByteSource {
public:
    FileStream() = default;
    ~FileStream() { close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Closes any held stream first, then takes opened (which may be null). Returns whether a
    // stream is held.
    bool take(std::FILE* opened)
    {
        close();
        file = opened;
        return file != nullptr;
    }
    // Returns true when the stream closed cleanly (or none was open).
    bool close()
    {
        if (file == nullptr)
            return true;
        int result = std::fclose(file);
        file = nullptr;
        return result == 0;
    }
    std::FILE* get() const { return file; }

    std::size_t read(char* into, std::size_t count) override
    {
        return file == nullptr ? 0 : std::fread(into, 1, count, file);
    }
    std::uint64_t sizeHint() const override
    {
        long long size = file == nullptr ? -1 : _filelengthi64(_fileno(file));
        return size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }

    // Takes over other's stream, leaving other empty. The stream held so far is closed first;
    // close it before, to know whether that went well.
    void takeFrom(FileStream& other)
    {
        close();
        file = other.file;
        other.file = nullptr;
    }

private:
    std::FILE* file = nullptr;
};

// Sets the process's error mode for as long as it lives, then puts the old one back.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(UINT mode) : previous(SetErrorMode(mode)) {}
    ~ScopedErrorMode() { SetErrorMode(previous); }
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

private:
    UINT previous;
};

// Notes the process's working directory in saved (cap bytes) and changes back to it when it
// goes, whatever moved it meanwhile. A working directory that cannot be read, or that does
// not fit, is not put back.
class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory(char* saved, std::size_t cap)
        : saved(saved), haveSaved(cap > 0 && cap <= 0x7FFFFFFF && _getcwd(saved, static_cast<int>(cap)) != nullptr)
    {
    }
    ~ScopedWorkingDirectory()
    {
        if (haveSaved)
            _chdir(saved);
    }
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

private:
    char* saved;
    bool haveSaved;
};
