// One call per class or struct tag and one per function of the whole
// program, made once at the end of the run after every record file was read.
// A check registers a listener with a value of its own, which each call hands
// back to it.
#pragma once

#include "anlsrslt/readers/ListenerList.h"

struct P_Define;

// Called with the representative define of a symbol and the value given at
// registration.
using ClassOrFunctionListener = void (*)(P_Define *define, void *value);

// A registration: the value (first) and the listener (second). Calling it
// calls the listener with the define and the value.
struct P_CallbackPair {
  void *first;
  ClassOrFunctionListener second;

  void operator()(P_Define *define) const { second(define, first); }
};

// The registrations, in registration order; one made twice stands there twice
// and is called twice.
P_ListenerList<P_CallbackPair> &classTagListeners();
P_ListenerList<P_CallbackPair> &functionListeners();

// Append a registration and put notifyClassAndFunctionListeners into the
// DEFINE end-of-run list (once), which switches on DEFINE reading.
void registerClassTagListener(void *value, ClassOrFunctionListener listener);
void registerFunctionListener(void *value, ClassOrFunctionListener listener);

// Walks every symbol of the DEFINE handler's symbol table in the order they
// were made and takes its representative define (a symbol without one is
// passed over): a class or struct tag calls every class-tag registration, a
// function every function registration, in registration order; any other
// define calls nothing. Nothing happens while both lists are empty. An
// exception of a listener ends the walk and passes on.
void notifyClassAndFunctionListeners();
