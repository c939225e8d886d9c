// The display name of an instantiated entity, as a location's instantiation
// part names it.
#pragma once

#include "foundation/Ref.h"

#include <string>

// Five renderings of an entity's name; a caller picks the one it prints.
class U_EntityDisplayName : public U_Ref {
public:
  ~U_EntityDisplayName() override = 0;
  virtual std::string text() const = 0;
  virtual std::string text2() const = 0;
  virtual std::string text3() const = 0;
  virtual std::string text4() const = 0;
  virtual std::string text5() const = 0;
};

inline U_EntityDisplayName::~U_EntityDisplayName() = default;

// A display name that holds one text and gives it for every rendering.
U_RefPtr<U_EntityDisplayName> makeEntityDisplayName(const std::string &text);
