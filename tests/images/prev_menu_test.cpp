// The preview menu: buttons from a preview-menu file, the picture of each state, hover by
// mouse and keys, radio and toggle groups, click films that hold input, auto-scrap and
// right clicks, the item accessors and the saved form.
#include "image_fixture.h"

#include <filesystem>

#include "../film/film_fixture.h"

#include "components/mobu_prev_menu.h"
#include "core/mobu_error.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {
namespace {

using testing_images::ImageScene;
using testing_images::Lines;

constexpr int kReturn = 13, kLeft = 37, kRight = 39;

TPrevMenuRecord Button(int32_t x, const std::string& name, int32_t group)
{
    TPrevMenuRecord r;
    r.X = x;
    r.Y = 2;
    r.Normal = "one.fsk";
    r.Name = name;
    r.Hover = "hover.fsk";
    r.Checked = "\\pic\\three.fsk";  // from the game root
    r.Group = group;
    r.OverlayX = 1;
    r.OverlayY = 1;
    return r;
}

class PrevMenu : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        list_.SetSize(40, 20);
        // Four 4 × 3 buttons side by side: "a" alone, a radio pair (group 1), one unnamed
        // toggle (group -1).
        TPrevMenuFile file;
        file.Width = 30;
        file.Height = 8;
        file.Buttons = {Button(0, "a", 0), Button(6, "r1", 1), Button(12, "r2", 1), Button(18, "", -1)};
        file.Buttons[0].ClickOverlay = "three.fsk";
        file.Buttons[0].Leave = "..\\pic\\one.fsk";
        file.Buttons[3].CheckOverlay = "three.fsk";
        Write("menu.mmt", file);
        saved_params_ = ParamMan;
        ParamMan = &params_;
        menu_ = dynamic_cast<TMobuPrevMenu*>(list_.CreateComponent(LT_PREVMENU));
        ASSERT_NE(menu_, nullptr);
        menu_->SetName("pm");
        menu_->SetLeft(2);
        menu_->SetTop(4);
        menu_->HandleKey = true;
        for (int code : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_ONPLAYEND})
            menu_->SetProp(code, TPropValue::Text("p.msb:l"));
        menu_->SetProp(PR_SOURCE, TPropValue::Text("pic\\menu.mmt"));
        list_.SetFocus(menu_);
    }
    void TearDown() override
    {
        ParamMan = saved_params_;
        ImageScene::TearDown();
    }
    void Write(const std::string& name, const TPrevMenuFile& file)
    {
        std::ofstream(folder_ / "pic" / name, std::ios::binary) << WritePrevMenuFile(file);
    }

    TParamCollection params_;
    TParamCollection* saved_params_ = nullptr;
    TMobuPrevMenu* menu_ = nullptr;
};

