// The framework's single-line text entry: a text label with an edit string, a
// caret and a selection. It takes characters and editing keys while it has the
// focus, copies, cuts and pastes through the clipboard, asks its validators
// before every insertion, and reports every edit (Signal::String) and the
// Enter that ends an entry (Signal::EditBoxSignal) to its own connections.
// An entry ended any other way (Escape, or the focus going elsewhere) puts
// back the text in effect, the last one set or entered, and reports it as an
// edit. It holds at most "MaxLength" characters (256 without it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/drawing/Geometry.h"
#include "framework/widgets/Text.h"
#include "platform/Clock.h"

namespace Vabo {

class EditBox : public Text {
public:
    explicit EditBox(TiXmlElement* element);
    ~EditBox() override;

    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    // Replaces the edit string; caret and selection are kept where they still
    // fit the new text. Sends nothing.
    void SetText(const std::string& text);
    int GetMaxLength() const { return maxLength_; }
    const std::string& GetEditText() const { return editText_; }
    // One editing command: "BackSpace", "DEL", "<EN>" (Enter), "FW" (nothing),
    // or text to insert after validation.
    void Edit(const std::string& command);

    int GetCaret() const { return caret_; }
    int GetAnchor() const { return anchor_; }
    bool IsCaretVisible() const { return caretVisible_; }
    // The selected text; empty without a selection.
    std::string GetSelectedText() const;

    void BlinkSlot(Signal::Base* signal, GuiObject* object);
    void KeySlot(Signal::Base* signal, GuiObject* object);
    void PressSlot(Signal::Base* signal, GuiObject* object);
    void DragSlot(Signal::Base* signal, GuiObject* object);
    void FocusSlot(Signal::Base* signal, GuiObject* object);
    void SelectAllSlot(Signal::Base* signal, GuiObject* object);
    void ActivateSlot(Signal::Base* signal, GuiObject* object);

private:
    bool HasSelection() const { return anchor_ >= 0 && caret_ >= 0; }
    // Caret, anchor and selection count characters; the edit string holds
    // UTF-8, so a character may take several bytes.
    int Length() const;
    std::size_t ByteOffset(int index) const;
    // Inserts the text at the caret, each character validated on its own
    // against the text as it stands, in one pass however long the text.
    void Paste(const std::string& pasted);
    // Erases the characters [first, end).
    void EraseCharacters(int first, int end);
    // Keeps caret and anchor inside the text: the caret at most at its end,
    // the anchor on one of its characters (or none).
    void ClampPositions();
    // Deletes the selected characters and puts the caret where they began.
    void DeleteSelection();
    bool Navigate(std::uint32_t key);
    void RestartBlink();
    void ShowEditText();
    void SelectAll();
    // Ends the entry without Enter: the text in effect comes back.
    void Revert();
    // Shows the text in effect again and tells the receivers of every edit.
    void RestoreTextInEffect();
    bool IsFocused();
    // The index of the character under a point (window coordinates); the
    // length when the point is right of the text or off its row.
    int CharacterAt(const Point& point);
    // A character's box as drawn, in the box's own frame.
    Rect CharacterBox(int index) const;

    int caret_ = -1;
    int anchor_ = -1;
    std::string editText_;
    Platform::Milliseconds blinkTime_ = 0;
    bool caretVisible_ = true;
    bool justFocused_ = false;
    // A drag with the button held moves the selection's end from a single
    // press; after a double click the whole text stays selected.
    bool dragSelects_ = false;
    int caretWidth_ = 2;
    // The text in effect, shown again when an entry ends without Enter.
    std::string committed_;
    int maxLength_ = 256;
    int offsetX_ = 0;
    int offsetY_ = 0;
    // Behind the selected characters: "SelectionColor", else blue.
    GdiplusGfxLayer::Color selectionColor_{255, 0, 0, 200};
};

} // namespace Vabo
