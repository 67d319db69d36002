/* Demo.exe: the program that the example package installs and starts.
 * It shows a window that says it was installed. With the environment variable
 * VELASET_DEMO_MARKER set to a file path it writes its own path into that file and
 * ends without a window, so that an unattended test can see it was started. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static const char kWindowClass[] = "VelasetDemo";
static const char kMessage[] = "Demo \xE8 stato installato correttamente.";

static int WriteMarker(const char* markerPath) {
    char ownPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, ownPath, sizeof ownPath);
    FILE* marker = fopen(markerPath, "wb");
    if (marker == NULL)
        return 1;
    fwrite(ownPath, 1, length, marker);
    fclose(marker);
    return 0;
}

static LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        RECT client;
        HDC dc = BeginPaint(window, &paint);
        GetClientRect(window, &client);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, kMessage, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    char markerPath[MAX_PATH];
    WNDCLASSA windowClass;
    HWND window;
    MSG message;
    (void)previous;
    (void)commandLine;

    if (GetEnvironmentVariableA("VELASET_DEMO_MARKER", markerPath, sizeof markerPath) > 0)
        return WriteMarker(markerPath);

    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);

    window = CreateWindowA(kWindowClass, "Demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           360, 140, NULL, NULL, instance, NULL);
    ShowWindow(window, show);
    UpdateWindow(window);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
