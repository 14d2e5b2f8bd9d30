#include "views/Sketch.h"

#include <algorithm>

namespace korthal {

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 10000;
constexpr double kMinGridStep = 4;  // pixels, when zooming out

struct Fitted {
    std::vector<SketchPoint> points;
    SketchWindow window;
    SketchFrame frame;
};

// The points, window and fitted frame of one drawing. An empty selection
// leaves the window and frame at their defaults (nothing is drawn then).
Fitted fit(const Document& doc, int mode, int filter, int W, int H)
{
    Fitted f;
    f.points = sketchPoints(doc.GPS(), mode, filter, doc.datumShifts());
    for (SketchPoint& p : f.points)
        p.check = !p.detail && doc.isExcluded(p.id);
    f.window.spacing = mode == SketchEllipsoidal ? 30 : 1000;
    if (f.points.empty())
        return f;
    f.window = sketchWindow(f.points, mode, doc.datumShifts());
    f.frame = fitFrame(f.window, W, H);
    return f;
}

}  // namespace

SketchLayout plotSketch(const Document& doc, int mode, int filter, int W, int H, int k)
{
    const Fitted f = fit(doc, mode, filter, W, H);
    return layoutSketch(f.points, f.frame, f.window.spacing, mode, W, H, k, true, doc.numbers());
}

void Sketch::nextMode()
{
    SketchMode = (SketchMode + 1) % 3;
    resetView();
}

void Sketch::nextFilter()
{
    SketchFilter = (SketchFilter + 1) % 3;
    resetView();
}

const SketchLayout& Sketch::plot(const Document& doc, int W, int H)
{
    const Fitted f = fit(doc, SketchMode, SketchFilter, W, H);
    fitted_ = f.frame;
    if (view_)
        clampCentre(W, H);
    const SketchFrame frame = view_ ? viewFrame(fitted_, W, H) : fitted_;
    layout_ = layoutSketch(f.points, frame, f.window.spacing, SketchMode, W, H, 1, !view_,
                           doc.numbers());
    return layout_;
}

SketchFrame Sketch::viewFrame(const SketchFrame& fitted, int W, int H) const
{
    SketchFrame f = fitted;
    f.Scale = fitted.Scale * view_->zoom;
    f.Xmin = view_->centreX - (W / 2.0 - static_cast<double>(f.OffsetX)) / f.Scale;
    f.Ymax = view_->centreY + (H / 2.0 - static_cast<double>(f.OffsetY)) / f.Scale;
    f.Xmax = f.worldX(W);
    f.Ymin = f.worldY(H);
    return f;
}

void Sketch::clampCentre(int W, int H)
{
    view_->centreX = std::clamp(view_->centreX, fitted_.worldX(0), fitted_.worldX(W));
    view_->centreY = std::clamp(view_->centreY, fitted_.worldY(H), fitted_.worldY(0));
}

bool Sketch::zoomAt(double factor, int x, int y)
{
    if (!layout_.complete || dragging_)
        return false;
    const double gridPixels = fitted_.Scale * layout_.spacing;
    const double minZoom = std::min(1.0, std::max(kMinZoom, kMinGridStep / gridPixels));
    const double z = std::clamp(zoom() * factor, minZoom, kMaxZoom);
    if (z == zoom())
        return false;
    const SketchFrame& f = layout_.frame;
    const double wx = f.worldX(x), wy = f.worldY(y);
    const double s = fitted_.Scale * z;
    view_ = View{z, wx + (layout_.W / 2.0 - x) / s, wy - (layout_.H / 2.0 - y) / s};
    clampCentre(layout_.W, layout_.H);
    return true;
}

bool Sketch::panBy(int dx, int dy)
{
    if (!layout_.complete || dragging_ || (dx == 0 && dy == 0))
        return false;
    if (!view_)
        view_ = View{1, fitted_.worldX(layout_.W / 2.0), fitted_.worldY(layout_.H / 2.0)};
    const double s = fitted_.Scale * view_->zoom;
    view_->centreX -= dx / s;
    view_->centreY += dy / s;
    clampCentre(layout_.W, layout_.H);
    return true;
}

void Sketch::resetView()
{
    view_.reset();
}

SketchStatus Sketch::mouseDown(int x, int y, const NumberText& numbers)
{
    if (!layout_.complete)
        return {};  // nothing drawn, nothing to measure
    if (const SketchHit* h = hitAt(layout_.hits, x, y)) {
        anchorX_ = h->centreX();
        anchorY_ = h->centreY();
        anchorWorldX_ = h->x;
        anchorWorldY_ = h->y;
        nameI_ = h->name;
    } else {
        anchorX_ = x;
        anchorY_ = y;
        anchorWorldX_ = layout_.frame.worldX(x);
        anchorWorldY_ = layout_.frame.worldY(y);
        nameI_ = "Pi";
    }
    endX_ = anchorX_;
    endY_ = anchorY_;
    dragging_ = true;
    return mouseMove(anchorX_, anchorY_, true, numbers);
}

SketchStatus Sketch::mouseMove(int x, int y, bool leftHeld, const NumberText& numbers)
{
    SketchStatus st;
    if (!layout_.complete)
        return st;
    const bool measuring = leftHeld && dragging_;
    if (measuring) {
        endX_ = x;
        endY_ = y;
    }
    const SketchHit* h = hitAt(layout_.hits, x, y);
    const double wx = h ? h->x : layout_.frame.worldX(x);
    const double wy = h ? h->y : layout_.frame.worldY(y);
    st.readout = sketchReadout(layout_.mode, wx, wy, numbers);
    if (measuring) {
        st.nameI = nameI_;
        st.nameJ = h ? h->name : "Pj";
        st.measure = sketchMeasure(layout_.mode, wx - anchorWorldX_, wy - anchorWorldY_, numbers);
    }
    return st;
}

void Sketch::mouseUp()
{
    dragging_ = false;
}

}  // namespace korthal
