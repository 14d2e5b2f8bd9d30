#pragma once
// The state of the network sketch between drawings, and what the sketch tab
// does with the mouse, as plain data (views/SketchLayout.h has the numbers of
// one drawing).
//
// One Sketch belongs to the sketch tab. It keeps the coordinate mode and the
// point filter (the tags of the two buttons), the view (the fitted view, or
// one zoomed and moved by the user), the frame and hit rectangles of the
// last drawing on the screen, and the measuring drag: the anchor where the
// left button went down and the end of the rubber band. The tab turns mouse
// events into calls here and shows the texts that come back; printing and
// the command line lay out a fitted sketch of their own without touching it.

#include "views/SketchLayout.h"

#include <optional>
#include <string>
#include <vector>

namespace korthal {

// The fitted sketch of the document's network on a canvas of W × H pixels,
// texts and circles k times their screen size: what printing and the
// command line draw.
SketchLayout plotSketch(const Document& doc, int mode, int filter, int W, int H, int k);

// What the status bar shows after a mouse event.
struct SketchStatus {
    SketchReadout readout;
    // While measuring: the names of the two points ("Pi", "Pj" when the
    // pointer is on none), the distance and the two differences.
    std::string nameI, nameJ;
    SketchMeasure measure;
};

class Sketch {
public:
    // Both tags start at 2: the start-up click of each button makes them 0.
    int SketchMode = 2;
    int SketchFilter = 2;

    // The buttons: the next mode or filter, and back to the fitted view.
    void nextMode();
    void nextFilter();

    // Lays out the sketch of the document on the screen's picture of W × H
    // pixels, in the current view, and keeps its frame and hit rectangles
    // for the mouse.
    const SketchLayout& plot(const Document& doc, int W, int H);
    const SketchLayout& lastLayout() const { return layout_; }

    // ---- View: the fitted view, or zoomed about a pixel and moved ----
    // Zooms by `factor` keeping the world point under (x, y) in place. The
    // zoom stays between a quarter of the fitted scale (and a grid step of
    // at least 4 pixels) and 10 000 times it. False when nothing changed.
    bool zoomAt(double factor, int x, int y);
    // Moves the drawing by (dx, dy) pixels. The centre of the view stays
    // within the fitted view's area.
    bool panBy(int dx, int dy);
    void resetView();
    bool viewChanged() const { return view_.has_value(); }
    // The scale of the current view relative to the fitted one.
    double zoom() const { return view_ ? view_->zoom : 1.0; }

    // ---- Measuring with the left button ----
    // A pointer on a point stands for that point: the anchor snaps to its
    // pixel, and the readout, distance and differences use its coordinates
    // rather than those of the pixel.
    // Button down: the anchor snaps to the point under the pointer. (On a
    // picture with nothing drawn no measuring starts.)
    SketchStatus mouseDown(int x, int y, const NumberText& numbers);
    // Pointer moved (leftHeld: while measuring). The rubber band ends at the
    // raw pointer.
    SketchStatus mouseMove(int x, int y, bool leftHeld, const NumberText& numbers);
    // Button up: the rubber band and the drag panel go.
    void mouseUp();
    bool dragging() const { return dragging_; }
    int anchorX() const { return anchorX_; }
    int anchorY() const { return anchorY_; }
    int endX() const { return endX_; }
    int endY() const { return endY_; }

private:
    struct View {
        double zoom = 1;           // Scale over the fitted Scale
        double centreX = 0, centreY = 0;  // world point at the canvas centre
    };
    SketchFrame viewFrame(const SketchFrame& fitted, int W, int H) const;
    void clampCentre(int W, int H);

    SketchLayout layout_;
    SketchFrame fitted_;     // the fitted frame of the last drawing
    std::optional<View> view_;
    bool dragging_ = false;
    int anchorX_ = 0, anchorY_ = 0, endX_ = 0, endY_ = 0;
    double anchorWorldX_ = 0, anchorWorldY_ = 0;  // in the mode's units
    std::string nameI_;
};

}  // namespace korthal
