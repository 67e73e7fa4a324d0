/* Windows paths to Unix names for the HDF4 bridge. Wine keeps the Windows
   process's current folder to itself, so a relative name must be resolved
   here too: HDF4's fopen would otherwise look in the Unix process's. */
#include "bridge_paths.h"

#include <windows.h>

#include <string.h>

static char* copy_on_heap(const char* text) {
    const size_t size = strlen(text) + 1;
    char* copy = HeapAlloc(GetProcessHeap(), 0, size);
    if (copy != NULL)
        memcpy(copy, text, size);
    return copy;
}

char* bridge_unix_path(const char* windows_path) {
    if (windows_path == NULL)
        return NULL;
    /* The C runtime of the caller speaks the ANSI code page. */
    const int length = MultiByteToWideChar(CP_ACP, 0, windows_path, -1, NULL, 0);
    WCHAR* wide = length > 0 ? HeapAlloc(GetProcessHeap(), 0, length * sizeof(WCHAR)) : NULL;
    char* unix_name = NULL;
    if (wide != NULL && MultiByteToWideChar(CP_ACP, 0, windows_path, -1, wide, length) > 0 &&
        wide[0] != 0)
        unix_name = wine_get_unix_file_name(wide);
    HeapFree(GetProcessHeap(), 0, wide);
    return unix_name != NULL ? unix_name : copy_on_heap(windows_path);
}

void bridge_free_path(char* unix_path) {
    if (unix_path != NULL)
        HeapFree(GetProcessHeap(), 0, unix_path);
}
