// A view with a value between a minimum and a maximum, a default, a tag and
// one listener. The control never acts on the plug-in: it tells its listener
// (the editor), and brackets each user gesture with begin and end, which is
// what a host records automation from.
#pragma once

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class Control;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    virtual void valueChanged(Control& control) = 0;
    virtual void beginEdit(Control& /*control*/) {}
    virtual void endEdit(Control& /*control*/) {}
};

class Control : public View {
public:
    Control(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap = nullptr);

    int tag() const { return tag_; }
    float value() const { return value_; }
    // Shows a value (limited to the range); the listener is not told.
    virtual void setValue(float value);
    float minimum() const { return min_; }
    float maximum() const { return max_; }
    void setRange(float minimum, float maximum);
    float defaultValue() const { return default_; }
    void setDefaultValue(float value) { default_ = value; }
    // The value as a fraction of the range.
    float normalized() const;

    const Bitmap* bitmap() const { return bitmap_; }
    // Images stacked in the bitmap, each as high as the control.
    int imageCount() const;

protected:
    // A user's change: shows it and, when the value moved, tells the listener.
    void changeByUser(float value);
    void beginEdit();
    void endEdit();
    // Draws image `index` (limited to those present) of the stacked bitmap.
    void drawImage(DrawContext& context, int index) const;
    ControlListener* listener() const { return listener_; }

private:
    ControlListener* listener_;
    int tag_;
    const Bitmap* bitmap_;
    float value_ = 0.0f;
    float min_ = 0.0f;
    float max_ = 1.0f;
    float default_ = 0.5f;
};

}  // namespace tarvik::gui
