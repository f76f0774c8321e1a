#include "framework/core/XMLLoadSave.h"

#include "XmlTestFolders.h"
#include "platform/Log.h"

#include <gtest/gtest.h>
#include <climits>
#include <limits>

using XmlTest::Data;

namespace {

std::vector<std::string> NamesOf(const std::vector<TiXmlElement*>& elements)
{
    std::vector<std::string> names;
    for (const TiXmlElement* element : elements)
        names.push_back(element->Attribute("Name") ? element->Attribute("Name") : "?");
    return names;
}

std::string Attribute(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "(absent)";
}

TiXmlElement* ParseInto(TiXmlDocument& document, const char* xml)
{
    document.Parse(xml);
    return document.RootElement();
}

// A required read that must succeed; gives the value read over the start value.
constexpr Vabo::SkinRange<long> kAnyLong{LONG_MIN, LONG_MAX, Vabo::Beyond::Clamp};

template <class T> T Read(const TiXmlElement* element, const char* name, T value)
{
    XMLLoadSave loader;
    if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) {
        const Vabo::SkinRange<T> any{std::numeric_limits<T>::lowest(), std::numeric_limits<T>::max(),
                                     Vabo::Beyond::Clamp};
        EXPECT_TRUE(loader.ReadXmlAttribute(value, element, name, true, any)) << name;
    } else {
        EXPECT_TRUE(loader.ReadXmlAttribute(value, element, name, true)) << name;
    }
    return value;
}

// The test skin loaded through the document map; its toolbar derives from
// Frame.xml, which derives from Panel.xml.
class SkinXml : public ::testing::Test {
protected:
    DocMapFolders folders_ = XmlTest::SkinFolders();
    XMLLoadSave loader;
    TiXmlElement* skin = loader.LoadXMLOrThrow("XML/Main/Skin.xml");
    TiXmlElement* toolbar = loader.GetChild(skin, "Toolbar");
    TiXmlElement* play = loader.GetChild(toolbar, "Button");
};

} // namespace

TEST_F(SkinXml, MergesATwoLevelBaseXmlChain)
{
    EXPECT_EQ("Skin", skin->ValueStr());
    // Panel <- Frame <- Toolbar: the farthest base is the merged element.
    EXPECT_EQ("Vabo::Panel", toolbar->ValueStr());
    EXPECT_EQ("Top", Attribute(toolbar, "Name"));
    EXPECT_EQ("640", Attribute(toolbar, "Width"));
    EXPECT_EQ("10,20,30,255", Attribute(toolbar, "Color"));
    EXPECT_EQ("2", Attribute(toolbar, "Border"));
    EXPECT_EQ("10px", Attribute(toolbar, "Height"));
    EXPECT_EQ(nullptr, toolbar->Attribute("BaseXML"));

    // Base children first, each level's "Alias" for the name it replaced,
    // then the derived element's own children.
    EXPECT_EQ((std::vector<std::string>{"PanelBackground", "Panel", "FrameTitle", "Frame", "Play"}),
              NamesOf(loader.GetChildren(toolbar)));
    for (const char* name : {"Top", "Frame", "Panel"})
        EXPECT_TRUE(loader.MatchesName(toolbar, name)) << name;
    EXPECT_FALSE(loader.MatchesName(toolbar, "Main"));

    // GetChildren matches the resolved tag, GetChild and HasChild the own tag.
    EXPECT_EQ(1u, loader.GetChildren(skin, "Vabo::Panel").size());
    EXPECT_TRUE(loader.GetChildren(skin, "Toolbar").empty());
    EXPECT_TRUE(XMLLoadSave::HasChild(skin, "Toolbar"));
    EXPECT_FALSE(XMLLoadSave::HasChild(skin, "Vabo::Panel"));
    EXPECT_EQ("Status", loader.GetChildOrSelf(skin, "Status")->ValueStr());
    EXPECT_EQ(skin, loader.GetChildOrSelf(skin, "Nothing"));
}

