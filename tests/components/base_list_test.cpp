#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/mobu_error.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"

namespace mobu {
namespace {

TMobuControl* NewBox(TMobuBaseList& list, const std::string& name, TRect r, int32_t colour, int priority = 0,
                     TMobuControl* parent = nullptr)
{
    TMobuControl* box = list.CreateComponent(LT_BOX, parent)->AsControl();
    box->SetName(name);
    box->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    box->SetColor(colour);
    box->SetPriority(priority);
    return box;
}

TEST(Names, AutomaticNamesAndDisplacement)
{
    TMobuBaseList list;
    TMobuObject* a = list.CreateComponent(LT_BOX);
    TMobuObject* b = list.CreateComponent(LT_BOX);
    EXPECT_EQ(a->Name(), "object0");
    EXPECT_EQ(b->Name(), "object1");
    list.Doom(a);
    EXPECT_EQ(list.CreateComponent(LT_BOX)->Name(), "object0");
    TMobuObject* x = list.CreateComponent(LT_BOX);
    TMobuObject* y = list.CreateComponent(LT_BOX);
    TMobuObject* z = list.CreateComponent(LT_BOX);
    x->SetName("a");
    y->SetName("a");
    EXPECT_EQ(x->Name(), "a_2");
    z->SetName("a");
    EXPECT_EQ(y->Name(), "a_3");
    TMobuObject* p = list.CreateComponent(LT_BOX);
    TMobuObject* q = list.CreateComponent(LT_BOX);
    p->SetName("a_5");
    q->SetName("a_5");
    EXPECT_EQ(p->Name(), "a_6");
    p->SetName("a_1");
    q->SetName("a_1");
    EXPECT_EQ(p->Name(), "a_1_2");
    // A non-control taking a name dooms the holder.
    TMobuObject* timer = list.CreateComponent(LT_TIMER);
    timer->SetName("a");
    EXPECT_EQ(z->Name(), "");
    EXPECT_TRUE(list.IsDoomed(z));
}

TEST(Names, TheNameIndexAlwaysGivesTheFirstHolderOfAName)
{
    // Random creations, renames (to new, shared and empty names) and removals: each lookup
    // by name gives the first registered holder, as a search through the list in order does.
    TMobuBaseList list;
    std::vector<TMobuObject*> order;
    std::mt19937 random(7);
    const char* names[] = {"", "a", "b", "c", "d"};
    for (int step = 0; step < 3000; ++step) {
        const int what = static_cast<int>(random() % 4);
        if (what == 0 || order.empty()) {
            TMobuObject* object = list.CreateComponent(LT_TIMER);
            object->StoreName(names[random() % 5]);
            order.push_back(object);
        } else if (what == 1 || what == 2) {
            TMobuObject* object = order[random() % order.size()];
            object->StoreName(random() % 3 == 0 ? std::string(names[random() % 5]) : "n" + std::to_string(step));
        } else {
            const size_t at = random() % order.size();
            list.Destroy(order[at]);
            order.erase(order.begin() + static_cast<long>(at));
        }
        for (const char* name : {"a", "b", "c", "d"}) {
            TMobuObject* expected = nullptr;
            for (TMobuObject* object : order) {
                if (object->Name() == name) {
                    expected = object;
                    break;
                }
            }
            ASSERT_EQ(list.FindByName(name), expected) << "step " << step << " name " << name;
        }
        if (order.size() > 1 && !order.back()->Name().empty()) {
            ASSERT_EQ(list.FindByName(order.back()->Name())->Name(), order.back()->Name());
        }
    }
}

TEST(Tree, ParentCyclesAndOrder)
{
    TMobuBaseList list;
    list.SetSize(100, 100);
    TMobuControl* a = NewBox(list, "a", {0, 0, 10, 10}, 1);
    TMobuControl* b = NewBox(list, "b", {0, 0, 10, 10}, 2, 0, a);
    a->SetParent(b);
    EXPECT_EQ(a->Parent(), list.ActiveBase());
    TMobuControl* c = NewBox(list, "c", {0, 0, 10, 10}, 2, 5);
    TMobuControl* d = NewBox(list, "\x01sys", {0, 0, 10, 10}, 2, 99);
    const auto& kids = list.ActiveBase()->Children();
    ASSERT_EQ(kids.size(), 3u);
    EXPECT_EQ(kids[0], d);  // system names underneath regardless of priority
    EXPECT_EQ(kids[1], a);
    EXPECT_EQ(kids[2], c);
}

// Random scenes: drawing only the dirty rectangles gives the same picture as a full redraw.
TEST(Drawing, DirtyRectanglesMatchFullRedraw)
{
    std::mt19937 random(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int scene = 0; scene < 20; ++scene) {
        TMobuBaseList list;
        list.SetSize(160, 120);
        list.GetBase(0)->Color = 0x102030;
        std::vector<TMobuControl*> boxes;
        for (int i = 0; i < 25; ++i) {
            TMobuControl* parent = !boxes.empty() && pick(0, 3) == 0 ? boxes[static_cast<size_t>(pick(0, static_cast<int>(boxes.size()) - 1))] : nullptr;
            int x = pick(-20, 150), y = pick(-20, 110);
            TMobuControl* box = NewBox(list, "b" + std::to_string(i), {x, y, x + pick(1, 60), y + pick(1, 60)},
                                       pick(0, 0xFFFFFF), pick(-3, 3), parent);
            box->SetProp(PR_ALPHA, TPropValue::Int(255));
            if (pick(0, 4) == 0) box->SetProp(PR_BORDERWIDTH, TPropValue::Int(pick(1, 4))),
                                 box->SetProp(PR_BORDERCOLOR, TPropValue::Int(pick(0, 0xFFFFFF)));
            if (pick(0, 5) == 0) box->ClipWidth = pick(1, 30), box->ClipHeight = pick(1, 30);
            boxes.push_back(box);
        }
        list.DrawPass();
        list.ClearDirty();
        for (int step = 0; step < 6; ++step) {
            for (int change = 0; change < 3; ++change) {
                TMobuControl* box = boxes[static_cast<size_t>(pick(0, static_cast<int>(boxes.size()) - 1))];
                int kind = pick(0, 4);
                switch (kind) {
                    case 0: box->SetLeft(box->Left + pick(-30, 30)); break;
                    case 1: box->SetVisible(!box->GetVisible()); break;
                    case 2: box->SetColor(pick(0, 0xFFFFFF)); break;
                    case 3: box->SetPriority(pick(-3, 3)); break;
                    default: box->SetProp(PR_ALPHA, TPropValue::Int(pick(0, 255))); break;
                }
            }
            list.DrawPass();
            list.ClearDirty();
            std::vector<uint32_t> incremental;
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 160; ++x) incremental.push_back(list.FrameSurface().GetPixel(x, y));
            list.MarkAllDirty();
            list.DrawPass();
            list.ClearDirty();
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 160; ++x)
                    ASSERT_EQ(incremental[static_cast<size_t>(y * 160 + x)], list.FrameSurface().GetPixel(x, y))
                        << "scene " << scene << " step " << step << " at " << x << "," << y;
        }
    }
}

