// The percentage bar of the last page.
#include "builder/win32/progress_box.h"

#include "builder/win32/text.h"
#include "builder/wizard/riempi.h"

namespace win32ui {

namespace {

const COLORREF kNavy = RGB(0, 0, 128);
const COLORREF kWhite = RGB(255, 255, 255);

} // namespace

ProgressBox::~ProgressBox() {
    if (picture_) {
        DeleteObject(picture_);
    }
}

void ProgressBox::Attach(HWND box) {
    box_ = box;
    RECT r;
    GetClientRect(box, &r);
    width_ = r.right;
    height_ = r.bottom;
    HDC screen = GetDC(box);
    picture_ = CreateCompatibleBitmap(screen, width_, height_);
    ReleaseDC(box, screen);
}

void ProgressBox::Clear(COLORREF colour) {
    HDC screen = GetDC(box_);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture_);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, width_, height_};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(box_, screen);
    InvalidateRect(box_, nullptr, FALSE);
    UpdateWindow(box_);
}

void ProgressBox::Riempi(const std::string& percentText) {
    velaset::RiempiDrawing drawing = velaset::Riempi(percentText, width_);
    std::wstring figure = Widen(drawing.figure);

    HDC screen = GetDC(box_);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ oldPicture = SelectObject(dc, picture_);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(box_, WM_GETFONT, 0, 0));

    // Setting the background blanks the box.
    HBRUSH white = CreateSolidBrush(kWhite);
    HBRUSH navy = CreateSolidBrush(kNavy);
    RECT all = {0, 0, width_, height_};
    FillRect(dc, &all, white);

    SIZE size;
    GetTextExtentPoint32W(dc, figure.c_str(), (int)figure.size(), &size);
    int x = width_ / 2 - size.cx / 2;
    int y = height_ / 2 - size.cy / 2;
    SetROP2(dc, R2_COPYPEN);
    RECT behind = {x, y, x + size.cx, y + size.cy};
    FillRect(dc, &behind, white);
    // The figure sits 30 twips (2 pixels) above the middle.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kNavy);
    TextOutW(dc, x, y - 2, figure.c_str(), (int)figure.size());

    // Not-xor: navy over white gives navy, navy over the navy figure gives white.
    SetROP2(dc, R2_NOTXORPEN);
    // Under not-xor a white fill would leave every pixel as it was: only a bar is drawn.
    int length = drawing.barWidth;
    if (length > 0) {
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, navy);
        // A null pen leaves the last row and column out, hence the +1.
        Rectangle(dc, 0, 0, length + 1, height_ + 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }

    DeleteObject(white);
    DeleteObject(navy);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPicture);
    DeleteDC(dc);
    ReleaseDC(box_, screen);
    InvalidateRect(box_, nullptr, FALSE);
    UpdateWindow(box_);
}

void ProgressBox::Draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(dc, picture_);
    BitBlt(item.hDC, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
}

} // namespace win32ui