TEST_F(SkinXml, ReferencesAndTheLibraryMacroExpandAcrossTheMergedChain)
{
    EXPECT_EQ(DllDocMapInstance().GetLibraryFolder() + "//Images/play.png", Read(play, "Image", std::string()));
    EXPECT_EQ("200,100,50,255", Read(play, "Tint", std::string()));
    // The toolbar answers to "Top" although it lives in the base document now.
    EXPECT_EQ("[10px]", Read(play, "Label", std::string()));
    // The integer reading keeps the number in front of a unit.
    EXPECT_EQ(10, Read(toolbar, "Height", 0));

    // "PanelBackground" sits in Panel.xml; its root was included by Frame.xml,
    // whose root was included by Skin.xml.
    TiXmlElement* background = loader.GetChild(toolbar, "Background");
    background->SetAttribute("Fill", "$Main!Accent!");
    EXPECT_EQ("200,100,50,255", Read(background, "Fill", std::string()));

    // A merged element still sees the elements enclosing its derived element.
    TiXmlElement* inner = loader.GetChild(loader.GetChild(skin, "Group"), "Inner");
    ASSERT_EQ("Vabo::Panel", inner->ValueStr());
    EXPECT_EQ("1,1,1,1", Read(inner, "Tint", std::string()));
    EXPECT_EQ("Pellora", Read(inner, "Caption", std::string()));
}

TEST_F(SkinXml, ANumberBeyondItsRangeIsClampedOrRefusedNamingTheSkinThatSetIt)
{
    Platform::LogCapture log;
    // The toolbar's "Width" comes from the skin, merged into a definition.
    int width = 0;
    EXPECT_TRUE(
        loader.ReadXmlAttribute(width, toolbar, "Width", true, Vabo::SkinRange<int>{0, 100, Vabo::Beyond::Clamp}));
    EXPECT_EQ(100, width);
    EXPECT_TRUE(log.Contains("Width = \"640\" of Vabo::Panel in " + DllDocMapInstance().GetAppFolder()
                             + "/XML/Main/Skin.xml is outside 0 to 100; kept within it"));
    const Vabo::SkinRange<int> refused{0, 100, Vabo::Beyond::Refuse};
    width = 7;
    EXPECT_FALSE(loader.ReadXmlAttribute(width, toolbar, "Width", false, refused));
    EXPECT_EQ(7, width);
    EXPECT_TRUE(log.Contains("/XML/Main/Skin.xml is outside 0 to 100; ignored"));
    EXPECT_THROW(loader.ReadXmlAttribute(width, toolbar, "Width", true, refused), XMLLoadSave::XMLLoadSaveException);

    // Not a number is refused whatever the rule.
    for (const char* text : {"nan", "-nan", "1e39"}) {
        play->SetAttribute("Scale", text);
        float scale = 2.0f;
        EXPECT_EQ(text[1] == 'e', loader.ReadXmlAttribute(scale, play, "Scale", false, Vabo::kSkinFactor)) << text;
        EXPECT_EQ(text[1] == 'e' ? Vabo::kMaxSkinFactor : 2.0f, scale) << text;
    }
}

TEST_F(SkinXml, FromInsideABaseDocumentTheNearestElementEnclosingTheDerivedOneAnswersFirst)
{
    // "Background" comes from Panel.xml, two bases below the skin's "Inner",
    // which the group holds; the root is one level further out.
    TiXmlElement* group = loader.GetChild(skin, "Group");
    TiXmlElement* background = loader.GetChild(loader.GetChild(group, "Inner"), "Background");
    background->SetAttribute("Fill", "$Group!Accent!");
    EXPECT_EQ("1,1,1,1", Read(background, "Fill", std::string()));
    // Answering to the root's name as well, the group is still the nearer.
    XMLLoadSave::AddChildElement(group, "Alias")->SetAttribute("Name", "Main");
    background->SetAttribute("Fill", "$Main!Accent!");
    EXPECT_EQ("1,1,1,1", Read(background, "Fill", std::string()));
}