TEST(Drawing, DirtyRectanglesMergeWithin20Pixels)
{
    TClipList clips;
    clips.Add({0, 0, 10, 10});
    clips.Add({25, 0, 35, 10});
    EXPECT_EQ(clips.Rects().size(), 1u);
    EXPECT_EQ(clips.Rects()[0], (TRect{0, 0, 35, 10}));
    TClipList apart;
    apart.Add({0, 0, 10, 10});
    apart.Add({35, 0, 45, 10});
    EXPECT_EQ(apart.Rects().size(), 2u);
}

struct TInputFixture : ::testing::Test {
    TInputFixture()
    {
        list.SetSize(200, 200);
        back = NewBox(list, "back", {0, 0, 100, 100}, 1, 1);
        front = NewBox(list, "front", {50, 50, 150, 150}, 2, 2);
        for (TMobuControl* c : {back, front})
            for (int code : {PR_ONLBTNDOWN, PR_ONLBTNUP, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONMOUSEMOVE})
                c->SetProp(code, TPropValue::Text(c->Name() + ":" + PropertyInfo(code).name));
    }
    std::vector<std::string> Drain()
    {
        std::vector<std::string> out;
        for (int32_t i = 0; i < list.Events().Count(); ++i) out.push_back(list.Events().At(i).Handler);
        list.Events().Clear();
        return out;
    }
    void Frame() { list.ProcessInput(15); }
    TMobuBaseList list;
    TMobuControl* back;
    TMobuControl* front;
};

