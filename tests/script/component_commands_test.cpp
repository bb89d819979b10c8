// The commands on components run against a real component list: creation with its
// parameters, GetProp, SetProp, ObjDel, the cabinets, and events that start handlers.
#include <gtest/gtest.h>

#include "components/base_list_call_components.h"
#include "components/component_creation.h"
#include "components/component_messages.h"
#include "components/mobu_image.h"
#include "components/mobu_particle.h"
#include "core/globals.h"
#include "script/page_messages.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

using testing_support::TScriptHarness;

// A script harness whose call manager sees a component list of 640 x 480.
struct TComponentScript : TScriptHarness {
    TMobuBaseList list;
    TBaseListCallComponents adapter{list};

    TComponentScript()
    {
        list.SetSize(640, 480);
        calls.SetComponents(&adapter);
    }
    void Run(const std::string& source, int frames = 1)
    {
        AddPage("main.msb", source);
        calls.StartPage("main.msb");
        Frames(frames);
    }
    TMobuControl* Control(const std::string& name)
    {
        TMobuObject* object = name.empty() ? nullptr : list.FindComponent(name);
        return object ? object->AsControl() : nullptr;
    }
    // Runs command `index` of the main page on its own and returns the message it raises.
    std::string Raised(int32_t index)
    {
        TPage* page = calls.GetPage("main.msb");
        int32_t pc = index;
        try {
            page->Command(index)->Exec(calls, page, pc);
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }
};

TEST(ComponentCreation, BoxNewAppliesItsParameters)
{
    TComponentScript script;
    script.Run(
        "BoxNew PR_NAME: \"back\"; PR_LEFT: 5; PR_TOP: 6; PR_WIDTH: 100; PR_HEIGHT: 50; continue: yes\n"
        "BoxNew PR_NAME: \"box\"; PR_PARENT: \"back\"; PR_LEFT: 10; PR_TOP: 20; PR_WIDTH: 30; PR_HEIGHT: 40; "
        "PR_COLOR: 255; PR_ALPHA: 128; PR_PRIORITY: 3; PR_TAG: \"t\"; PR_ONLBTNDOWN: \"h.msb:go\"\n");
    TMobuControl* back = script.Control("back");
    TMobuControl* box = script.Control("box");
    ASSERT_TRUE(back && box);
    EXPECT_EQ(back->GetCompoType(), LT_BOX);
    EXPECT_EQ(back->Parent(), script.list.ActiveBase());
    EXPECT_EQ(box->Parent(), back);
    EXPECT_EQ((std::vector<int32_t>{box->Left, box->Top, box->Width, box->Height}),
              (std::vector<int32_t>{10, 20, 30, 40}));
    EXPECT_EQ(box->Color, 255);
    EXPECT_EQ(box->GetProp(PR_ALPHA).AsInt(), 128);
    EXPECT_EQ(box->Priority(), 3);
    EXPECT_EQ(box->Tag, "t");
    EXPECT_EQ(box->EventString(PR_ONLBTNDOWN), "h.msb:go");
    // The mask of the page carries the parameters of both: the first box got the defaults.
    EXPECT_EQ(back->Color, -1);
    EXPECT_EQ(back->GetProp(PR_ALPHA).AsInt(), 255);
    // Created visible: its rectangle is waiting to be drawn.
    EXPECT_FALSE(script.list.ActiveBase()->DirtyList.Empty());
}

// ImgNew hands its PR_DELAY expression to the image list, which runs it anew whenever it
// asks for the last frame's extra wait: a variable changed later changes the wait.
TEST(ComponentCreation, ImgNewKeepsItsDelayExpression)
{
    TComponentScript script;
    script.table.AddVariable("pause", PT_INT)->Value()->SetInteger(40);
    script.Run("ImgNew PR_NAME: \"walker\"; PR_DELAY: pause + 2; continue: yes\n");
    auto* images = dynamic_cast<TMobuCustomImages*>(script.Control("walker"));
    ASSERT_NE(images, nullptr);
    TMobuCustomImages::SetDelayEvaluator([&script](TMobuParser& expression) {
        expression.Execute(script.functions);
        return expression.Result() ? expression.Result()->GetInteger() : 0;
    });
    EXPECT_EQ(images->LastFrameWaitValue(), 42);
    script.table.Find("pause")->Value()->SetInteger(100);
    EXPECT_EQ(images->LastFrameWaitValue(), 102);
    TMobuCustomImages::SetDelayEvaluator({});
}

// ParticleNew hands its position and interval expressions to the emitter, which runs them
// for every piece: a variable changed later moves the next pieces.
TEST(ComponentCreation, ParticleNewKeepsItsExpressions)
{
    TComponentScript script;
    script.table.AddVariable("x", PT_INT)->Value()->SetInteger(5);
    script.Run("ParticleNew PR_NAME: \"fx\"; PR_APPEARX: x + 1; PR_APPEARY: 7; PR_DELAY: 30; continue: yes\n");
    auto* emitter = dynamic_cast<TMobuParticle*>(script.Control("fx"));
    ASSERT_NE(emitter, nullptr);
    TMobuParticle::SetValueEvaluator([&script](TMobuParser& expression) -> std::optional<int32_t> {
        if (expression.Empty()) return std::nullopt;
        expression.Execute(script.functions);
        if (!expression.Result()) return std::nullopt;
        return expression.Result()->GetInteger();
    });
    ASSERT_FALSE(emitter->AppearX.Empty());
    ASSERT_FALSE(emitter->Delay.Empty());
    emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    FrameDeltaMs = 15;
    script.list.UpdatePass();
    ASSERT_EQ(emitter->Particles.size(), 1u);
    EXPECT_EQ(emitter->Particles[0]->Left, 6);
    EXPECT_EQ(emitter->Particles[0]->Top, 7);
    EXPECT_EQ(emitter->Countdown, 30);
    script.table.Find("x")->Value()->SetInteger(40);
    emitter->Countdown = 0;
    script.list.UpdatePass();
    ASSERT_EQ(emitter->Particles.size(), 2u);
    EXPECT_EQ(emitter->Particles[1]->Left, 41);
    TMobuParticle::SetValueEvaluator({});
}

struct TCreationCase {
    const char* name;
    const char* source;
    const char* component;  // the name it ends up with
    const char* parent;     // "" = the active base
};

class CreationRules : public ::testing::TestWithParam<TCreationCase> {};

TEST_P(CreationRules, NameAndParent)
{
    const TCreationCase& c = GetParam();
    TComponentScript script;
    script.Run(c.source);
    TMobuControl* control = script.Control(c.component);
    ASSERT_TRUE(control) << c.name;
    TMobuControl* parent = *c.parent ? script.Control(c.parent) : script.list.ActiveBase();
    EXPECT_EQ(control->Parent(), parent) << c.name;
}

const TCreationCase kCreationCases[] = {
    {"an empty name keeps the automatic one", "BoxNew PR_NAME: \"\"\n", "object0", ""},
    {"no name parameter at all", "ImgNew PR_LEFT: 1\n", "object0", ""},
    {"a parent that does not exist", "BoxNew PR_NAME: \"a\"; PR_PARENT: \"nobody\"\n", "a", ""},
    {"a parent that is not a control",
     "Timer PR_NAME: \"t\"; continue: yes\nBoxNew PR_NAME: \"a\"; PR_PARENT: \"t\"\n", "a", ""},
    {"a name taken by a control renames that one",
     "BoxNew PR_NAME: \"a\"; continue: yes\nBoxNew PR_NAME: \"a\"\n", "a_2", ""},
    {"the inactive base", "BoxNew PR_NAME: \"a\"; PR_PARENT: Chr(1)\n", "a", "\x01"},
    {"a message box inside a box",
     "BoxNew PR_NAME: \"p\"; continue: yes\nMesNew PR_NAME: \"m\"; PR_PARENT: \"p\"\n", "m", "p"},
};
INSTANTIATE_TEST_SUITE_P(Commands, CreationRules, ::testing::ValuesIn(kCreationCases));

TEST(ComponentCreation, EveryCreatingCommandMakesItsKind)
{
    const std::pair<const char*, int> kinds[] = {
        {"BoxNew", LT_BOX}, {"ImgNew", LT_IMAGES}, {"MesNew", LT_MES}, {"Timer", LT_TIMER},
        {"Movie", LT_VIDEO}, {"Cinema", LT_CINEMA}, {"Caption", LT_LABEL}, {"Menu", LT_MENU},
        {"Button", LT_BUTTON}, {"ParticleNew", LT_PARTICLE}, {"FireNew", LT_FIRE}, {"Sound", LT_SOUND},
        {"EditNew", LT_EDIT}, {"MemoNew", LT_MEMO}, {"MapImgNew", LT_MAPIMG}, {"WaveNew", LT_WAVE},
        {"TileNew", LT_TILE}, {"SliderNew", LT_SLIDER}, {"ScrollbarNew", LT_SCROLLBAR},
        {"GaugeNew", LT_GAUGE}, {"CGCaption", LT_CGLABEL}, {"PrevMenuNew", LT_PREVMENU},
    };
    std::string source;
    for (const auto& [command, type] : kinds)
        source += std::string(command) + " PR_NAME: \"" + command + "\"; PR_PRIORITY: 7; continue: yes\n";
    TComponentScript script;
    script.Run(source);
    for (const auto& [command, type] : kinds) {
        TMobuObject* object = script.list.FindComponent(command);
        ASSERT_TRUE(object) << command;
        EXPECT_EQ(object->GetCompoType(), type) << command;
        EXPECT_EQ(object->Priority(), 7) << command;
        EXPECT_EQ(object->AsControl() != nullptr, IsVisualType(type)) << command;
    }
}

// A box that notes every property written to it through the setters.
class TRecordingBox : public TMobuControl {
public:
    explicit TRecordingBox(TMobuBaseList* owner) : TMobuControl(owner, LT_BOX) {}
    std::vector<int> written;

protected:
    void WriteProperty(int id, const TPropValue& value) override
    {
        written.push_back(id);
        TMobuControl::WriteProperty(id, value);
    }
};

TEST(ComponentCreation, ParametersAreAppliedInTheCreationOrder)
{
    TMobuBaseList list;
    TMobuBaseList::SetFactory([](TMobuBaseList& owner, int) -> TMobuObject* { return new TRecordingBox(&owner); });
    // Every id is carried; nothing yields a value, so the creation defaults apply.
    TMobuObject* object = CreateWithParameters(list, LT_BOX, [](int, std::optional<TPropValue>&) { return true; });
    TMobuBaseList::SetFactory(nullptr);
    ASSERT_TRUE(object);
    std::vector<int> expected;
    for (uint8_t id : CreationOrder()) {
        // Never creation parameters: the read-only and retired ones, the caret and PlusX/Y.
        if (id == 78 || id == 79 || id == 92 || id == 93 || id == 138 || id == 140 || id == 159 ||
            id == 160 || id == 161)
            continue;
        // The name (empty keeps the automatic one), the parent, the priority and the tag
        // have rules of their own.
        if (id == PR_NAME || id == PR_PARENT || id == PR_PRIORITY || id == PR_TAG) continue;
        if (object->Answers(id)) expected.push_back(id);
    }
    EXPECT_EQ(static_cast<TRecordingBox*>(object)->written, expected);
    EXPECT_EQ(object->Name(), "object0");
    // The order itself: name, parent, source, zoom, size, position, then the rest.
    const auto& order = CreationOrder();
    EXPECT_EQ((std::vector<int>(order.begin(), order.begin() + 10)),
              (std::vector<int>{PR_NAME, PR_PARENT, PR_SOURCE, PR_ZOOMX, PR_ZOOMY, PR_POSZOOMED, PR_WIDTH,
                                PR_HEIGHT, PR_LEFT, PR_TOP}));
    std::vector<int> sorted(order.begin(), order.end());
    std::sort(sorted.begin(), sorted.end());
    for (int id = 0; id < kPropertyCount; ++id) EXPECT_EQ(sorted[static_cast<size_t>(id)], id);
}

TEST(ComponentCommands, SetPropGetPropAndObjDel)
{
    TComponentScript script;
    script.Run(
        "VarNew name: w; type: int; value: -1; continue: yes\n"
        "VarNew name: tag; type: string; continue: yes\n"
        "VarNew name: parent; type: string; value: \"x\"; continue: yes\n"
        "VarNew name: none; type: int; value: 42; continue: yes\n"
        "BoxNew PR_NAME: \"box\"; PR_WIDTH: 30; continue: yes\n"
        "BoxNew PR_NAME: \"gone\"; continue: yes\n"
        "SetProp component: \"box\"; property: 3; value: 15; continue: yes\n"
        "SetProp component: \"box\"; property: 151; value: \"hello\"; continue: yes\n"
        "SetProp component: \"box\"; property: 4; continue: yes\n"
        "GetProp component: \"box\"; property: 5; variable: w; continue: yes\n"
        "GetProp component: \"box\"; property: 151; variable: tag; continue: yes\n"
        "GetProp component: \"box\"; property: 1; variable: parent; continue: yes\n"
        "GetProp component: \"nobody\"; property: 5; variable: none; continue: yes\n"
        "ObjDel component: \"gone\"; continue: yes\n"
        "ObjDel component: \"\"\n");
    TMobuControl* box = script.Control("box");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Left, 15);
    EXPECT_EQ(box->Top, 0);  // a value expression that yields nothing sets nothing
    EXPECT_EQ(box->Tag, "hello");
    EXPECT_EQ(script.Int("w"), 30);
    EXPECT_EQ(script.Str("tag"), "hello");
    EXPECT_EQ(script.Str("parent"), "");  // on the active base
    EXPECT_EQ(script.Int("none"), 42);
    EXPECT_EQ(script.list.FindComponent("gone"), nullptr);
    int32_t before = script.list.GetCount();
    script.list.UpdatePass();
    EXPECT_EQ(script.list.GetCount(), before - 1);  // destroyed at the end of the update pass
    EXPECT_TRUE(script.list.ActiveBase() && script.list.InactiveBase());
}