TEST_F(SkinXml, AReferenceLoopIsLoggedWithTheSkinThatMadeIt)
{
    // The merged element lives in the library's definition; the loop is the skin's.
    TiXmlElement* inner = loader.GetChild(loader.GetChild(skin, "Group"), "Inner");
    Platform::LogCapture log;
    std::string text = "unchanged";
    EXPECT_FALSE(loader.ReadXmlAttribute(text, inner, "Echo", false));
    EXPECT_EQ("unchanged", text);
    EXPECT_TRUE(log.Contains("references in attribute Echo of Vabo::Panel in " + DllDocMapInstance().GetAppFolder()
                             + "/XML/Main/Skin.xml do not end"));
}

TEST_F(SkinXml, AMissingRequiredAttributeOrChildIsReportedWithItsPathAndThrown)
{
    Platform::LogCapture log;
    int missing = 7;
    EXPECT_FALSE(loader.ReadXmlAttribute(missing, play, "Missing", false, Vabo::kSkinLength));
    EXPECT_TRUE(log.Messages().empty());
    try {
        loader.ReadXmlAttribute(missing, play, "Missing", true, Vabo::kSkinLength);
        FAIL() << "no exception";
    } catch (const XMLLoadSave::XMLLoadSaveException& e) {
        EXPECT_STREQ("XMLLoadSaveException - no working xml config files found in search path", e.what());
    }
    EXPECT_EQ(7, missing);
    // The button now lives in the base document of the chain; the message
    // names the skin that wrote it.
    const std::string file = DllDocMapInstance().GetAppFolder() + "/XML/Main/Skin.xml";
    ASSERT_EQ(1u, log.Messages().size());
    EXPECT_EQ("XML Error: Filename = " + file + " Vabo::Panel -> Button ->  Element = Button Attribute = Missing",
              log.Messages()[0]);

    log.Clear();
    TiXmlDocument document("/skins/deep.xml");
    TiXmlElement* leaf =
        ParseInto(document, "<Root><Middle><Leaf/></Middle></Root>")->FirstChildElement()->FirstChildElement();
    EXPECT_THROW(loader.GetChild(leaf, "Child"), XMLLoadSave::XMLLoadSaveException);
    std::string value;
    EXPECT_THROW(loader.ReadXmlAttribute(value, nullptr, "Colour", true), XMLLoadSave::XMLLoadSaveException);
    ASSERT_EQ(2u, log.Messages().size());
    EXPECT_EQ("XML Error: Filename = /skins/deep.xml Root -> Middle -> Leaf ->  Element = Leaf Attribute = Child",
              log.Messages()[0]);
    EXPECT_EQ(0u, log.Messages()[1].find("XML Error: Filename = "));
    EXPECT_NE(std::string::npos, log.Messages()[1].find("Attribute = Colour"));
}

TEST_F(SkinXml, DefaultBaseXmlUsesTheRegisteredDefinition)
{
    DllDocMapInstance().SetDefaultBaseXML("Vabo::Panel", "$VABO/Objects/Panel/Panel.xml");
    TiXmlDocument document("derived.xml");
    TiXmlElement* merged = loader.ResolveBaseXML(ParseInto(document, R"(<Vabo::Panel BaseXML="default" Width="5"/>)"));
    ASSERT_NE(document.RootElement(), merged);
    EXPECT_EQ("5", Attribute(merged, "Width"));
    EXPECT_EQ("10,20,30,255", Attribute(merged, "Color"));
}

TEST_F(SkinXml, WritesThroughAMergedCopyToTheDocumentItCameFrom)
{
    TiXmlElement* original = skin->FirstChildElement("Toolbar")->FirstChildElement("Button");
    ASSERT_NE(original, play);

    EXPECT_TRUE(loader.SetXmlAttribute(play, "Label", std::string("Go")));
    EXPECT_EQ("Go", Attribute(original, "Label"));
    EXPECT_TRUE(loader.SetXmlAttribute(play, "Label", std::string("Stop"), true));
    EXPECT_EQ("Stop", Attribute(play, "Label"));
    EXPECT_EQ("Go", Attribute(original, "Label"));
    EXPECT_FALSE(loader.SetXmlAttribute(nullptr, "Label", 1));

    XMLLoadSave::AttributeAdjustor adjust(original, "Label", "Adjusted");
    EXPECT_EQ("Adjusted", Attribute(original, "Label"));
    XMLLoadSave::AttributeAdjustor nothing(nullptr, "Label", "Adjusted");
}