TEST_F(TInputFixture, ClickGoesToFrontmostAndIsCaptured)
{
    list.MousePosition(75, 75);
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"front:PR_ONMOUSEIN", "front:PR_ONMOUSEMOVE"}));
    list.MouseButtonDown(true, false);
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"front:PR_ONLBTNDOWN"}));
    EXPECT_FALSE(list.ActiveBase()->LClick);  // consumed
    list.MousePosition(10, 10);  // over back, but the button is captured
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"front:PR_ONMOUSEMOVE"}));
    list.MouseButtonUp();
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"front:PR_ONLBTNUP"}));
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"front:PR_ONMOUSEOUT", "back:PR_ONMOUSEIN", "back:PR_ONMOUSEMOVE"}));
}

TEST_F(TInputFixture, IgnoreMouseMasks)
{
    list.MousePosition(75, 75);
    Frame();
    Drain();
    front->IgnoreMouse = IM_LCLICK;  // a left press falls through to the control behind
    list.MouseButtonDown(true, false);
    Frame();
    auto events = Drain();
    EXPECT_NE(std::find(events.begin(), events.end(), "back:PR_ONLBTNDOWN"), events.end());
    list.MouseButtonUp();
    Frame();
    Drain();
    front->IgnoreMouse = IM_ALL;
    list.MousePosition(120, 120);  // only front is here, and it is never hit
    Frame();
    for (const std::string& e : Drain()) EXPECT_EQ(e.rfind("front:PR_ONMOUSEIN", 0), std::string::npos);
    // A press on empty screen leaves @LClick set.
    list.MousePosition(190, 190);
    list.MouseButtonDown(true, false);
    Frame();
    EXPECT_TRUE(list.ActiveBase()->LClick);
}

TEST_F(TInputFixture, IgnoreMouseOutsideTheKnownValuesIsNeverHit)
{
    // PR_IGNOREMOUSE takes any byte; the values past IM_RCLICK let nothing through.
    for (int value : {IM_RCLICK + 1, 31, 32, 200, 255}) {
        front->SetProp(PR_IGNOREMOUSE, TPropValue::Int(value));
        for (uint32_t mask : {kMaskLeftClick, kMaskRightClick, kMaskMove, 0xFFFFFFFFu})
            EXPECT_EQ(list.ActiveBase()->HitTest(120, 120, mask), list.ActiveBase()) << value;
    }
}

// A screen built on the hidden base and shown by a switch gets the keyboard: its control that
// handles keys takes the focus even though nothing had it before, and keys reach it.
TEST_F(TInputFixture, SwitchWithoutFocusFocusesTheNewScreen)
{
    TMobuControl* next = NewBox(list, "next", {0, 0, 10, 10}, 3, 0, list.InactiveBase());
    next->HandleKey = true;
    next->SetProp(PR_ONKEYDOWN, TPropValue::Text("next:down"));
    Frame();
    EXPECT_EQ(list.Focus(), nullptr);
    list.SwitchBase(list.ActiveIndex() ^ 1, 0, false, true, 0, 0);
    Frame();
    EXPECT_EQ(list.Focus(), next);
    Drain();
    list.KeyEvent(32, true);
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"next:down"}));
}

