// Called with a number: returns the number squared.
page version: 116; result: int
VarNew name: n; type: int; scope: local; value: @ParamStr[0]; continue: yes
Calc expr: @Result = n * n; continue: yes
