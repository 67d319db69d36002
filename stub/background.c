/* The optional full-screen background window: a vertical colour gradient
 * with the package title painted at its top left. */
#include "avviora.h"
#include "resources/resource.h"

#define NO_TEXT 0xFFFFFFFFu
#define BAND_HEIGHT 4

static COLORREF s_top, s_bottom, s_text;

static BYTE Blend(int top, int bottom, int y, int height) {
    return (BYTE)(top * (height - y) / height + bottom * y / height);
}

static void Paint(HWND window) {
    PAINTSTRUCT paint;
    RECT client, band;
    HDC dc = BeginPaint(window, &paint);
    int y, height;
    GetClientRect(window, &client);
    height = client.bottom;
    for (y = 0; y < height; y += BAND_HEIGHT) {
        HBRUSH brush =
            CreateSolidBrush(RGB(Blend(GetRValue(s_top), GetRValue(s_bottom), y, height),
                                 Blend(GetGValue(s_top), GetGValue(s_bottom), y, height),
                                 Blend(GetBValue(s_top), GetBValue(s_bottom), y, height)));
        band = client;
        band.top = y;
        band.bottom = y + BAND_HEIGHT;
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    if (s_text != NO_TEXT) {
        HFONT font = CreateFontA(40, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0,
                                 "Garamond");
        if (font) {
            char title[257];
            HGDIOBJ old = SelectObject(dc, font);
            client.left += 16;
            client.top += 8;
            GetWindowTextA(window, title, sizeof title);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, s_text);
            DrawTextA(dc, title, -1, &client, DT_SINGLELINE);
            SelectObject(dc, old);
            DeleteObject(font);
        }
    }
    EndPaint(window, &paint);
}

static LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PAINT) {
        Paint(window);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

HWND CreateBackgroundWindow(const char* title, COLORREF top, COLORREF bottom, COLORREF text) {
    WNDCLASSA window_class;
    RECT area;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = BackgroundProc;
    window_class.hInstance = g_avviora.instance;
    window_class.hIcon = LoadIconA(g_avviora.instance, MAKEINTRESOURCEA(IDI_AVVIORA));
    window_class.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    window_class.lpszClassName = "Avviora";
    if (!RegisterClassA(&window_class))
        return NULL;
    s_top = top;
    s_bottom = bottom;
    s_text = text;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return CreateWindowA("Avviora", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, GetDesktopWindow(), NULL,
                         g_avviora.instance, NULL);
}
