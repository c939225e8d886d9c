#include "anlsrslt/readers/ClassFunctionListeners.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "foundation/Assertion.h"

P_ListenerList<P_CallbackPair> &classTagListeners() {
  static P_ListenerList<P_CallbackPair> listeners;
  return listeners;
}

P_ListenerList<P_CallbackPair> &functionListeners() {
  static P_ListenerList<P_CallbackPair> listeners;
  return listeners;
}

void registerClassTagListener(void *value, ClassOrFunctionListener listener) {
  classTagListeners().add(P_CallbackPair{value, listener});
  registerDefineRunEndListener(notifyClassAndFunctionListeners);
}

void registerFunctionListener(void *value, ClassOrFunctionListener listener) {
  functionListeners().add(P_CallbackPair{value, listener});
  registerDefineRunEndListener(notifyClassAndFunctionListeners);
}

void notifyClassAndFunctionListeners() {
  P_ListenerList<P_CallbackPair> &classTags = classTagListeners();
  P_ListenerList<P_CallbackPair> &functions = functionListeners();
  if (classTags.empty() && functions.empty())
    return;
  SymbolTable *symbols = symbolTableContext();
  U_ASSERT(symbols != 0 && "Symbol table context not set.");
  // By index: a listener that files a symbol adds to the list being walked.
  const std::vector<U_RefPtr<P_Symbol>> &all = symbols->symbols();
  for (std::size_t i = 0; i < all.size(); ++i) {
    P_Define *define = all[i]->define();
    if (!define)
      continue;
    if (P_defineIsClassOrStructTag(define))
      classTags.notify(define);
    else if (P_defineIsFunction(define))
      functions.notify(define);
  }
}
