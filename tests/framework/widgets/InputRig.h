#pragma once
// What the input widget tests build their skins on: the documents and pictures
// of tests/data/inputs with the framework's own definitions, a real screen
// manager that turns presses, moves, keys and clock ticks into the signals a
// user's input makes, and the tree drawn into a picture.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/host/ScreenManager.h"
#include "support/DocMapFolders.h"

class InputRig {
public:
    // Builds the root element of the document (in tests/data/inputs) at the size.
    InputRig(const std::string& document, int width, int height);
    ~InputRig();

    template <class T> T* Find(const std::string& path)
    {
        return dynamic_cast<T*>(DllGlobalObjectFactoryInstance().FindObject(root_.get(), path));
    }

    // Pointer and keys in window coordinates, through the screen manager.
    void Press(int x, int y);
    void Release(int x, int y);
    void Click(int x, int y);
    void Move(int x, int y);
    void DoubleClick(int x, int y);
    void Key(std::uint32_t code);
    void Type(const std::string& text);
    void Tick();

    // The whole tree drawn into a fresh transparent picture of the root's size.
    std::unique_ptr<GdiplusGfxLayer::Image> Draw();

    Vabo::GuiObject& Root() { return *root_; }
    Vabo::ScreenManager& Screens() { return screens_; }
    XMLLoadSave& Loader() { return loader_; }

private:
    DocMapFolders folders_;
    XMLLoadSave loader_;
    Vabo::ScreenManager screens_;
    std::shared_ptr<Vabo::GuiObject> root_;
};