TEST(XMLLoadSave, BaseDocumentsLiveAsLongAsAnyCopyOfTheirObject)
{
    DocMapFolders folders = XmlTest::SkinFolders();
    const std::size_t before = DllDocMapInstance().GetDocuments().size();
    auto original = std::make_unique<XMLLoadSave>();
    TiXmlElement* skin = original->LoadXMLOrThrow("XML/Main/Skin.xml");
    TiXmlElement* toolbar = original->GetChild(skin, "Toolbar");
    // The skin itself plus the two bases of the toolbar.
    EXPECT_EQ(before + 3, DllDocMapInstance().GetDocuments().size());

    XMLLoadSave copy(*original);
    original.reset();
    EXPECT_EQ(before + 1, DllDocMapInstance().GetDocuments().size());
    // The copy still reads the merged element the original loaded.
    std::string width;
    EXPECT_TRUE(copy.ReadXmlAttribute(width, toolbar, "Width", true));
    EXPECT_EQ("640", width);

    // Another object reading the element shares the merged element that the
    // copy keeps alive rather than loading the bases again.
    XMLLoadSave other;
    EXPECT_EQ(toolbar, other.GetChild(skin, "Toolbar"));
    EXPECT_EQ(before + 1, DllDocMapInstance().GetDocuments().size());

    // Assigning over an object releases what it held; once nobody holds the
    // merged element, the next read loads the bases anew.
    copy = XMLLoadSave();
    other = XMLLoadSave();
    XMLLoadSave third;
    EXPECT_NE(nullptr, third.GetChild(skin, "Toolbar"));
    EXPECT_EQ(before + 3, DllDocMapInstance().GetDocuments().size());
    third = XMLLoadSave();
    EXPECT_EQ(before + 1, DllDocMapInstance().GetDocuments().size());
}

TEST(XMLLoadSave, ChildScansSkipCommentsAndText)
{
    DocMapFolders folders(Data(""), Data("skins/lib/VABO/XML"));
    XMLLoadSave loader;
    TiXmlElement* root = loader.LoadXMLOrThrow("xml/Comments.xml");
    EXPECT_EQ((std::vector<std::string>{"First", "Second", "Third"}), NamesOf(loader.GetChildren(root)));
    EXPECT_EQ((std::vector<std::string>{"First", "Second"}), NamesOf(loader.GetChildren(root, "Item")));
    EXPECT_TRUE(XMLLoadSave::HasChild(root, "Other"));
    EXPECT_EQ("Third", Attribute(loader.GetChild(root, "Other"), "Name"));
}

TEST(XMLLoadSave, AReferenceIsSoughtAboveTheElementAndMatchesAliases)
{
    TiXmlDocument document("refs.xml");
    TiXmlElement* root = ParseInto(document, R"(
        <A Name="Outer" Color="1,2,3,4" Depth="$Outer!Color!">
          <Alias Name="A"/>
          <B Name="Inner" Color="9,9,9,9">
            <C Name="Leaf" Color="5,5,5,5" Own="$Leaf!Color!" Mixed="x $A!Color! y $Inner!Color! z"
               Nested="$Outer!Depth!" Second="$Outer!Color!-$None!Color!"/>
          </B>
        </A>)");
    TiXmlElement* leaf = root->FirstChildElement("B")->FirstChildElement("C");
    EXPECT_EQ("x 1,2,3,4 y 9,9,9,9 z", Read(leaf, "Mixed", std::string()));
    EXPECT_EQ("1,2,3,4", Read(leaf, "Nested", std::string()));
    // A second reference that cannot be resolved stays in the text.
    EXPECT_EQ("1,2,3,4-$None!Color!", Read(leaf, "Second", std::string()));

    // The element itself is not searched: a first unresolved reference
    // makes the read fail.
    XMLLoadSave loader;
    std::string text = "unchanged";
    EXPECT_FALSE(loader.ReadXmlAttribute(text, leaf, "Own", false));
    EXPECT_EQ("unchanged", text);
    EXPECT_THROW(loader.ReadXmlAttribute(text, leaf, "Own", true), XMLLoadSave::XMLLoadSaveException);
}

