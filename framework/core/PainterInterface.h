#pragma once
// What the drawing pass of the object tree asks of a painter: opacity and the origin
// of the drawing. The drawing layer's painter implements it and adds the drawing
// operations that objects use in their DrawSelf.

namespace Vabo {

class PainterInterface {
public:
    PainterInterface() = default;
    PainterInterface(const PainterInterface&) = delete;
    PainterInterface& operator=(const PainterInterface&) = delete;
    virtual ~PainterInterface();

    virtual float GetOpacity() const = 0;
    virtual void SetOpacity(float opacity) = 0;
    virtual void MultiplyOpacity(float factor) = 0;
    // Moves the origin of everything drawn afterwards by (dx, dy).
    virtual void Translate(float dx, float dy) = 0;
};

// Multiplies the painter's opacity for the life of the scope, then restores it.
class OpacityScope {
public:
    OpacityScope(PainterInterface& painter, float factor);
    ~OpacityScope();
    OpacityScope(const OpacityScope&) = delete;
    OpacityScope& operator=(const OpacityScope&) = delete;

private:
    PainterInterface& painter_;
    float saved_;
};

// Moves the painter's origin for the life of the scope, then moves it back.
class TranslationScope {
public:
    TranslationScope(PainterInterface& painter, float dx, float dy);
    ~TranslationScope();
    TranslationScope(const TranslationScope&) = delete;
    TranslationScope& operator=(const TranslationScope&) = delete;

private:
    PainterInterface& painter_;
    float dx_;
    float dy_;
};

} // namespace Vabo
