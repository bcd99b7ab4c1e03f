// Stands in for a web browser in the launch tests: writes the command line it was started
// with, then each argument as the runtime splits it, one per line, to the file named by the
// environment variable KADREL_LAUNCH_RECORD. The file appears whole or not at all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char target[1024];
    DWORD n = GetEnvironmentVariableA("KADREL_LAUNCH_RECORD", target, sizeof target);
    if (n == 0 || n >= sizeof target)
        return 1;
    std::string partial = std::string(target) + ".part";
    FILE* out = std::fopen(partial.c_str(), "wb");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "%s\n", GetCommandLineA());
    for (int i = 1; i < __argc; ++i)
        std::fprintf(out, "%s\n", __argv[i]);
    std::fclose(out);
    return MoveFileExA(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