TEST_F(TInputFixture, KeyFocusAndRepeat)
{
    front->HandleKey = true;
    front->SetProp(PR_ONKEYDOWN, TPropValue::Text("k:down"));
    front->SetProp(PR_ONKEYREPEAT, TPropValue::Text("k:repeat"));
    front->SetProp(PR_ONKEYUP, TPropValue::Text("k:up"));
    list.MousePosition(120, 120);
    list.MouseButtonDown(true, false);
    Frame();
    EXPECT_EQ(list.Focus(), front);
    list.MouseButtonUp();
    Frame();
    Drain();
    list.KeyEvent(65, true);
    list.KeyClick(65);
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"k:down", "k:repeat"}));
    EXPECT_TRUE(list.KeyClickedLast(65));
    int repeats = 0;
    for (int frame = 0; frame < 40; ++frame) {  // 600 ms in 15 ms frames
        Frame();
        for (const std::string& e : Drain()) repeats += e == "k:repeat";
    }
    // Repeats at 300 ms, then every 50 ms: 300, 350, ..., 600 -> 7.
    EXPECT_EQ(repeats, 7);
    list.KeyEvent(65, false);
    Frame();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"k:up"}));
    // Hiding the focused control moves the focus at the next input pass.
    back->HandleKey = true;
    front->SetVisible(false);
    Frame();
    EXPECT_EQ(list.Focus(), back);
}

// A component whose update asks for its removal after a number of frames, counting visits.
class TCountingControl : public TMobuControl {
public:
    TCountingControl(TMobuBaseList* owner, std::map<std::string, int>& visits, int lifetime)
        : TMobuControl(owner, LT_BOX), visits_(visits), lifetime_(lifetime) {}
    bool Update() override
    {
        ++visits_[Name()];
        return --lifetime_ == 0;
    }

private:
    std::map<std::string, int>& visits_;
    int lifetime_;
};

TEST(UpdatePass, DestroyingDuringUpdateSkipsNothing)
{
    TMobuBaseList list;
    std::map<std::string, int> visits;
    // Registered first: a child that ends up under a parent registered later.
    auto* child = new TCountingControl(&list, visits, 0);
    child->StoreName("child");
    auto* a = new TCountingControl(&list, visits, 0);
    a->StoreName("a");
    auto* parent = new TCountingControl(&list, visits, 1);
    parent->StoreName("parent");
    auto* b = new TCountingControl(&list, visits, 0);
    b->StoreName("b");
    for (TMobuControl* c : {static_cast<TMobuControl*>(a), static_cast<TMobuControl*>(parent), static_cast<TMobuControl*>(b)})
        c->SetParent(list.ActiveBase());
    child->SetParent(parent);
    list.UpdatePass();
    EXPECT_EQ(visits["a"], 1);
    EXPECT_EQ(visits["parent"], 1);
    EXPECT_EQ(visits["b"], 1);
    EXPECT_EQ(visits["child"], 1);
    EXPECT_EQ(list.FindComponent("child"), nullptr);
    EXPECT_EQ(list.FindComponent("parent"), nullptr);
    list.UpdatePass();
    EXPECT_EQ(visits["a"], 2);
    EXPECT_EQ(visits["b"], 2);
}

