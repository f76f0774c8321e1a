#pragma once
// How text sits in a rectangle: its alignment and its trimming (the values of
// Painter::Alignment and Painter::Trimming), kept together as one format, and
// a scope that lends a format out for a while and then puts it back as it was.
#include "framework/drawing/Painter.h"

namespace GdiplusGfxLayer {

struct StringFormat {
    int alignment = Painter::Near;
    int trimming = Painter::TrimNone;
};

// Remembers the format's alignment and trimming and sets both back when it ends.
class StringFormatScope {
public:
    explicit StringFormatScope(StringFormat& format)
        : format_(format)
        , saved_(format)
    {
    }
    ~StringFormatScope() { format_ = saved_; }
    StringFormatScope(const StringFormatScope&) = delete;
    StringFormatScope& operator=(const StringFormatScope&) = delete;

private:
    StringFormat& format_;
    StringFormat saved_;
};

} // namespace GdiplusGfxLayer
