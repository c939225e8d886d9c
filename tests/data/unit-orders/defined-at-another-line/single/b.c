@DIR@/h.h:5: Msg=4802 #params=1 {Fn}
@DIR@/h.h:5: Msg=4811 #params=1 {Fn}
