#pragma once
// The ranges that numbers read from a skin are held to when they are loaded
// (XMLLoadSave::ReadXmlAttribute with a range), so that no sum or product
// formed from them later (a window offset over every nesting level, a child's
// far edge, a key time over all earlier keys, a slider's span, a step of the
// GUI builder) can leave the range of an int.
#include <algorithm>
#include <cstddef>

namespace Vabo {

// Pixels, far beyond any screen: objects nest at most 64 deep, and 64 such
// offsets plus a length still fit an int many times over.
constexpr int kMaxSkinLength = 1 << 20;
// Milliseconds, for one animation key and for a whole animation: a day.
constexpr int kMaxAnimationMs = 24 * 60 * 60 * 1000;
// A value a skin sets on a scale (a slider's ends, a tuning's number): the
// span between two of them still fits an int.
constexpr int kMaxSkinValue = 1 << 29;
// A factor or fraction read from a skin (of a size, of a parent's extent):
// times the longest length it still fits an int.
constexpr float kMaxSkinFactor = 1024.0f;
// Steps of an animation that are all built at once.
constexpr int kMaxAnimationSteps = 256;

// Bytes of a text a skin shows (a label, a title, a tool tip): pages, far
// beyond any label, yet laid out and drawn at once. A longer text is cut.
constexpr std::size_t kMaxSkinTextBytes = 16 * 1024;

// What a value outside its range does: it is kept at the nearer end, or the
// attribute is refused as if it were not a number (the skin's error when the
// attribute is required).
enum class Beyond { Clamp, Refuse };

// The stated range of a numeric attribute. A float that is not a number is
// refused whatever the rule.
template <class T> struct SkinRange {
    T low;
    T high;
    Beyond beyond;
};

constexpr SkinRange<int> kSkinLength{-kMaxSkinLength, kMaxSkinLength, Beyond::Clamp};
constexpr SkinRange<int> kSkinSize{0, kMaxSkinLength, Beyond::Clamp};
constexpr SkinRange<float> kSkinLengthF{-kMaxSkinLength, kMaxSkinLength, Beyond::Clamp};
constexpr SkinRange<float> kSkinSizeF{0.0f, kMaxSkinLength, Beyond::Clamp};
constexpr SkinRange<int> kSkinValue{-kMaxSkinValue, kMaxSkinValue, Beyond::Clamp};
constexpr SkinRange<int> kSkinTimeMs{0, kMaxAnimationMs, Beyond::Clamp};
constexpr SkinRange<float> kSkinFactor{-kMaxSkinFactor, kMaxSkinFactor, Beyond::Clamp};
// A number only ever compared (a flag, a state), never computed with.
constexpr SkinRange<int> kSkinFlag{-kMaxSkinValue, kMaxSkinValue, Beyond::Clamp};
// A width to wrap text at, or -1 for none.
constexpr SkinRange<int> kSkinMaxWidth{-1, kMaxSkinLength, Beyond::Clamp};
// How many of something a skin asks for.
constexpr SkinRange<int> kSkinCount{0, 1 << 16, Beyond::Clamp};
// A factor of a size.
constexpr SkinRange<float> kSkinScale{0.0f, kMaxSkinFactor, Beyond::Clamp};
constexpr SkinRange<int> kSkinSteps{0, kMaxAnimationSteps, Beyond::Clamp};
// A font's size in pixels or points.
constexpr SkinRange<float> kSkinFontSize{0.0f, 4096.0f, Beyond::Clamp};
// An opacity or any other share of a whole.
constexpr SkinRange<float> kSkinShare{0.0f, 1.0f, Beyond::Clamp};

// The value clamped to [low, high]; changed tells whether it had to be.
template <class T> T ClampToRange(T value, T low, T high, bool& changed)
{
    const T clamped = std::clamp(value, low, high);
    changed = changed || clamped != value;
    return clamped;
}

} // namespace Vabo
