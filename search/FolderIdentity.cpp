#include "search/FolderIdentity.h"

FolderIdentity identifyFolder(const char* path)
{
    FolderIdentity identity;
    // A folder opens only with backup semantics; asking for no access rights lets it open
    // even where its contents may not be read.
    HANDLE folder = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return identity;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(folder, &information)) {
        identity.known = true;
        identity.volume = information.dwVolumeSerialNumber;
        identity.indexHigh = information.nFileIndexHigh;
        identity.indexLow = information.nFileIndexLow;
    }
    CloseHandle(folder);
    return identity;
}
