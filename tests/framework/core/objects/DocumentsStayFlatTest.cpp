// Reading the same skin again and again (every show of a window connects its
// elements, every reference read climbs its ancestors, a broken base is tried
// again) loads no new documents: the document map and the heap stay flat.
#include <gtest/gtest.h>

#include "SkinTree.h"
#include "TestTypes.h"
#include "framework/core/XmlTestFolders.h"
#include "framework/core/DocMap.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "platform/Log.h"
#include "support/FakeScreenManager.h"

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps its own heap, which mallinfo2() does not see.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace ObjectsTest;
namespace Signal = Vabo::Signal;

namespace {

constexpr int kRounds = 1000;
// What 1000 rounds may add to the heap: a document costs several kilobytes, so
// one per round would exceed it many times over.
constexpr long kHeapSlack = 64 * 1024;

long HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long>(mallinfo2().uordblks);
#endif
}

std::size_t Documents()
{
    return DllDocMapInstance().GetDocuments().size();
}

// Runs a step once to warm up, then kRounds times, and checks that neither the
// document map nor the heap grew meanwhile.
template <class Step> void ExpectFlat(Step step)
{
    step();
    const std::size_t documents = Documents();
    const long heap = HeapInUse();
    for (int i = 0; i < kRounds; ++i)
        step();
    EXPECT_EQ(documents, Documents());
    EXPECT_LT(HeapInUse() - heap, kHeapSlack);
}

} // namespace

TEST(DocumentsStayFlat, ConnectingOnEveryShowResolvesAConnectBaseOnce)
{
    DocMapFolders folders(ObjectsData(""), DllDocMapInstance().GetLibraryFolder());
    auto tree = BuildSkin("Piles.xml");
    ASSERT_TRUE(tree);
    FakeScreenManager screens;
    tree->SetScreenManager(&screens);
    ExpectFlat([&tree] {
        Signal::ConnectXMLSlots connect;
        tree->Raise(&connect);
    });

    // Connected once, however often the window was shown.
    auto* log = Vabo::GetXMLObject<Recorder>(tree.get(), "Log");
    auto* play = Vabo::GetXMLObject<Recorder>(tree.get(), "Play");
    ASSERT_TRUE(log && play);
    SendAt<Signal::LeftButtonDown>(*tree, 10, 10);
    SendAt<Signal::LeftButtonUp>(*tree, 10, 10);
    EXPECT_EQ((std::vector<std::string>{"Record:Activate:Play"}), log->calls);
}

TEST(DocumentsStayFlat, AReferenceClimbingPastUnnamedAncestorsLoadsNothing)
{
    DocMapFolders folders(XmlTest::Data(""), DllDocMapInstance().GetLibraryFolder());
    XMLLoadSave loader;
    TiXmlElement* skin = loader.LoadXMLOrThrow("xml/Piles/Skin.xml");
    TiXmlElement* leaf = skin->FirstChildElement("Middle")->FirstChildElement("Leaf");
    std::string fill;
    ExpectFlat([&] { ASSERT_TRUE(loader.ReadXmlAttribute(fill, leaf, "Fill", true)); });
    EXPECT_EQ("1,2,3,4", fill);
}

TEST(DocumentsStayFlat, ABaseThatFailsLeavesNoDocumentBehind)
{
    DocMapFolders folders(XmlTest::Data(""), DllDocMapInstance().GetLibraryFolder());
    XMLLoadSave loader;
    TiXmlElement* skin = loader.LoadXMLOrThrow("xml/Piles/Skin.xml");
    Platform::LogCapture log;
    ExpectFlat([&] {
        // A base naming itself fails at the chain's depth bound; a missing
        // base fails at once.
        EXPECT_THROW(loader.LoadXML("xml/SelfBase.xml"), XMLLoadSave::XMLLoadSaveException);
        EXPECT_THROW(loader.GetChild(skin, "Broken"), XMLLoadSave::XMLLoadSaveException);
        log.Clear();
    });
}
