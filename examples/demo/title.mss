// The title screen: a night sky, a tiled strip scrolling along the bottom, an animated star
// crossing the sky, and a picture button that lights up under the mouse and opens the field
// screen when clicked; over it the pointer becomes a hand. The screen is built on the hidden
// base (PR_PARENT Chr(1)) and shown with Flip, which clears the screen it leaves: at the
// first start at once, back from the field with a mask fade through a radial gradient (the
// middle first, the corners last). The button handlers only set `screen`; the frame loop
// below notices it and moves on to the field.
//
// SetProp takes property numbers: 3 left, 4 top, 11 alpha, 44 frame index, 109 scroll x.
page version: 116; result: none
Calc expr: screen = 1; continue: yes
Calc expr: star_x = 40; continue: yes
Calc expr: scroll = 0; continue: yes
ImgNew PR_NAME: "title_bg"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\title.fsk"; PR_PRIORITY: 0; continue: yes
TileNew PR_NAME: "title_strip"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\tile.fsk"; PR_ZOOMX: 256; PR_ZOOMY: 256; PR_LEFT: 0; PR_TOP: 448; PR_WIDTH: 640; PR_HEIGHT: 32; PR_PRIORITY: 1; continue: yes
// A translucent plate behind the button, pulsing along its motion film (cg/plate.mmt.film).
BoxNew PR_NAME: "title_plate"; PR_PARENT: Chr(1); PR_LEFT: 200; PR_TOP: 284; PR_WIDTH: 240; PR_HEIGHT: 80; PR_COLOR: 0; PR_ALPHA: 128; PR_BORDERWIDTH: 2; PR_BORDERCOLOR: 16777215; PR_PRIORITY: 2; PR_REPEAT: TRUE; PR_SOURCE: "cg\\plate.mmt"; continue: yes
ImgNew PR_NAME: "star"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\sprite.fsk"; PR_REPEAT: TRUE; PR_LEFT: star_x; PR_TOP: 150; PR_PRIORITY: 3; continue: yes
// The player's screenshot key, hinted in the top right corner.
ImgNew PR_NAME: "hint_f12"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\hint_f12.fsk"; PR_LEFT: 516; PR_TOP: 4; PR_PRIORITY: 1; continue: yes
ImgNew PR_NAME: "start_button"; PR_PARENT: Chr(1); PR_SOURCE: "cg\\btn_start.fsk"; PR_ANIPAUSED: TRUE; PR_LEFT: 240; PR_TOP: 300; PR_PRIORITY: 4; PR_ONMOUSEIN: "title.msb:button_in"; PR_ONMOUSEOUT: "title.msb:button_out"; PR_ONLBTNDOWN: "title.msb:start_click"; PR_CURSOR: "cur\\hand.cur"; continue: yes
// The first start shows the title at once (transition 0); back from the field (after a start
// click) the mask fade (19) takes a second, with the radial mask drawn by make_art.sh.
If cond: clicks > 0; continue: yes
  Flip transition: 19; duration: 1000; clear: TRUE; text: "cg\\radial.fsk"
Else
  Flip transition: 0; duration: 1; clear: TRUE

// One pass per frame: the star moves 3 pixels to the right (wrapping round), the strip
// scrolls 1 pixel to the left.
Label name: frame; continue: yes
Jump page: title.msb; target: leave; cond: screen == 2; continue: yes
Calc expr: star_x = star_x + 3; continue: yes
If cond: star_x > 640; continue: yes
  Calc expr: star_x = -64; continue: yes
SetProp component: "star"; property: 3; value: star_x; continue: yes
Calc expr: scroll = (scroll + 1) % 32; continue: yes
SetProp component: "title_strip"; property: 109; value: scroll
Jump page: title.msb; target: frame; continue: yes

// The field page builds its screen on the hidden base and flips to it, clearing this one.
Label name: leave; continue: yes
Jump page: field.msb; continue: yes

// Event handlers of the start button: hovering shows its lit frame, a click asks for the
// field screen.
Label name: button_in
SetProp component: @Sender; property: 44; value: 1
Exit
Label name: button_out
SetProp component: @Sender; property: 44; value: 0
Exit
Label name: start_click
Calc expr: screen = 2
Calc expr: clicks = clicks + 1
Exit
