#include <gtest/gtest.h>

#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "components/mobu_mes.h"
#include "components/mobu_read_list.h"
#include "core/globals.h"
#include "core/mobu_error.h"

namespace mobu {
namespace {

struct TMesScene {
    TMobuBaseList list;
    TMobuMes* box;

    explicit TMesScene(int32_t rate = 256)
    {
        list.SetSize(320, 120);
        list.GetBase(0)->Color = 0;
        box = dynamic_cast<TMobuMes*>(list.CreateComponent(LT_MES));
        box->SetName("mes");
        box->SetBounds(10, 10, 300, 100);
        box->SetProp(PR_WIDTH, TPropValue::Int(300));
        box->SetProp(PR_HEIGHT, TPropValue::Int(100));
        box->SetProp(PR_FONTHEIGHT, TPropValue::Int(20));
        box->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
        box->SetProp(PR_DELAY, TPropValue::Int(0));
        box->SetProp(PR_TEXTDELAY, TPropValue::Int(rate));
        FrameDeltaMs = 50;
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) list.UpdatePass();
    }
    std::string Text() { return box->GetProp(PR_TEXT).text; }
    std::string SavedForm()
    {
        ByteWriter out;
        box->SaveToStream(out);
        return out.Take();
    }
    // Reads a saved form into this scene's box whole, as a game load does.
    void LoadAndRestore(const std::string& bytes)
    {
        ByteReader in(bytes);
        box->LoadFromStream(in, kComponentSaveVersion);
        EXPECT_TRUE(in.AtEnd());
        box->RestoreAfterLoad();
    }
    int Ink()
    {
        list.MarkAllDirty();
        list.DrawPass();
        int ink = 0;
        TDIBX& frame = list.FrameSurface();
        for (int y = 10; y < 110; ++y)
            for (int x = 10; x < 310; ++x) ink += frame.GetPixel(x, y) != 0;
        return ink;
    }
    int QueuedOf(int code)
    {
        int n = 0;
        for (int32_t i = 0; i < list.Events().Count(); ++i) n += list.Events().At(i).Code == code;
        return n;
    }
};

TEST(MessageBox, RevealsGlyphByGlyphAndDrawsMoreInkLater)
{
    TMesScene scene;
    scene.box->SetProp(PR_TEXT, TPropValue::Text("ABCDEFGH"));  // wait 50 each (@TextDelay)
    EXPECT_EQ(scene.box->GetProp(PR_COUNT).integer, 1);
    EXPECT_EQ(scene.box->GetProp(PR_INDEX).integer, 0);
    scene.Frames(1);
    EXPECT_EQ(scene.Text(), "A");  // the first glyph at once, its time ignored
    const int early = scene.Ink();
    scene.Frames(3);
    EXPECT_EQ(scene.Text(), "ABCD");
    const int later = scene.Ink();
    EXPECT_GT(early, 0);
    EXPECT_GT(later, early);
    EXPECT_FALSE(scene.box->Finished());
    scene.Frames(6);
    EXPECT_EQ(scene.Text(), "ABCDEFGH");
    EXPECT_TRUE(scene.box->Finished());
    EXPECT_FALSE(scene.box->GetProp(PR_PLAYING).AsFlag());
    EXPECT_EQ(scene.box->PlayState(), 2);
    EXPECT_GT(scene.box->GetProp(PR_CARETX).integer, 0);
}

TEST(MessageBox, PlayStartHoldsTheRevealAndEventsReportProgress)
{
    TMesScene scene(0);
    scene.box->SetProp(PR_ONPLAYSTART, TPropValue::Text("p"));
    scene.box->SetProp(PR_ONPLAYING, TPropValue::Text("q"));
    scene.box->SetProp(PR_ONPLAYEND, TPropValue::Text("r"));
    scene.box->SetProp(PR_TEXT, TPropValue::Text("Hi"));
    ASSERT_EQ(scene.QueuedOf(kMesEventPlayStart), 1);
    EXPECT_EQ(scene.list.Events().At(0).Params, std::vector<std::string>{"0"});
    scene.Frames(3);  // the handler is still queued: nothing is revealed
    EXPECT_EQ(scene.Text(), "");
    scene.list.Events().Clear();
    scene.Frames(1);  // rate 0: the whole page in one update, finished in the same one
    EXPECT_EQ(scene.Text(), "Hi");
    EXPECT_EQ(scene.QueuedOf(kMesEventPlaying), 1);
    EXPECT_EQ(scene.list.Events().At(0).Params, std::vector<std::string>{"Hi"});
    EXPECT_EQ(scene.QueuedOf(kMesEventPlayEnd), 1);
    scene.Frames(2);
    EXPECT_EQ(scene.QueuedOf(kMesEventPlayEnd), 1);  // the finished signal is given once
}

TEST(MessageBox, PagesAreTurnedByTheScriptOnly)
{
    TMesScene scene(0);
    scene.box->SetProp(PR_TEXT, TPropValue::Text("one<CLEAR>two<CLEAR>three"));
    EXPECT_EQ(scene.box->GetProp(PR_COUNT).integer, 3);
    scene.Frames(5);
    EXPECT_EQ(scene.box->GetProp(PR_INDEX).integer, 0);
    EXPECT_TRUE(scene.box->GetProp(PR_PLAYING).AsFlag());  // not the last page
    scene.box->SetProp(PR_INDEX, TPropValue::Int(2));
    EXPECT_EQ(scene.Text(), "");
    scene.Frames(1);
    EXPECT_EQ(scene.Text(), "three");
    scene.box->SetProp(PR_INDEX, TPropValue::Int(7));  // ignored
    EXPECT_EQ(scene.box->GetProp(PR_INDEX).integer, 2);
    scene.box->ClearText();
    EXPECT_EQ(scene.box->GetProp(PR_COUNT).integer, 0);
    EXPECT_EQ(scene.box->GetProp(PR_INDEX).integer, -1);
}

TEST(MessageBox, AFailedConversionLeavesTheBoxEmpty)
{
    TMesScene scene(0);
    scene.box->SetProp(PR_TEXT, TPropValue::Text("old<CLEAR>pages"));
    scene.box->SetProp(PR_ONPLAYSTART, TPropValue::Text("p"));
    scene.list.Events().Clear();
    EXPECT_THROW(scene.box->SetProp(PR_TEXT, TPropValue::Text("<A>x</A>")), EMobuError);
    EXPECT_EQ(scene.box->GetProp(PR_COUNT).integer, 0);
    EXPECT_EQ(scene.box->GetProp(PR_INDEX).integer, -1);
    EXPECT_EQ(scene.list.Events().Count(), 0);
    scene.Frames(2);
    EXPECT_EQ(scene.Text(), "");
}

TEST(MessageBox, LinkClickPostsTheLinkEventOnlyOnAShownPage)
{
    TMesScene scene(0);
    scene.box->SetProp(PR_ONLINK, TPropValue::Text("l"));
    scene.box->SetProp(PR_TEXT, TPropValue::Text("<A HREF=\"go\\nnow\">Yes</A> no"));
    scene.Frames(2);
    TMobuBase* base = scene.list.GetBase(0);
    base->MouseX = 15;  // over the first link character
    base->MouseY = 20;
    scene.box->MouseMove();
    scene.box->LButtonDown();
    ASSERT_EQ(scene.QueuedOf(kMesEventLink), 1);
    EXPECT_EQ(scene.list.Events().At(0).Params, (std::vector<std::string>{"Yes", "go", "now"}));
    EXPECT_FALSE(base->LClick);
    // Off the link: no group, no link event.
    scene.list.Events().Clear();
    base->MouseX = 200;
    scene.box->MouseMove();
    scene.box->LButtonDown();
    EXPECT_EQ(scene.QueuedOf(kMesEventLink), 0);
}

TEST(MessageBox, SavedFormContinuesAHalfRevealedPage)
{
    TMesScene scene;
    scene.box->SetProp(PR_TEXT, TPropValue::Text("ABCDEFGH<CLEAR>second"));
    scene.Frames(3);
    ASSERT_EQ(scene.Text(), "ABC");
    const std::string bytes = scene.SavedForm();

    TMesScene back;
    back.LoadAndRestore(bytes);
    EXPECT_EQ(back.box->GetProp(PR_COUNT).integer, 2);
    EXPECT_EQ(back.Text(), "ABC");
    back.Frames(1);
    // The reveal goes on from D (the time budget is not part of the saved state).
    EXPECT_GE(back.Text().size(), 4u);
    EXPECT_EQ(back.Text().substr(0, 4), "ABCD");
    back.Frames(10);
    EXPECT_EQ(back.Text(), "ABCDEFGH\r\n");  // the page's closing break is a line break

    // A cut-off form is refused, not read past its end.
    const std::string cut = bytes.substr(0, bytes.size() - 6);
    TMesScene damaged;
    ByteReader short_in(cut);
    EXPECT_THROW(damaged.box->LoadFromStream(short_in, kComponentSaveVersion), EMobuError);
}

TEST(MessageBox, APageFinishedBeforeTheSaveDoesNotEndAgainAfterTheLoad)
{
    TMesScene scene;
    scene.box->OnPlayEnd = "ended";
    scene.box->SetProp(PR_TEXT, TPropValue::Text("AB"));
    scene.Frames(20);
    ASSERT_TRUE(scene.box->Finished());
    ASSERT_EQ(scene.QueuedOf(kMesEventPlayEnd), 1);
    TMesScene back;
    back.LoadAndRestore(scene.SavedForm());
    EXPECT_TRUE(back.box->Finished());
    back.Frames(5);
    EXPECT_EQ(back.QueuedOf(kMesEventPlayEnd), 0);
    EXPECT_EQ(back.Text(), "AB");
}

TEST(ReadList, PendingPagesCountOnlyWhenCommittedByTheirBox)
{
    TMobuReadList list;
    list.SetPending("mes", "Story", 2, 14);
    list.Commit("other");
    EXPECT_FALSE(list.IsRead("story", 14, 2));
    list.Commit("mes");
    EXPECT_TRUE(list.IsRead("STORY", 14, 2));  // names without regard to case
    EXPECT_FALSE(list.IsRead("story", 14, 3));
    list.Commit("mes");  // nothing pending any more
    list.SetPending("mes", "Story", 2, 14);
    list.Commit("mes");
    ByteWriter out;
    list.SaveToStream(out);
    const std::string bytes = out.Take();
    TMobuReadList back;
    ByteReader in(bytes);
    back.LoadFromStream(in, 103);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_TRUE(back.IsRead("story", 14, 2));
    EXPECT_EQ(back.Count(), 1);
    ByteReader old(bytes);
    back.LoadFromStream(old, 99);  // nothing is read below 100
    EXPECT_EQ(back.Count(), 0);
    list.Clear();
    EXPECT_FALSE(list.IsRead("story", 14, 2));
}

}  // namespace
}  // namespace mobu
