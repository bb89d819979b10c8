// The start page of the demo game: a few variables, a loop, a call to another page with
// parameters and a result, and a wait; then the title screen (title.msb) takes over.
// `mobupack build` compiles it into start.msb.
page version: 116; result: none
VarNew name: count; type: int; value: 0; continue: yes
VarNew name: total; type: int; value: 0; continue: yes
VarNew name: greeting; type: string; value: "もぶ"; continue: yes
VarNew name: finished; type: flag; value: FALSE; continue: yes
Calc expr: 起動回数 = 起動回数 + 1; continue: yes

// Sum of 1..10 without the multiples of three, stopping after 8.
WhileInit expr: count = 0
While cond: count < 10; continue: yes
  Calc expr: count = count + 1; continue: yes
  If cond: count % 3 == 0; continue: yes
    Continue; continue: yes
  Break cond: count > 8; continue: yes
  Calc expr: total = total + count; continue: yes
WhileLoop

// square.msb returns the square of its one parameter.
VarNew name: squared; type: int; continue: yes
Call page: square.msb; result: squared; args: total; continue: yes
Calc expr: greeting = greeting ++ ":" ++ IntToStr(squared); continue: yes

Label name: rest
Wait time: 100
Calc expr: finished = TRUE

// The variables of the two screens (title.msb, field.msb): which screen the buttons ask
// for, the moving parts' positions, angles, zoom and the star's speed (set by the field's
// sign), and the number of start clicks.
VarNew name: screen; type: int; value: 1; continue: yes
VarNew name: clicks; type: int; value: 0; continue: yes
VarNew name: star_x; type: int; continue: yes
VarNew name: scroll; type: int; continue: yes
VarNew name: turn; type: int; continue: yes
VarNew name: zoom; type: int; continue: yes
VarNew name: grow; type: int; continue: yes
VarNew name: star_turn; type: int; continue: yes
VarNew name: spin; type: int; value: 2; continue: yes
// The field's effect button: the last transition shown, the background shown, a press waiting.
VarNew name: effect; type: int; value: 0; continue: yes
VarNew name: picture; type: int; continue: yes
VarNew name: replay; type: flag; value: FALSE; continue: yes
// The game's own pointer wherever no control names one.
Calc expr: @Cursor = "cur\\arrow.cur"; continue: yes
Jump page: title.msb