TEST(XMLLoadSave, CyclicReferencesEndAsAFailedRead)
{
    TiXmlDocument document("cycle.xml");
    TiXmlElement* root = ParseInto(document, R"(
        <A Name="A" Self="$A!Self!" Ping="$A!Pong!" Pong="[$A!Ping!]" Grow="$A!Grow!$A!Grow!">
          <B Name="B" X="$A!Self!" Y="$A!Ping!" Z="$A!Grow!"/>
        </A>)");
    const TiXmlElement* b = root->FirstChildElement("B");
    XMLLoadSave loader;
    for (const char* attribute : {"X", "Y", "Z"}) {
        SCOPED_TRACE(attribute);
        Platform::LogCapture log;
        std::string text = "unchanged";
        EXPECT_FALSE(loader.ReadXmlAttribute(text, b, attribute, false));
        EXPECT_EQ("unchanged", text);
        EXPECT_TRUE(log.Contains("do not end"));
        EXPECT_THROW(loader.ReadXmlAttribute(text, b, attribute, true), XMLLoadSave::XMLLoadSaveException);
    }
}

TEST(XMLLoadSave, ReferencesExpandingBeyondTheBoundFailTheRead)
{
    // A megabyte-sized value named a few times over grew the text without end.
    TiXmlDocument document("big.xml");
    TiXmlElement* root = ParseInto(document, "<A Name=\"A\"><B Once=\"$A!V!\" Thrice=\"$A!V!$A!V!$A!V!\"/></A>");
    root->SetAttribute("V", std::string(512 * 1024, 'x'));
    const TiXmlElement* b = root->FirstChildElement("B");
    EXPECT_EQ(512u * 1024u, Read(b, "Once", std::string()).size());
    XMLLoadSave loader;
    Platform::LogCapture log;
    std::string text = "unchanged";
    EXPECT_FALSE(loader.ReadXmlAttribute(text, b, "Thrice", false));
    EXPECT_EQ("unchanged", text);
    EXPECT_TRUE(log.Contains("expand beyond 1048576 bytes"));
}

TEST(XMLLoadSave, MissingOrBrokenDocumentsAndBasesAreReportedAndThrown)
{
    DocMapFolders folders(Data(""), Data("skins/lib/VABO/XML"));
    XMLLoadSave loader;
    Platform::LogCapture log;
    EXPECT_EQ(nullptr, loader.LoadXML("xml/Missing.xml"));
    EXPECT_THROW(loader.LoadXMLOrThrow("xml/Broken.xml"), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("DocMap::GetDocument - failed to load XML file "));
    EXPECT_TRUE(log.Contains("xml/Broken.xml is malformed or missing"));
    EXPECT_TRUE(log.Contains("Broken skin file: " + DllDocMapInstance().GetAppFolder() + "/xml/Broken.xml"));

    // A base that names itself fails instead of recursing for ever.
    EXPECT_THROW(loader.LoadXML("xml/SelfBase.xml"), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("BaseXML chain deeper than"));

    // A BaseXML of "default" for a type without a default definition.
    TiXmlDocument document("derived.xml");
    TiXmlElement* root = ParseInto(document, R"(<Unregistered BaseXML="default"/>)");
    EXPECT_THROW(loader.ResolveBaseXML(root), XMLLoadSave::XMLLoadSaveException);
}

