// Holds a file open the way a program using it does (no sharing of delete)
// until the test removes the marker file it wrote when the hold began:
//   file_holder FILE MARKER
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const HANDLE held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    const HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(marker);
    while (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) Sleep(20);
    CloseHandle(held);
    return 0;
}
