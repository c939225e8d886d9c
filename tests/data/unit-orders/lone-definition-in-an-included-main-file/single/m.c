@DIR@/m.c:3: Msg=4802 #params=1 {Fn}
@DIR@/m.c:3: Msg=4811 #params=1 {Fn}
