// The receiver of the option words that name no option.
#pragma once

#include <string>

class C_CmdArgs;

// Takes every word of the parse that does not begin with "-" (the driver's
// collector of input files derives from it).
class C_OrphanHandler {
public:
  virtual ~C_OrphanHandler() = default;
  // args: the argument set being parsed; word: in the product's encoding.
  virtual void handle(C_CmdArgs &args, const std::string &word) = 0;
  // True while no word was taken.
  virtual bool isEmpty() const = 0;
};
