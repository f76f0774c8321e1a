#pragma once
// The arrangement policies of the flow layouts (FlowLayout_.h).
namespace Vabo {

// At most two children, one fixed and one expandable: the fixed one at the
// start, the expandable one after it.
struct StartAligned {
    static constexpr const char* kName = "FlowLayoutStartAligned";
    static constexpr bool kOneOfEachKind = true;
};

// At most two children, one fixed and one expandable: the fixed one at the
// end, the expandable one before it.
struct EndAligned {
    static constexpr const char* kName = "FlowLayoutEndAligned";
    static constexpr bool kOneOfEachKind = true;
};

// Any number of children: fixed ones stay where they were put, each
// expandable one is stretched between its neighbours.
struct AbsolutePadded {
    static constexpr const char* kName = "FlowLayoutAbsolutePadded";
    static constexpr bool kOneOfEachKind = false;
};

} // namespace Vabo