TEST_F(PrevMenu, AFilmPictureHoldsThePicturesOfItsTracks)
{
    // A button whose picture is a film: the menu holds the film's track pictures in the
    // image cache from the start, as it holds plain pictures.
    std::filesystem::copy_file(testing_film::FilmDir() + "picture_walk.mmt", folder_ / "pic" / "walk.mmt",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(folder_ / "pic" / "dot.fsk", std::ios::binary) << testing_images::Picture(2, 4, 3, 5);
    TPrevMenuFile file;
    file.Width = 10;
    file.Height = 8;
    file.Buttons = {Button(0, "f", 0)};
    file.Buttons[0].Normal = "walk.mmt";
    file.Buttons[0].Hover = file.Buttons[0].Checked = "";
    Write("films.mmt", file);
    auto holds = [&](const std::string& part) {
        for (TFeskItem* item : menu_->List.Held)
            if (item->Name().find(part) != std::string::npos) return true;
        return false;
    };
    menu_->SetProp(PR_SOURCE, TPropValue::Text("pic\\films.mmt"));
    ASSERT_EQ(menu_->ButtonCount(), 1);
    EXPECT_TRUE(holds("dot.fsk"));
}

TEST_F(PrevMenu, TheFileMakesSystemNamedButtonsAtTheirPlaces)
{
    EXPECT_EQ(menu_->Width, 30);
    EXPECT_EQ(menu_->Height, 8);
    ASSERT_EQ(menu_->ButtonCount(), 4);
    ASSERT_EQ(menu_->Children().size(), 4u);
    TMobuControl* third = menu_->List.Buttons[2];
    EXPECT_EQ(third->Name(), std::string("\x01pm\x01") + "2");
    EXPECT_EQ(third->Parent(), menu_);
    EXPECT_EQ(third->Left, 12);
    EXPECT_EQ(third->GetCompoType(), LT_IMAGES);
    EXPECT_EQ(menu_->GetProp(PR_TEXT).AsText(), "a\r\nr1\r\nr2\r\nButton03");
    menu_->SetProp(PR_TEXT, TPropValue::Text("ignored"));
    EXPECT_EQ(menu_->GetProp(PR_TEXT).AsText(), "a\r\nr1\r\nr2\r\nButton03");
    EXPECT_EQ(menu_->EntryIndexOf("Button03"), 3);
    // Right after loading every button, radio groups too, shows Normal.
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(menu_->PictureOf(i), "pic\\one.fsk") << i;
    // A missing file: size 0 × 0 and no buttons; a bad version: its message and no buttons.
    menu_->SetProp(PR_SOURCE, TPropValue::Text("pic\\none.mmt"));
    EXPECT_EQ(menu_->ButtonCount(), 0);
    EXPECT_EQ(menu_->Width, 0);
    TPrevMenuFile newer;
    newer.Version = 107;
    Write("newer.mmt", newer);
    try {
        menu_->SetProp(PR_SOURCE, TPropValue::Text("pic\\newer.mmt"));
        ADD_FAILURE() << "version 107 was read";
    } catch (const EMobuError& e) {
        EXPECT_EQ(std::string(e.what()), prev_menu_messages::BadVersion());
    }
    EXPECT_EQ(menu_->ButtonCount(), 0);
}

TEST_F(PrevMenu, HoverShowsTheHoverPictureAndLeavingTheLeavePicture)
{
    MouseAt(2 + 1 + 1, 4 + 2 + 1);  // over "a" (column 0 of a picture is transparent)
    EXPECT_EQ(menu_->HoverIndex, 0);
    EXPECT_EQ(menu_->PictureOf(0), "pic\\hover.fsk");
    MouseAt(2 + 6 + 2, 4 + 2 + 1);
    EXPECT_EQ(menu_->HoverIndex, 1);
    EXPECT_EQ(menu_->PictureOf(0), "pic\\one.fsk");  // its leave picture, "..\pic\one.fsk"
    MouseAt(39, 19);
    EXPECT_EQ(menu_->HoverIndex, -1);
    EXPECT_EQ(TakeEvents(), (Lines{"104 a 0", "105 a 0", "104 r1 1", "105 r1 1"}));
    // The menu answers the hit test for its buttons.
    EXPECT_EQ(list_.ActiveBase()->HitTest(2 + 6 + 2, 4 + 2 + 1, kMaskMove), menu_);
}

TEST_F(PrevMenu, KeysWalkTheVisibleButtonsAndWrap)
{
    menu_->SetItemVisible(2, false);
    Press(kRight);
    EXPECT_EQ(menu_->HoverIndex, 0);  // from none: the first visible
    Press(kRight);
    Press(kRight);
    EXPECT_EQ(menu_->HoverIndex, 3);  // the hidden one is skipped
    Press(kRight);
    EXPECT_EQ(menu_->HoverIndex, 0);  // wraps
    Press(kLeft);
    EXPECT_EQ(menu_->HoverIndex, 3);
    menu_->SetHover(-1);
    Press(kLeft);
    EXPECT_EQ(menu_->HoverIndex, 3);  // from none: the last visible
}

TEST_F(PrevMenu, RadioAndToggleGroups)
{
    EXPECT_TRUE(menu_->ItemSelected(1));  // a radio group with nothing chosen: its first visible member
    EXPECT_FALSE(menu_->ItemSelected(2));
    menu_->SetHover(2);
    menu_->Select();
    EXPECT_TRUE(menu_->ItemSelected(2));
    EXPECT_FALSE(menu_->ItemSelected(1));
    EXPECT_EQ(menu_->PictureOf(2), "pic\\three.fsk");  // Checked, from the game root
    EXPECT_EQ(params_.SelStr, "r2");
    TakeEvents();
    menu_->Select();  // the chosen radio button again: nothing at all
    EXPECT_EQ(TakeEvents(), Lines{});
    menu_->SetHover(1);
    menu_->Select();
    EXPECT_TRUE(menu_->ItemSelected(1));
    EXPECT_EQ(menu_->PictureOf(2), "pic\\one.fsk");  // the other member back to Normal
    EXPECT_EQ(menu_->ItemGroupIndex(1), 1);
    EXPECT_EQ(menu_->ItemGroupIndex(3), -1);
    EXPECT_EQ(menu_->ItemGroupIndex(9), 0);
    TakeEvents();
    // A toggle: its check film holds input; chosen again it is unchosen and still reported.
    menu_->SetHover(3);
    menu_->Select();
    EXPECT_TRUE(menu_->ItemSelected(3));
    EXPECT_EQ(menu_->PendingFilms, 1);
    for (int i = 0; i < 8 && menu_->PendingFilms > 0; ++i) list_.UpdatePass();
    EXPECT_EQ(menu_->PendingFilms, 0);
    EXPECT_EQ(menu_->HoverIndex, -1);  // the film ended with the pointer away from the menu
    menu_->SetHover(3);
    menu_->Select();
    EXPECT_FALSE(menu_->ItemSelected(3));
    // The second select event waits behind the first: only one is queued at a time.
    EXPECT_EQ(TakeEvents(), (Lines{"105 r1 1", "104 Button03 3", "72 Button03 3", "43 Button03 3", "105 Button03 3",
                                   "104 Button03 3", "43 Button03 3"}));
}

TEST_F(PrevMenu, AClickFilmHoldsInputUntilItEnds)
{
    MouseAt(2 + 1 + 1, 4 + 2 + 1);
    Click(2 + 1 + 1, 4 + 2 + 1);
    EXPECT_EQ(params_.SelStr, "a");
    EXPECT_EQ(params_.SelIndex, 0);
    EXPECT_EQ(menu_->PendingFilms, 1);
    MouseAt(2 + 6 + 2, 4 + 2 + 1);
    EXPECT_EQ(menu_->HoverIndex, 0);  // held
    for (int i = 0; i < 8 && menu_->PendingFilms > 0; ++i) list_.UpdatePass();
    EXPECT_EQ(menu_->PendingFilms, 0);
    EXPECT_EQ(TakeEvents(), (Lines{"104 a 0", "72 a 0", "43 a 0"}));
}

TEST_F(PrevMenu, AnOverlayDestroyedFromOutsideCountsAsFinished)
{
    menu_->SetHover(0);
    menu_->Select();
    ASSERT_EQ(menu_->PendingFilms, 1);
    ASSERT_NE(menu_->List.Overlays[0], nullptr);
    list_.Destroy(menu_->List.Overlays[0]);
    list_.UpdatePass();
    EXPECT_EQ(menu_->PendingFilms, 0);
}

TEST_F(PrevMenu, AutoScrapAndRightClicksRemoveTheMenu)
{
    menu_->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    menu_->SetHover(1);
    menu_->Select();
    list_.UpdatePass();
    EXPECT_EQ(list_.FindComponent("pm"), nullptr);

    auto* other = dynamic_cast<TMobuPrevMenu*>(list_.CreateComponent(LT_PREVMENU));
    other->SetName("pm2");
    other->SetProp(PR_SOURCE, TPropValue::Text("pic\\menu.mmt"));
    other->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    params_.SelStr = "x";
    params_.SelIndex = 3;
    Click(39, 19, false);  // anywhere
    list_.UpdatePass();
    EXPECT_EQ(params_.SelStr, "");
    EXPECT_EQ(params_.SelIndex, -1);
    EXPECT_EQ(list_.FindComponent("pm2"), nullptr);
}

TEST_F(PrevMenu, AccessorsAnswerNeutrallyOutOfRange)
{
    menu_->SetItemEnabled(0, false);
    EXPECT_FALSE(menu_->ItemEnabled(0));
    EXPECT_TRUE(menu_->ItemEnabled(1));
    EXPECT_FALSE(menu_->ItemEnabled(-1));
    EXPECT_FALSE(menu_->ItemVisible(4));
    menu_->SetItemSelected(9, true);
    menu_->SetItemVisible(0, false);
    EXPECT_EQ(menu_->PictureOf(0), "");
    menu_->SetItemVisible(0, true);
    EXPECT_EQ(menu_->PictureOf(0), "pic\\one.fsk");  // no Disabled picture: Normal
}

TEST_F(PrevMenu, TheSavedFormRebuildsTheButtonsAndAppliesTheFlags)
{
    menu_->SetItemEnabled(1, false);
    menu_->SetItemVisible(3, false);
    menu_->SetItemSelected(2, true);
    ByteWriter out;
    list_.SaveToStream(out);
    TMobuBaseList loaded;
    loaded.SetSize(40, 20);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_EQ(in.Remaining(), 0u);
    auto* back = dynamic_cast<TMobuPrevMenu*>(loaded.FindComponent("pm"));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->ButtonCount(), 4);
    EXPECT_FALSE(back->ItemEnabled(1));
    EXPECT_FALSE(back->ItemVisible(3));
    EXPECT_TRUE(back->ItemSelected(2));
    EXPECT_EQ(back->GetProp(PR_ONPLAYEND).AsText(), "p.msb:l");
    loaded.Reset();
}

}  // namespace
}  // namespace mobu
