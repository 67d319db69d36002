// pnlProgress: the percentage bar of the last page, kept as a picture so that it
// survives repainting.
#ifndef VELASET_BUILDER_WIN32_PROGRESS_BOX_H
#define VELASET_BUILDER_WIN32_PROGRESS_BOX_H

#include <windows.h>

#include <string>

namespace win32ui {

class ProgressBox {
  public:
    ~ProgressBox();
    // The owner-drawn static that shows the picture.
    void Attach(HWND box);
    // Riempi: the bar and its figure, which inverts where the bar covers it.
    void Riempi(const std::string& percentText);
    // A blank box: pale yellow before a build, button face after a failed one.
    void Clear(COLORREF colour);
    void Draw(const DRAWITEMSTRUCT& item) const;

  private:
    HWND box_ = nullptr;
    HBITMAP picture_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace win32ui

#endif
