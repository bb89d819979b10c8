// The story scene: an evening station, a message window (a translucent plate behind the
// message box) and a few pages of text revealed glyph by glyph. A click shows a revealing
// page whole, else turns the page (Return and Space too); pages already read show in a softer colour; the last
// page offers two links, each leading to a short ending, then back to the title. The scene is
// built on the hidden base and flipped in, clearing the screen it comes from.
//
// SetProp and GetProp take property numbers: 3 left, 19 font colour, 44 page index,
// 45 page count, 82 text delay (256 as written, 0 all at once).
page version: 116; result: none
VarNew name: page_done; type: int; continue: yes
VarNew name: page_index; type: int; continue: yes
VarNew name: page_count; type: int; continue: yes
VarNew name: choice; type: string; continue: yes
VarNew name: choosing; type: int; continue: yes
BoxNew PR_NAME: "story_sky"; PR_PARENT: Chr(1); PR_LEFT: -8; PR_TOP: 0; PR_WIDTH: 656; PR_HEIGHT: 300; PR_COLOR: 5275808; PR_PRIORITY: 0; continue: yes
BoxNew PR_NAME: "story_sun"; PR_PARENT: Chr(1); PR_LEFT: 420; PR_TOP: 180; PR_WIDTH: 120; PR_HEIGHT: 120; PR_COLOR: 3178751; PR_ALPHA: 400; PR_PRIORITY: 1; continue: yes
BoxNew PR_NAME: "story_platform"; PR_PARENT: Chr(1); PR_LEFT: 0; PR_TOP: 280; PR_WIDTH: 640; PR_HEIGHT: 200; PR_COLOR: 3158064; PR_PRIORITY: 1; continue: yes
BoxNew PR_NAME: "story_window"; PR_PARENT: Chr(1); PR_LEFT: 20; PR_TOP: 318; PR_WIDTH: 600; PR_HEIGHT: 144; PR_COLOR: 0; PR_ALPHA: 170; PR_BORDERWIDTH: 2; PR_BORDERCOLOR: 14737632; PR_PRIORITY: 2; continue: yes
MesNew PR_NAME: "mes"; PR_PARENT: Chr(1); PR_LEFT: 40; PR_TOP: 334; PR_WIDTH: 560; PR_HEIGHT: 116; PR_FONTHEIGHT: 22; PR_FONTCOLOR: 16777215; PR_FONTLINKCOLOR: 8454143; PR_FONTHOVERCOLOR: 4259839; PR_LINESPACE: 8; PR_DELAY: 80; PR_PRIORITY: 3; PR_ONLBTNDOWN: "story.msb:click"; PR_ONPLAYSTART: "story.msb:play_start"; PR_ONPLAYEND: "story.msb:play_end"; PR_ONNOTIFY: "story.msb:shake"; PR_ONLINK: "story.msb:link"; PR_HANDLEKEY: TRUE; PR_ONKEYDOWN: "story.msb:key"; continue: yes
// Shown at once in place of the screen it comes from, which the flip clears.
Flip transition: 0; duration: 1; clear: TRUE
TextIns text: "<RUBY VALUE=えき>駅</RUBY>のホームに、夕方の風が吹いていた。<BR><VAR NAME=プレイヤー>は<B>最終列車</B>を待っている。<CLEAR>「……来ない<WAIT VALUE=700>な」<BR><FONT COLOR=#40C0FF>時計</FONT>の針は、もう七時を回っていた。<EVENT VALUE=shake><CLEAR><FONT SIZE=30 BORDER=2 BCOLOR=#202080 SHADOW=2>「おーい！」</FONT><BR>遠くで誰かが呼んでいる。"; box: "mes"; read: TRUE; wait: TRUE
Calc expr: choosing = 1
TextIns text: "どうする？<BR><A HREF=left>声のほうへ行く</A>　　<A HREF=right>ここで列車を待つ</A>"; box: "mes"; read: TRUE; wait: TRUE
Calc expr: choosing = 0
If cond: choice == "left"
  TextIns text: "声をたどると、古い待合室に灯りがともっていた。<BR>中では駅員が、温かいお茶をいれて待っていた。"; box: "mes"; read: TRUE; wait: TRUE
Else
  TextIns text: "しばらくして、遠くに列車の灯りが見えた。<BR>最終列車は、少しだけ遅れてやってきた。"; box: "mes"; read: TRUE; wait: TRUE
ObjDel component: "mes"; continue: yes
ObjDel component: "story_window"; continue: yes
ObjDel component: "story_platform"; continue: yes
ObjDel component: "story_sun"; continue: yes
ObjDel component: "story_sky"; continue: yes
Jump page: title.msb

// A click shows a revealing page whole; on a finished page it turns to the next page, or
// clears the box after the last one, which lets the waiting TextIns go on. While the
// choice is offered only the links answer.
Label name: click
If cond: page_done == 0
  SetProp component: "mes"; property: 82; value: 0
  Exit
SetProp component: "mes"; property: 82; value: 256
GetProp component: "mes"; property: 44; variable: page_index
GetProp component: "mes"; property: 45; variable: page_count
If cond: page_index + 1 < page_count
  SetProp component: "mes"; property: 44; value: page_index + 1
  Exit
If cond: choosing == 0
  TextClr box: "mes"
Exit

// Return (13) and Space (32) act as a click once the box has the focus (a click gives it).
Label name: key
If cond: (@ParamStr[0] == "13") | (@ParamStr[0] == "32")
  Call page: story.msb; target: click
Exit

// Each new page: pages read before (parameter "1") show in a softer colour.
Label name: play_start
Calc expr: page_done = 0
If cond: @ParamStr[0] == "1"
  SetProp component: "mes"; property: 19; value: 12632256
Else
  SetProp component: "mes"; property: 19; value: 16777215
Exit
Label name: play_end
Calc expr: page_done = 1
Exit

// The EVENT in the text shakes the sky.
Label name: shake
SetProp component: "story_sky"; property: 3; value: 0
Wait time: 50
SetProp component: "story_sky"; property: 3; value: -16
Wait time: 50
SetProp component: "story_sky"; property: 3; value: -8
Exit

// A link: its target is the second parameter (the first is the link's text).
Label name: link
Calc expr: choice = @ParamStr[1]
TextClr box: "mes"
Exit
