#pragma once

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bitmap/clsBitmap.h"
#include "core/SelectionRect.h"
#include "ui/preview/IPreviewHost.h"
#include "ui/preview/PictureBox.h"
#include "ui/preview/ZoomUpDown.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/QtPlacementWindow.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

class clsResizeLimits;

// The preview window: the current file on the left beside its recoloured copy
// on the right, at a whole-number zoom of 1 to 8. Both pictures show the one
// held bitmap, the right one through the colour table remapped by the colour
// map within the selection. Pictures larger than the screen scroll together
// under one pair of scroll bars. It holds the selection rectangle, drawn as a
// white frame over the left picture, and passes hovers and clicks on pixels to
// the main window. It stays above its owner, the main window, which gives it
// its menu commands' shortcut keys.
//
// The selection is held in image pixels, so it reads back exactly at every zoom
// and on every screen; the frame is drawn from it.
class frmView : public QWidget {
    Q_OBJECT
  public:
    frmView(Application& app, IPreviewHost& host, clsResizeLimits& limits,
            QWidget* owner = nullptr);
    ~frmView() override;

    // Restores placement, registers the minimum size, reads the zoom and clears
    // the selection. Runs once, right after construction.
    void Form_Load();
    // Puts the frame's corner at `topLeft` (screen pixels) instead of the restored place.
    void MoveFrame(QPoint topLeft);
    // Unticks "Show Preview" (without storing it) and stores the placement; then
    // the window hides and deletes itself later. Closing the window runs it.
    void Unload();
    bool IsUnloaded() const { return unloaded_; }

    // Loads and shows the file at `BMPFile`, recoloured, and shows the window
    // if hidden; a file it cannot show is reported unless `report` is false.
    void LoadFile(const std::string& BMPFile, bool report = true);
    // As LoadFile, with the file loaded already (whole) by the caller.
    void ShowBitmap(std::unique_ptr<clsBitmap> bitmap, const std::string& BMPFile, bool report);
    // Re-renders the right-hand picture from PreviewBitmap, the colour map, the
    // selection and the option "Recolor outside of selection".
    void DoPreview();
    // Shows no image: the current file cannot be previewed.
    void ShowNothing();
    // Drops the held bitmap (the main window does this before unloading us).
    void ClearPreviewBitmap();
    const clsBitmap* PreviewBitmap() const { return previewBitmap_.get(); }

    // Places the selection frame on the rectangle (image pixels) at the zoom of vsbZoom.
    void MoveSelection(std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h);
    SelectionRect SelectionInPixels() const { return selection_; }
    // The frame as drawn, in the window's pixels.
    QRect SelectionFrameRect() const;
    // Palette index of the pixel under `point` (zoomed picture pixels); shows
    // its column and row in the position label. None when there is no
    // displayable pixel there.
    std::optional<std::uint8_t> PixelAtPoint(QPoint point);
    // Fits the window to the two pictures at the current zoom, within the
    // screen's available area; what does not fit scrolls.
    void SizeToImage();

    // Pointer handling of the pictures (index 0 left, 1 right); the point is in
    // the zoomed picture's pixels, buttons 1 left, 2 right, 4 middle.
    void img_MouseDown(int Index, int Button, QPoint point);
    void img_MouseMove(int Index, int Button, QPoint point);
    void img_MouseUp(int Index, int Button, QPoint point);

    // F5 with no Shift, Ctrl or Alt runs the batch; Ctrl with +, - or 0 zooms
    // in, out or back to 1. True when the key was used.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Zooms to `zoom`, keeping the picture pixel under `anchor` (a point of a
    // picture control) where it is.
    void ZoomAround(int zoom, QPoint anchor);

    int ZoomValue() const { return vsbZoom_->value(); }
    QAbstractSlider* vsbZoom() const { return vsbZoom_; }
    PictureBox* img(int index) const { return img_[index]; }
    // The scroll bars the two pictures share.
    QScrollBar* hsbPictures() const { return hsb_; }
    QScrollBar* vsbPictures() const { return vsb_; }
    QLabel* lblZoom() const { return lblZoom_; }
    QLabel* lblPosition() const { return lblPosition_; }
    // How many times the right-hand picture has been rendered (a zoom change or
    // a hover renders nothing).
    int RenderCount() const { return renderCount_; }
    // Why the current file cannot be shown, or empty.
    const std::string& PictureError() const { return pictureError_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void LayOutTopRow();
    void vsbZoom_Change(int value);
    void Scrolled();
    bool Wheel(class QWheelEvent* event);
    QSize AvailableInnerSize();
    void Form_Unload();
    QLabel* MakeLabel(const char* name, const QString& text, double left, double top, double width,
                      double height);

    Application& app_;
    IPreviewHost& host_;
    clsResizeLimits& limits_;
    ScreenUnits units_;
    QtPlacementWindow* placement_;

    std::unique_ptr<clsBitmap> previewBitmap_;
    PictureBox::Colors fileColors_{};
    std::int32_t Zoom = 1;
    std::int32_t SelStartX = 0;
    std::int32_t SelStartY = 0;
    SelectionRect selection_;
    std::string pictureError_;
    int renderCount_ = 0;
    int pictureTop_ = 24;               // pixels
    std::optional<QPoint> zoomAnchor_;  // the point of a picture control a zoom keeps still
    QSize frameUsed_;                   // the window's frame when the pictures were last fitted
    bool loaded_ = false;
    bool unloaded_ = false;

    QLabel* lbl_[2];
    QLabel* lblZoom_;
    ZoomUpDown* vsbZoom_;
    QLabel* lblPosition_;
    PictureBox* img_[2];
    QScrollBar* hsb_;
    QScrollBar* vsb_;
};

}  // namespace tintwell