TEST(SavedForm, RoundTripAndRefusals)
{
    TMobuBaseList list;
    list.SetSize(320, 240);
    TMobuControl* box = NewBox(list, "box", {5, 6, 50, 60}, 0x123456, 7);
    box->Tag = "tagged";
    box->SetProp(PR_ONLBTNDOWN, TPropValue::Text("p:l"));
    box->HandleKey = true;
    TMobuControl* child = NewBox(list, "kid", {1, 2, 3, 4}, -1, 0, box);
    TMobuObject* timer = list.CreateComponent(LT_TIMER);
    timer->SetName("t");
    TMobuControl* cabinet = list.CreateComponent(LT_CABINET)->AsControl();
    cabinet->SetName("cab");
    NewBox(list, "parked", {0, 0, 5, 5}, 1, 0, cabinet);
    list.SetFocus(child);
    list.Events().Post(TTimerData{"h:x", box, 36, 0, {"1", "2"}});
    ByteWriter out;
    list.SaveToStream(out);

    TMobuBaseList loaded;
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    TMobuControl* box2 = loaded.FindControl("box");
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box2->Left, 5);
    EXPECT_EQ(box2->Priority(), 7);
    EXPECT_EQ(box2->Tag, "tagged");
    EXPECT_EQ(box2->EventString(PR_ONLBTNDOWN), "p:l");
    EXPECT_EQ(box2->Children().size(), 1u);
    EXPECT_NE(loaded.FindComponent("t"), nullptr);
    EXPECT_TRUE(loaded.FindControl("parked")->IsInCabinet());
    EXPECT_EQ(loaded.Focus(), loaded.FindControl("kid"));
    ASSERT_EQ(loaded.Events().Count(), 1);
    EXPECT_EQ(loaded.Events().At(0).Sender, box2);
    ByteWriter again;
    loaded.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), out.Bytes());

    // A type code that cannot be created fails the load with the save's message.
    std::string bad = out.Bytes();
    size_t at = bad.find(std::string("\x03\x00\x00\x00" "box", 7));
    ASSERT_NE(at, std::string::npos);
    bad[at - 1] = 10;  // LT_MAP
    TMobuBaseList refused;
    ByteReader bad_in(bad);
    EXPECT_THROW(refused.LoadFromStream(bad_in, kComponentSaveVersion), EMobuError);

    // Truncated data is refused, never read past its end.
    for (size_t cut = 0; cut < out.Size(); cut += 7) {
        TMobuBaseList partial;
        ByteReader cut_in(out.Bytes().data(), cut);
        EXPECT_THROW(partial.LoadFromStream(cut_in, kComponentSaveVersion), EMobuError);
    }
}

TEST(SavedForm, DepthIsCapped)
{
    TMobuBaseList list;
    list.SetSize(10, 10);
    TMobuControl* parent = nullptr;
    for (int i = 0; i < TMobuBaseList::kMaxSavedDepth + 5; ++i)
        parent = NewBox(list, "n" + std::to_string(i), {0, 0, 1, 1}, 1, 0, parent);
    ByteWriter out;
    list.SaveToStream(out);
    TMobuBaseList loaded;
    ByteReader in(out.Bytes());
    EXPECT_THROW(loaded.LoadFromStream(in, kComponentSaveVersion), EMobuError);
}

