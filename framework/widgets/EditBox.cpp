#include "framework/widgets/EditBox.h"

#include <algorithm>

#include "framework/core/HostInputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/SkinLimits.h"
#include "framework/drawing/Painter.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/StringSignal.h"
#include "framework/widgets/TextValidateSignal.h"
#include "platform/Clipboard.h"
#include "platform/Display.h"
#include "platform/EventLoop.h"
#include "platform/HostInput.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<EditBox> editBoxClass("Vabo::EditBox", "$VABO/Objects/EditBox/EditBox.xml",
                                    [](TiXmlElement* element) -> GuiObject* { return new EditBox(element); });
SignalRegistrar<TextValidate::Validate> validateSignal("Vabo::TextValidate::Validate");
SignalRegistrar<Signal::EditBoxSignal> editBoxSignal("Vabo::Signal::EditBoxSignal");
SignalRegistrar<Signal::String> stringSignal("Vabo::Signal::String");

constexpr std::uint32_t kSelectAll = 1;
constexpr std::uint32_t kCopy = 3;
constexpr std::uint32_t kPaste = 22;
constexpr std::uint32_t kCut = 24;
constexpr std::uint32_t kBackspace = 8;
constexpr std::uint32_t kEnter = 13;
constexpr std::uint32_t kEscape = 27;
// However long a box a skin asks for: a line of text, not a document.
constexpr SkinRange<int> kTextLength{1, 4096, Beyond::Clamp};
constexpr Platform::Milliseconds kBlinkMs = 500;
const GdiplusGfxLayer::Color kSelectionText(255, 255, 255, 255);

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

int CharacterCount(const std::string& text)
{
    int count = 0;
    for (char c : text)
        count += IsContinuationByte(c) ? 0 : 1;
    return count;
}

bool IsTypable(std::uint32_t code)
{
    return code == ' ' || code == '.' || (code >= '0' && code <= '9') || (code >= 'a' && code <= 'z')
        || (code >= 'A' && code <= 'Z');
}

} // namespace

EditBox::EditBox(TiXmlElement* element)
    : Text(element)
    , blinkTime_(Platform::NowMs())
{
    Text::GetText() = editText_;
    // A skin matches the selection to its own palette.
    if (element) {
        ReadXmlAttribute(selectionColor_, element, "SelectionColor", false);
        ReadXmlAttribute(maxLength_, element, "MaxLength", false, kTextLength);
    }
    SetUnselectable(false);
    SetDrawSelfAfterChildren(true);
    SetFocusOnClick(true);
    AddScheduledTickSlot(&EditBox::BlinkSlot, this);
    AddSlot<Signal::KeyPress>(&EditBox::KeySlot, this);
    AddSlot<Signal::LeftButtonDown>(&EditBox::PressSlot, this);
    AddSlot<Signal::MouseMove>(&EditBox::DragSlot, this);
    AddSlot<Signal::FocusChange>(&EditBox::FocusSlot, this);
    AddSlot<Signal::LeftButtonDblClk>(&EditBox::SelectAllSlot, this);
    AddSlot<Signal::Activate>(&EditBox::ActivateSlot, this);
}

EditBox::~EditBox() = default;

int EditBox::Length() const
{
    return CharacterCount(editText_);
}

std::size_t EditBox::ByteOffset(int index) const
{
    std::size_t at = 0;
    for (int skipped = 0; skipped < index && at < editText_.size(); ++skipped) {
        ++at;
        while (at < editText_.size() && IsContinuationByte(editText_[at]))
            ++at;
    }
    return at;
}

void EditBox::EraseCharacters(int first, int end)
{
    const std::size_t from = ByteOffset(first);
    editText_.erase(from, ByteOffset(end) - from);
}

void EditBox::ShowEditText()
{
    Text::GetText() = editText_;
    // The text, caret and selection are drawn clipped to the box: the box
    // alone is drawn again (the tuner sets its target at every new note).
    InvalidateWhenShown(*this);
}

void EditBox::SetText(const std::string& text)
{
    editText_ = text;
    committed_ = text;
    ClampPositions();
    ShowEditText();
}