struct TRaiseCase {
    const char* name;
    const char* command;
    std::string message;
};

class PropertyCommandErrors : public ::testing::TestWithParam<TRaiseCase> {};

TEST_P(PropertyCommandErrors, Raise)
{
    const TRaiseCase& c = GetParam();
    TComponentScript script;
    script.Run("VarNew name: v; type: int; continue: yes\nBoxNew PR_NAME: \"box\"; continue: yes\n" +
               std::string(c.command) + "\n");
    EXPECT_EQ(script.Raised(2), c.message) << c.name;
}

const TRaiseCase kRaiseCases[] = {
    {"GetProp without a property id", "GetProp component: \"box\"; variable: v", page_messages::BadProperty()},
    {"SetProp without a property id", "SetProp component: \"box\"; value: 1", page_messages::BadProperty()},
    {"GetProp of id 165", "GetProp component: \"box\"; property: 165; variable: v",
     component_messages::GetPropError()},
    {"SetProp of the retired PR_APPEARX", "SetProp component: \"box\"; property: 92; value: 1",
     component_messages::SetPropError()},
    {"no component: nothing is checked", "GetProp component: \"nobody\"; variable: v", ""},
};
INSTANTIATE_TEST_SUITE_P(Commands, PropertyCommandErrors, ::testing::ValuesIn(kRaiseCases));