// The saved screen size decides how large the surfaces are: a save of the list's own size
// (or a little larger) loads, sizes that would make huge surfaces are refused.
TEST(SavedForm, ScreenSizeIsBounded)
{
    auto saved = [](int32_t width, int32_t height) {
        TMobuBaseList list;
        list.SetSize(width, height);
        NewBox(list, "b", {1, 1, 5, 5}, 0x123456);
        ByteWriter out;
        list.SaveToStream(out);
        return out.Bytes();
    };
    auto with_size = [](std::string bytes, int32_t width, int32_t height) {
        for (int i = 0; i < 4; ++i) {
            bytes[static_cast<size_t>(i)] = static_cast<char>(static_cast<uint32_t>(width) >> (8 * i));
            bytes[static_cast<size_t>(4 + i)] = static_cast<char>(static_cast<uint32_t>(height) >> (8 * i));
        }
        return bytes;
    };
    const std::string small = saved(16, 16);
    struct TCase {
        int32_t list_width, list_height;  // 0: a list never sized
        int32_t width, height;
        bool loads;
    } cases[] = {
        {1280, 720, 1280, 720, true},
        {1280, 720, 2560, 1440, true},    // four times the pixels
        {1280, 720, 2561, 1440, false},
        {640, 480, 1920, 1080, true},     // never less than a full-HD screen
        {0, 0, 1920, 1080, true},         // an unsized list takes a full-HD screen
        {0, 0, 1921, 1080, false},
        {1280, 720, 4096, 900, true},     // just four times the pixels
        {0, 0, 4097, 16, false},          // no side over 4096
        {1280, 720, 16, 8192, false},
        {1280, 720, 8192, 8192, false},
        {1280, 720, -1, 720, false},
        {1280, 720, 1 << 20, 1 << 20, false},
    };
    for (const TCase& c : cases) {
        TMobuBaseList list;
        if (c.list_width > 0) list.SetSize(c.list_width, c.list_height);
        std::string bytes = with_size(small, c.width, c.height);
        ByteReader in(bytes);
        if (c.loads) {
            EXPECT_NO_THROW(list.LoadFromStream(in, kComponentSaveVersion)) << c.width << "x" << c.height;
            EXPECT_EQ(list.ScreenWidth(), c.width);
            EXPECT_EQ(list.ScreenHeight(), c.height);
            EXPECT_NE(list.FindControl("b"), nullptr);
        } else {
            EXPECT_THROW(list.LoadFromStream(in, kComponentSaveVersion), EMobuError) << c.width << "x" << c.height;
            EXPECT_LE(int64_t{list.FrameSurface().Width()} * list.FrameSurface().Height(),
                      int64_t{4096} * 4096);
        }
    }
    // A real save of a 1280 x 720 game loads into the running 1280 x 720 list.
    TMobuBaseList running;
    running.SetSize(1280, 720);
    std::string game = saved(1280, 720);
    ByteReader in(game);
    EXPECT_NO_THROW(running.LoadFromStream(in, kComponentSaveVersion));
}

TEST(Placement, PosZoomedWithNarrowParentUsesPlainRule)
{
    class TImageLike : public TMobuControl {
    public:
        TImageLike(TMobuBaseList* owner, int32_t surface) : TMobuControl(owner, LT_IMAGES), surface_(surface) {}
        int32_t OwnSurfaceWidth() override { return surface_; }
        int32_t OwnSurfaceHeight() override { return surface_; }
        int32_t surface_;
    };
    TMobuBaseList list;
    auto* parent = new TImageLike(&list, 1000);
    parent->StoreName("p");
    parent->SetParent(list.ActiveBase());
    auto* child = new TImageLike(&list, 10);
    child->StoreName("c");
    child->SetParent(parent);
    child->PosZoomed = true;
    child->Left = 100;
    parent->Width = 500;  // surface twice as wide as shown: positions halve
    EXPECT_EQ(child->GetAbsLeft(), 50);
    parent->Width = 0;  // no division by zero: the plain rule
    EXPECT_EQ(child->GetAbsLeft(), 100);
    child->Left = 2000000000;
    parent->Width = 1;  // huge ratio, 64-bit arithmetic
    EXPECT_EQ(child->GetAbsLeft(), 2000000);
}

TEST(Cabinet, NeverShownNorHit)
{
    TMobuBaseList list;
    list.SetSize(100, 100);
    TMobuControl* cabinet = list.CreateComponent(LT_CABINET)->AsControl();
    cabinet->SetProp(PR_VISIBLE, TPropValue::Flag(true));
    cabinet->SetBounds(0, 0, 100, 100);
    TMobuControl* box = NewBox(list, "x", {0, 0, 50, 50}, 0xFFFFFF, 0, cabinet);
    EXPECT_FALSE(cabinet->GetVisible());
    EXPECT_FALSE(box->IsShown());
    EXPECT_TRUE(box->IsInCabinet());
    EXPECT_EQ(list.ActiveBase()->HitTest(10, 10, kMaskMove), list.ActiveBase());
}

}  // namespace
}  // namespace mobu
