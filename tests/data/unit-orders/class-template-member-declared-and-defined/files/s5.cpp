#include "item.h"
#include "q.h"
Item *First(Queue<Item> &q) { return q.Front(); }