TEST(ComponentCommands, ACabinetParksComponentsOfTheHiddenBase)
{
    TComponentScript script;
    script.Run(
        "BoxNew PR_NAME: \"a\"; PR_PARENT: Chr(1); continue: yes\n"
        "BoxNew PR_NAME: \"b\"; PR_PARENT: Chr(1); continue: yes\n"
        "BoxNew PR_NAME: \"c\"; PR_PARENT: Chr(1); continue: yes\n"
        "SaveCabinet PR_NAME: \"cab\"; names: \"a\"; names: \"c\"; continue: yes\n"
        "SaveCabinet PR_NAME: \"empty\"; names: \"nobody\"\n");
    TMobuObject* cab = script.list.FindComponent("cab");
    ASSERT_TRUE(cab && cab->IsCabinet());
    EXPECT_EQ(cab->AsControl()->Parent(), script.list.GetBase(0));
    EXPECT_EQ(script.Control("a")->Parent(), cab);
    EXPECT_EQ(script.Control("c")->Parent(), cab);
    EXPECT_EQ(script.Control("b")->Parent(), script.list.InactiveBase());
    EXPECT_EQ(script.list.FindComponent("empty"), nullptr);  // stayed empty: freed

    TComponentScript back;
    back.Run(
        "BoxNew PR_NAME: \"a\"; PR_PARENT: Chr(1); continue: yes\n"
        "BoxNew PR_NAME: \"b\"; PR_PARENT: Chr(1); continue: yes\n"
        "SaveCabinet PR_NAME: \"cab\"; invert: TRUE; continue: yes\n"
        "LoadCabinet PR_NAME: \"cab\"; names: \"a\"; invert: TRUE; continue: yes\n"
        "LoadCabinet PR_NAME: \"cab\"; names: \"a\"\n");
    EXPECT_EQ(back.Control("a")->Parent(), back.list.InactiveBase());
    EXPECT_EQ(back.Control("b")->Parent(), back.list.InactiveBase());
    EXPECT_EQ(back.list.FindComponent("cab"), nullptr);
}