void EditBox::ClampPositions()
{
    caret_ = std::clamp(caret_, -1, Length());
    anchor_ = std::min(anchor_, Length() - 1);
    if (caret_ < 0 || anchor_ < 0)
        anchor_ = -1;
}

std::string EditBox::GetSelectedText() const
{
    if (!HasSelection())
        return std::string();
    const int first = std::min(caret_, anchor_);
    const int last = std::min(std::max(caret_, anchor_), Length() - 1);
    if (first > last)
        return std::string();
    const std::size_t from = ByteOffset(first);
    return editText_.substr(from, ByteOffset(last + 1) - from);
}

void EditBox::DeleteSelection()
{
    const int first = std::min(caret_, anchor_);
    const int last = std::min(std::max(caret_, anchor_), Length() - 1);
    if (first <= last)
        EraseCharacters(first, last + 1);
    caret_ = first;
    anchor_ = -1;
}

void EditBox::Edit(const std::string& command)
{
    ClampPositions();
    if (command == "FW") {
        ShowEditText();
        return;
    }
    if (command == "BackSpace") {
        if (HasSelection()) {
            DeleteSelection();
        } else if (caret_ > 0) {
            EraseCharacters(caret_ - 1, caret_);
            --caret_;
        }
        anchor_ = -1;
    } else if (command == "DEL") {
        if (HasSelection())
            DeleteSelection();
        else if (caret_ >= 0 && caret_ < Length())
            EraseCharacters(caret_, caret_ + 1);
        anchor_ = -1;
    } else if (command == "<EN>") {
        caretVisible_ = false;
        // What is entered is in effect until its receivers set another text.
        committed_ = editText_;
        try {
            GetScreenManager()->SetFocusObject(nullptr);
        } catch (const ScreenManagerNotReady&) {
        }
        Signal::EditBoxSignal entered(editText_);
        SendToSelf(&entered);
    } else {
        TextValidate::Validate validate(command, editText_);
        SendToSelf(&validate);
        const int selected = HasSelection() ? CharacterCount(GetSelectedText()) : 0;
        if (validate.accepted && Length() - selected + CharacterCount(command) <= maxLength_) {
            // A validator's slot may have changed the text: clamp again.
            ClampPositions();
            if (HasSelection())
                DeleteSelection();
            if (caret_ < 0)
                caret_ = Length();
            editText_.insert(ByteOffset(caret_), command);
            caret_ += CharacterCount(command);
        }
    }
    ShowEditText();
    Signal::String changed(editText_);
    SendToSelf(&changed);
}

void EditBox::Paste(const std::string& pasted)
{
    ClampPositions();
    // Until a character is accepted the text stays whole (a selection goes
    // only then); after that it is split at the caret, accepted characters
    // are appended before it and the rest is joined on at the end.
    bool split = false;
    std::string rest;
    std::string character;
    // Room for the pasted characters: the limit less what stays of the text.
    int room = maxLength_ - Length() + (HasSelection() ? CharacterCount(GetSelectedText()) : 0);
    for (std::size_t at = 0; at < pasted.size() && room > 0;) {
        std::size_t end = at + 1;
        while (end < pasted.size() && IsContinuationByte(pasted[end]))
            ++end;
        character.assign(pasted, at, end - at);
        at = end;
        TextValidate::Validate validate(character, editText_, rest);
        SendToSelf(&validate);
        if (!validate.accepted)
            continue;
        if (!split) {
            // A validator's slot may have changed the text: clamp again.
            ClampPositions();
            if (HasSelection())
                DeleteSelection();
            if (caret_ < 0)
                caret_ = Length();
            const std::size_t caretByte = ByteOffset(caret_);
            rest.assign(editText_, caretByte, std::string::npos);
            editText_.resize(caretByte);
            split = true;
        }
        editText_ += character;
        ++caret_;
        --room;
    }
    if (!split)
        return;
    editText_ += rest;
    ShowEditText();
    Signal::String changed(editText_);
    SendToSelf(&changed);
}