TEST(XMLLoadSave, ConvertsTextsOfEachTypeBothWays)
{
    TiXmlDocument document("types.xml");
    TiXmlElement* e = ParseInto(document, R"(<T Yes="True" yes="true" Caps="TRUE" Px="10px" Blank="  -42 "
        Word="abc" Long="1234567890123" BadLong="12abc" Float="2.5" Big="99999999999"
        Bold="Bold" Two="Bold Italic" Strike="Strikeout" Huge="1e39" Tiny="-1e300"/>)");
    EXPECT_TRUE(Read(e, "Yes", false));
    EXPECT_TRUE(Read(e, "yes", false));
    EXPECT_FALSE(Read(e, "Caps", true));
    EXPECT_EQ(10, Read(e, "Px", 1));
    EXPECT_EQ(-42, Read(e, "Blank", 1));
    EXPECT_EQ(0, Read(e, "Word", 1));
    EXPECT_EQ(2147483647, Read(e, "Big", 1));
    EXPECT_EQ(1234567890123L, Read(e, "Long", 5L));
    EXPECT_FLOAT_EQ(2.5f, Read(e, "Float", 0.0f));
    EXPECT_FLOAT_EQ(0.0f, Read(e, "Word", 1.0f));
    // Beyond float's range the value saturates instead of overflowing the conversion.
    EXPECT_EQ(std::numeric_limits<float>::max(), Read(e, "Huge", 0.0f));
    EXPECT_EQ(-std::numeric_limits<float>::max(), Read(e, "Tiny", 0.0f));
    // One font style name only.
    EXPECT_EQ(GdiplusGfxLayer::FontStyleBold, Read(e, "Bold", GdiplusGfxLayer::FontStyleItalic));
    EXPECT_EQ(GdiplusGfxLayer::FontStyleRegular, Read(e, "Two", GdiplusGfxLayer::FontStyleItalic));
    EXPECT_EQ(8, Read(e, "Strike", GdiplusGfxLayer::FontStyleItalic));

    XMLLoadSave loader;
    long big = 5;
    Platform::LogCapture log;
    EXPECT_FALSE(loader.ReadXmlAttribute(big, e, "BadLong", false, kAnyLong));
    EXPECT_EQ(5L, big);
    EXPECT_TRUE(log.Contains("BadLong"));
    EXPECT_THROW(loader.ReadXmlAttribute(big, e, "BadLong", true, kAnyLong), XMLLoadSave::XMLLoadSaveException);

    std::string text;
    EXPECT_TRUE(XMLLoadSave::ToString(true, text) && text == "True");
    EXPECT_TRUE(XMLLoadSave::ToString(false, text) && text == "False");
    EXPECT_TRUE(XMLLoadSave::ToString(2.5f, text) && text == "2.5");
    EXPECT_TRUE(XMLLoadSave::ToString(-12L, text) && text == "-12");
    EXPECT_TRUE(loader.SetXmlAttribute(e, "Bold", GdiplusGfxLayer::FontStyleUnderline));
    EXPECT_EQ("Underline", Attribute(e, "Bold"));
    EXPECT_TRUE(loader.SetXmlAttribute(e, "Bold", static_cast<GdiplusGfxLayer::FontStyle>(3)));
    EXPECT_EQ("Underline", Attribute(e, "Bold"));
}

TEST(XMLLoadSave, ReadsColoursAsRedGreenBlueAlphaAndRejectsOtherCounts)
{
    TiXmlDocument document("colours.xml");
    TiXmlElement* e = ParseInto(document, R"(<T Half="255,0,0,128" Spaced=" 1, 2 ,3,4" Three="1,2,3"
        Five="1,2,3,4,5" Empty="1,,2,3" Word="red,0,0,255" Px="10px,20,30,40"/>)");
    XMLLoadSave loader;
    auto colour = std::make_shared<GdiplusGfxLayer::Color>(1, 2, 3, 4);
    const auto before = colour;
    ASSERT_TRUE(loader.ReadXmlAttribute(colour, e, "Half", true));
    EXPECT_NE(before, colour) << "a new colour replaces the old one";
    EXPECT_EQ(GdiplusGfxLayer::Color(128, 255, 0, 0), *colour);
    std::string text;
    EXPECT_TRUE(XMLLoadSave::ToString(colour, text));
    EXPECT_EQ("255,0,0,128", text);
    EXPECT_EQ(GdiplusGfxLayer::Color(4, 1, 2, 3), Read(e, "Spaced", GdiplusGfxLayer::Color()));
    EXPECT_EQ(GdiplusGfxLayer::Color(40, 10, 20, 30), Read(e, "Px", GdiplusGfxLayer::Color()));

    Platform::LogCapture log;
    for (const char* bad : {"Three", "Five", "Empty", "Word"}) {
        SCOPED_TRACE(bad);
        const auto held = colour;
        EXPECT_FALSE(loader.ReadXmlAttribute(colour, e, bad, false));
        EXPECT_EQ(held, colour);
        EXPECT_TRUE(log.Contains(std::string("attribute ") + bad));
        EXPECT_THROW(loader.ReadXmlAttribute(colour, e, bad, true), XMLLoadSave::XMLLoadSaveException);
    }
}

