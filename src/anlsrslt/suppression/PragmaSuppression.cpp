#include "anlsrslt/suppression/PragmaSuppression.h"

void registerPragmaSuppressHandlers() {}