void EditBox::KeySlot(Signal::Base* signal, GuiObject*)
{
    const std::uint32_t code = static_cast<Signal::KeyPress*>(signal)->code;
    ClampPositions();
    if (code == kSelectAll) {
        SelectAll();
    } else if (code == kEscape) {
        Revert();
    } else if (code == kCopy || code == kCut) {
        Platform::SetClipboardText(GetSelectedText());
        if (code == kCut)
            Edit("DEL");
    } else if (code == kPaste) {
        std::string pasted;
        if (Platform::GetClipboardText(pasted))
            Paste(pasted);
    } else if ((code & Platform::kVirtualKeyFlag) != 0) {
        Navigate(code & ~Platform::kVirtualKeyFlag);
    } else if (code == kBackspace) {
        Edit("BackSpace");
    } else if (code == kEnter) {
        Edit("<EN>");
    } else if (IsTypable(code)) {
        Edit(std::string(1, static_cast<char>(code)));
    }
    InvalidateWhenShown(*this);
}

bool EditBox::Navigate(std::uint32_t key)
{
    const bool shift = Platform::IsShiftDown();
    const bool selecting = HasSelection();
    switch (key) {
    case Platform::VirtualKey::End:
        if (shift && !selecting)
            anchor_ = caret_;
        caret_ = Length();
        break;
    case Platform::VirtualKey::Home:
        if (shift && !selecting)
            caret_ = anchor_ = caret_ - 1;
        caret_ = 0;
        break;
    case Platform::VirtualKey::Left:
        if (shift && !selecting)
            caret_ = anchor_ = caret_ - 1;
        else
            --caret_;
        caret_ = std::max(caret_, 0);
        if (shift)
            anchor_ = std::max(anchor_, 0);
        break;
    case Platform::VirtualKey::Right:
        if (shift && !selecting)
            anchor_ = caret_;
        else
            ++caret_;
        caret_ = std::min(caret_, Length());
        break;
    case Platform::VirtualKey::Delete:
        Edit("DEL");
        return true;
    default:
        return false;
    }
    if (!shift) {
        anchor_ = -1;
        RestartBlink();
    }
    ClampPositions();
    return true;
}

void EditBox::RestartBlink()
{
    caretVisible_ = true;
    blinkTime_ = Platform::NowMs();
    Platform::RequestTickAt(blinkTime_ + kBlinkMs);
}

bool EditBox::IsFocused()
{
    try {
        return GetScreenManager()->IsFocusObject(this);
    } catch (const ScreenManagerNotReady&) {
        return false;
    }
}

void EditBox::BlinkSlot(Signal::Base*, GuiObject*)
{
    // Nothing of the program shows: the caret waits, and blinks on once a
    // window is back (its coming back ticks the clock).
    if (Platform::EventLoop::Instance().InBackground())
        return;
    const Platform::Milliseconds now = Platform::NowMs();
    if (now - blinkTime_ < kBlinkMs) {
        if (IsFocused())
            Platform::RequestTickAt(blinkTime_ + kBlinkMs);
        return;
    }
    blinkTime_ = now;
    caretVisible_ = !caretVisible_;
    if (IsFocused()) {
        Platform::RequestTickAt(now + kBlinkMs);
        InvalidateWhenShown(*this);
    }
}

void EditBox::PressSlot(Signal::Base* signal, GuiObject*)
{
    if (!justFocused_) {
        auto* press = static_cast<Signal::Positional*>(signal);
        anchor_ = -1;
        RestartBlink();
        caret_ = CharacterAt(Point{press->x, press->y});
    }
    justFocused_ = false;
    dragSelects_ = true;
}

void EditBox::DragSlot(Signal::Base* signal, GuiObject*)
{
    bool held = false;
    try {
        held = GetScreenManager()->IsLeftButtonHeld();
    } catch (const ScreenManagerNotReady&) {
    }
    if (!held || !dragSelects_ || !IsFocused() || caret_ < 0)
        return;
    auto* move = static_cast<Signal::Positional*>(signal);
    anchor_ = std::min(CharacterAt(Point{move->x, move->y}), Length() - 1);
    InvalidateWhenShown(*this);
}

void EditBox::FocusSlot(Signal::Base* signal, GuiObject*)
{
    if (static_cast<Signal::FocusChange*>(signal)->focusLost) {
        caret_ = anchor_ = -1;
        // Left without Enter: what was typed is not in effect.
        RestoreTextInEffect();
    } else {
        justFocused_ = true;
        caret_ = 0;
        anchor_ = Length() - 1;
    }
    InvalidateWhenShown(*this);
}