namespace {

struct Loaded : XMLLoadSave {
    explicit Loaded(TiXmlElement* element, bool succeed)
        : succeed(succeed)
    {
        LoadOrThrow(element, this);
    }
    bool LoadFromXML(TiXmlElement* element)
    {
        loadingSeen = IsLoading();
        return ReadXmlAttribute(value, element, "Value", false, Vabo::kSkinLength) && succeed;
    }
    bool succeed;
    bool loadingSeen = false;
    int value = 0;
};

// The drawing layer's font lives above this library; this stands in for its
// constructor.
struct FontArguments {
    FontArguments(std::string family, float size, int style, int conversion)
        : family(std::move(family))
        , size(size)
        , style(style)
        , conversion(conversion)
    {
    }
    std::string family;
    float size;
    int style, conversion;
};

} // namespace

TEST(XMLLoadSave, LoadOrThrowRunsTheLoaderAsTheRegisteredType)
{
    ClassXMLName<Loaded>() = "Test::Loaded";
    TiXmlDocument document("loaded.xml");
    TiXmlElement* e = ParseInto(document, R"(<Test::Loaded Value="3"/>)");
    Loaded loaded(e, true);
    EXPECT_EQ(3, loaded.value);
    EXPECT_TRUE(loaded.loadingSeen);
    EXPECT_FALSE(loaded.IsLoading());
    EXPECT_EQ("Test::Loaded", loaded.GetTypeName());

    Platform::LogCapture log;
    EXPECT_THROW(Loaded(e, false), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Test::Loaded could not be loaded from element Test::Loaded in loaded.xml"));
}

TEST(XMLLoadSave, BuildsAFontFromAChildElement)
{
    TiXmlDocument document("font.xml");
    TiXmlElement* e = ParseInto(document, R"(<Text>
        <Font Family="DejaVu Sans" Size="12.5" Style="Italic" Conversion="Point"/>
        <Small Family="DejaVu Sans" Size="3" Style="Regular" Conversion="Other"/>
        <NoSize Family="DejaVu Sans" Style="Bold"/>
      </Text>)");
    XMLLoadSave loader;
    std::shared_ptr<FontArguments> font;
    ASSERT_TRUE(loader.ReadXmlChild(font, e, "Font", true));
    EXPECT_EQ("DejaVu Sans", font->family);
    EXPECT_FLOAT_EQ(12.5f, font->size);
    EXPECT_EQ(2, font->style);
    EXPECT_EQ(2, font->conversion);
    ASSERT_TRUE(loader.ReadXmlChild(font, e, "Small", true));
    EXPECT_EQ(0, font->conversion);

    const auto held = font;
    EXPECT_FALSE(loader.ReadXmlChild(font, e, "Missing", false));
    EXPECT_EQ(held, font);
    Platform::LogCapture log;
    EXPECT_THROW(loader.ReadXmlChild(font, e, "Missing", true), XMLLoadSave::XMLLoadSaveException);
    EXPECT_THROW(loader.ReadXmlChild(font, e, "NoSize", true), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Element = NoSize Attribute = Size"));
}
