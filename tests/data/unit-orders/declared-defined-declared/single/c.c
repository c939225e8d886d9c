@DIR@/h.h:2: Msg=4802 #params=1 {Fn}