void EditBox::SelectAllSlot(Signal::Base*, GuiObject*)
{
    dragSelects_ = false;
    SelectAll();
}

void EditBox::ActivateSlot(Signal::Base*, GuiObject*)
{
    // Return on a box the keys reached starts an entry again after Enter
    // ended one; a click has given it the focus already.
    try {
        GetScreenManager()->SetFocusObject(this);
    } catch (const ScreenManagerNotReady&) {
    }
}

void EditBox::SelectAll()
{
    caret_ = 0;
    anchor_ = Length() - 1;
    InvalidateWhenShown(*this);
}

void EditBox::Revert()
{
    if (!IsFocused()) {
        RestoreTextInEffect();
        return;
    }
    // Losing the focus puts the text back.
    try {
        GetScreenManager()->SetFocusObject(nullptr);
    } catch (const ScreenManagerNotReady&) {
    }
}

void EditBox::RestoreTextInEffect()
{
    if (editText_ == committed_)
        return;
    SetText(committed_);
    // Its receivers took every edit: they hold what the box shows again.
    Signal::String changed(editText_);
    SendToSelf(&changed);
}

Rect EditBox::CharacterBox(int index) const
{
    Rect box = GetFont()->MeasureRange(editText_, index, index, -1.0f);
    box.x += 2 + offsetX_;
    box.y += 2 + offsetY_;
    return box;
}

int EditBox::CharacterAt(const Point& point)
{
    Point local = point;
    WindowToLocal(local);
    for (int i = 0; i < Length(); ++i) {
        const Rect box = CharacterBox(i);
        if (i == 0 && local.x < box.x)
            return 0;
        if (box.Contains(local.x, local.y))
            return i;
    }
    return Length();
}

bool EditBox::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    const Rect inner{GetX() + 2, GetY() + 2, GetWidth() - 4, GetHeight() - 4};
    GdiplusGfxLayer::ClipScope clip(painter, inner);
    RefreshFont();
    if (inner.width <= 0 || inner.height <= 0)
        return true;
    const GdiplusGfxLayer::Font& font = *GetFont();
    const bool empty = editText_.empty();
    const Rect whole = font.MeasureRange(empty ? std::string("|") : editText_, -1, -1, -1.0f);
    const int textWidth = whole.width + caretWidth_;
    const bool wider = whole.x + textWidth > inner.width;
    if (wider)
        offsetX_ = inner.width - (whole.x + textWidth);
    else if (GetAlignment() == 1)
        offsetX_ = empty ? inner.width / 2 : inner.width / 2 - textWidth / 2;
    else
        offsetX_ = 0;
    offsetY_ = inner.height / 2 - whole.height / 2;

    // The caret: on the character at it, or after the last one.
    Rect caret = whole;
    if (!empty) {
        const int at = std::clamp(caret_, 0, Length() - 1);
        caret = font.MeasureRange(editText_, at, at, -1.0f);
        if (caret_ >= Length())
            caret.x += caret.width;
    }
    if (caret.x + offsetX_ < 0)
        offsetX_ -= caret.x + offsetX_;

    const float textX = static_cast<float>(inner.x + offsetX_);
    const float textY = static_cast<float>(inner.y + offsetY_);
    painter.DrawString(font, editText_, CurrentColor(), textX, textY);
    if (!HasSelection() || GetSelectedText().empty()) {
        if (caretVisible_ && caret_ >= 0 && IsFocused())
            painter.FillRect(
                Rect{inner.x + offsetX_ + caret.x, inner.y + offsetY_ + caret.y, caretWidth_, caret.height},
                CurrentColor());
        return true;
    }
    const int first = std::min(caret_, anchor_);
    const int last = std::min(std::max(caret_, anchor_), Length() - 1);
    Rect selection = font.MeasureRange(editText_, first, last, -1.0f);
    selection.x += inner.x + offsetX_;
    selection.y += inner.y + offsetY_;
    painter.FillRect(selection, selectionColor_);
    GdiplusGfxLayer::ClipScope selected(painter, selection);
    painter.DrawString(font, editText_, kSelectionText, textX, textY);
    return true;
}

} // namespace Vabo
