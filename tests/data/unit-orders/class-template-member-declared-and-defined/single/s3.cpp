@DIR@/item.h:1: Msg=4807 #params=1 {Item}
@DIR@/q.h:1: Msg=4807 #params=1 {Queue}
@DIR@/q.h:3: Msg=4802 #params=1 {Clear}
@DIR@/q.h:3: Msg=4811 #params=1 {Clear}
@DIR@/q.h:4: Msg=4802 #params=1 {Front}
@DIR@/q.h:4: Msg=4811 #params=1 {Front}
@DIR@/s3.cpp:3: Msg=4802 #params=1 {Reset}
@DIR@/s3.cpp:3: Msg=4811 #params=1 {Reset}
