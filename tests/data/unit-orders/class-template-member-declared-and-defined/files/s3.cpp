#include "item.h"
#include "q.h"
void Reset(Queue<Item> &q) { if (q.Front()) q.Clear(); }
