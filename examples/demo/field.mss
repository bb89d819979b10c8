// The field screen, reached from the title: a green field with a tiled floor scrolling by,
// the star spinning and growing in the middle, an emblem turning the other way at half
// opacity, an additive glow, a two-part sign (a map image) that sets how fast the star turns,
// a picture button back to the title, and a picture button (or the Space key) that shows the
// screen transitions one after another: each press switches the field's background between
// two pictures with the next effect, 1 to 38 and round again. A click on the emblem (or the
// Return key) opens the story scene (story.msb). The screen is built on the
// hidden base (PR_PARENT Chr(1)) and shown with a curtain by Flip, which clears the title.
//
// SetProp takes property numbers: 7 zoom x, 11 alpha, 31 angle (256 a full turn),
// 44 frame index, 109 scroll x, 132 zoom y.
page version: 116; result: none
Calc expr: screen = 2; continue: yes
Calc expr: turn = 0; continue: yes
Calc expr: star_turn = 0; continue: yes
Calc expr: zoom = 256; continue: yes
Calc expr: grow = 4; continue: yes
Calc expr: scroll = 0; continue: yes
ImgNew PR_NAME: "field_bg"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\field.fsk"; PR_PRIORITY: 0; continue: yes
TileNew PR_NAME: "field_floor"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\tile.fsk"; PR_ZOOMX: 256; PR_ZOOMY: 256; PR_LEFT: 0; PR_TOP: 376; PR_WIDTH: 640; PR_HEIGHT: 64; PR_PRIORITY: 1; continue: yes
// A half-transparent panel and an additive glow (alpha above 255 adds the colour).
BoxNew PR_NAME: "field_panel"; PR_PARENT: Chr(1); PR_LEFT: 40; PR_TOP: 60; PR_WIDTH: 200; PR_HEIGHT: 120; PR_COLOR: 16777215; PR_ALPHA: 96; PR_PRIORITY: 2; continue: yes
BoxNew PR_NAME: "field_glow"; PR_PARENT: Chr(1); PR_LEFT: 400; PR_TOP: 60; PR_WIDTH: 200; PR_HEIGHT: 120; PR_COLOR: 4210752; PR_ALPHA: 400; PR_PRIORITY: 2; continue: yes
// The star turns round its centre (offset 32, 32) and swells between 100 % and 200 %.
ImgNew PR_NAME: "big_star"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\sprite.fsk"; PR_REPEAT: TRUE; PR_ZOOMX: zoom; PR_ZOOMY: zoom; PR_LEFT: 320; PR_TOP: 220; PR_OFFSETX: 32; PR_OFFSETY: 32; PR_PRIORITY: 3; continue: yes
ImgNew PR_NAME: "badge"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\badge.fsk"; PR_ZOOMX: 384; PR_ZOOMY: 384; PR_ALPHA: 160; PR_LEFT: 120; PR_TOP: 260; PR_OFFSETX: 32; PR_OFFSETY: 32; PR_PRIORITY: 3; PR_ONLBTNDOWN: "field.msb:story_click"; PR_CURSOR: "cur\\hand.cur"; continue: yes
// The sign lights only the half under the mouse, which shows a turning pointer over it;
// choosing a half sets the star's speed.
MapImgNew PR_NAME: "sign"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\sign.fsk"; PR_HOVERSOURCE: "cg\\sign_lit.fsk"; PR_MAPSOURCE: "cg\\sign.map"; PR_LEFT: 470; PR_TOP: 220; PR_PRIORITY: 3; PR_ONSELECT: "field.msb:sign_select"; PR_CURSOR: "cur\\spin.ani"; continue: yes
ImgNew PR_NAME: "back_button"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\btn_back.fsk"; PR_ANIPAUSED: TRUE; PR_LEFT: 500; PR_TOP: 420; PR_PRIORITY: 4; PR_ONMOUSEIN: "field.msb:button_in"; PR_ONMOUSEOUT: "field.msb:button_out"; PR_ONLBTNDOWN: "field.msb:back_click"; continue: yes
// The effect button, made last so that it takes the keyboard focus: Space replays too.
ImgNew PR_NAME: "next_button"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\btn_next.fsk"; PR_ANIPAUSED: TRUE; PR_LEFT: 20; PR_TOP: 420; PR_PRIORITY: 4; PR_HANDLEKEY: TRUE; PR_ONMOUSEIN: "field.msb:button_in"; PR_ONMOUSEOUT: "field.msb:button_out"; PR_ONLBTNDOWN: "field.msb:next_click"; PR_ONKEYDOWN: "field.msb:next_key"; continue: yes
Calc expr: picture = 0; continue: yes
Calc expr: replay = FALSE; continue: yes
Flip transition: 4; duration: 1000; clear: TRUE


Label name: frame; continue: yes
Jump page: field.msb; target: leave; cond: screen == 1; continue: yes
Jump page: field.msb; target: replay; cond: replay; continue: yes
Jump page: story.msb; cond: screen == 3; continue: yes
Calc expr: turn = (turn + 2) % 256; continue: yes
Calc expr: star_turn = (star_turn + spin) % 256; continue: yes
SetProp component: "big_star"; property: 31; value: star_turn; continue: yes
SetProp component: "badge"; property: 31; value: 256 - turn; continue: yes
Calc expr: zoom = zoom + grow; continue: yes
If cond: (zoom >= 512) | (zoom <= 256); continue: yes
  Calc expr: grow = -grow; continue: yes
SetProp component: "big_star"; property: 7; value: zoom; continue: yes
SetProp component: "big_star"; property: 132; value: zoom; continue: yes
Calc expr: scroll = (scroll + 2) % 32; continue: yes
SetProp component: "field_floor"; property: 109; value: scroll
Jump page: field.msb; target: frame; continue: yes

// The title page builds its screen on the hidden base and flips to it, clearing this one.
Label name: leave; continue: yes
Jump page: title.msb; continue: yes

// The next effect in turn: the other background picture is made on the hidden base, every
// other component follows it there (Flip mode 0: all but the named ones; the shown screen is
// kept in a snapshot meanwhile), and the flip clears the old background away.
Label name: replay; continue: yes
Calc expr: replay = FALSE; continue: yes
Calc expr: effect = effect % 38 + 1; continue: yes
Calc expr: picture = 1 - picture; continue: yes
If cond: picture == 1; continue: yes
  ImgNew PR_NAME: "field_bg2"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\dusk.fsk"; PR_PRIORITY: 0; continue: yes
Else
  ImgNew PR_NAME: "field_bg"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\field.fsk"; PR_PRIORITY: 0; continue: yes
Flip transition: effect; duration: 1000; mode: 0; names: "field_bg"; names: "field_bg2"; clear: TRUE; text: "cg\\radial.fsk"
Jump page: field.msb; target: frame; continue: yes

Label name: button_in
SetProp component: @Sender; property: 44; value: 1
Exit
Label name: button_out
SetProp component: @Sender; property: 44; value: 0
Exit
Label name: back_click
Calc expr: screen = 1
Exit
Label name: next_click
Calc expr: replay = TRUE
Exit
// A key on the focused effect button: Space (virtual key 32) asks for the next effect,
// Return (13) for the story.
Label name: next_key
If cond: @ParamStr[0] == "32"
  Calc expr: replay = TRUE
If cond: @ParamStr[0] == "13"
  Calc expr: screen = 3
Exit
Label name: story_click
Calc expr: screen = 3
Exit
Label name: sign_select
If cond: @SelStr == "fast"
  Calc expr: spin = 8
Else
  Calc expr: spin = 1
Exit
