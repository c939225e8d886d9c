#include "anlsrslt/model/Symbol.h"

P_Symbol::P_Symbol(DefinePtr def) : m_declaration(std::move(def)) {}

P_Symbol::~P_Symbol() = default;