TEST(ComponentEvents, AClickStartsTheHandlerWithTheSender)
{
    TComponentScript script;
    script.AddPage("click.msb",
                   "Label name: go\n"
                   "Calc expr: hits = hits + 1; continue: yes\n"
                   "Calc expr: who = @Sender; continue: yes\n"
                   "Calc expr: at = @ParamStr[0] ++ \",\" ++ @ParamStr[1]; continue: yes\n"
                   "ObjDel component: @Sender; continue: yes\n"
                   "BoxNew PR_NAME: \"after\"\n"
                   "Label name: in\n"
                   "Calc expr: ins = ins + 1\n");
    script.Run(
        "VarNew name: hits; type: int; continue: yes\n"
        "VarNew name: ins; type: int; continue: yes\n"
        "VarNew name: who; type: string; continue: yes\n"
        "VarNew name: at; type: string; continue: yes\n"
        "BoxNew PR_NAME: \"box\"; PR_LEFT: 100; PR_TOP: 100; PR_WIDTH: 50; PR_HEIGHT: 50; "
        "PR_ONLBTNDOWN: \"click.msb:go\"; PR_ONMOUSEIN: \"click.msb:in\"\n");
    script.list.MousePosition(110, 120);
    script.list.ProcessInput(15);  // the mouse enters the box
    script.Frame();
    EXPECT_EQ(script.Int("ins"), 1);
    script.list.MouseButtonDown(true, false);
    script.list.ProcessInput(15);
    script.Frame();
    script.list.UpdatePass();
    EXPECT_EQ(script.Int("hits"), 1);
    EXPECT_EQ(script.Str("who"), "box");
    EXPECT_EQ(script.Str("at"), "10,20");
    EXPECT_EQ(script.list.FindComponent("box"), nullptr);
    EXPECT_NE(script.list.FindComponent("after"), nullptr);
    EXPECT_EQ(script.list.Events().Count(), 0);
}

TEST(ComponentEvents, ResetRemovesEveryComponentAndEvent)
{
    TComponentScript script;
    script.AddPage("other.msb", "Calc expr: done = 1\n");
    script.Run(
        "VarNew name: done; type: int; continue: yes\n"
        "BoxNew PR_NAME: \"box\"; PR_ONMOUSEIN: \"x.msb\"; continue: yes\n"
        "Reset page: other.msb; target: 0\n");
    EXPECT_EQ(script.list.FindComponent("box"), nullptr);
    EXPECT_EQ(script.list.GetCount(), 2);  // the two new bases
    EXPECT_EQ(script.list.Events().Count(), 0);
}

}  // namespace
}  // namespace mobu
