#include "messages/InternalMessages.h"

#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "resultfiles/EntityDisplayName.h"

namespace {

// An entity argument with the flag it is shown with.
struct Entity {
  const U_RefPtr<U_EntityDisplayName> &entity;
  bool flag;
};

void add(M_Diagnostic &diagnostic, const Entity &argument) {
  diagnostic.addParameter(argument.entity, argument.flag);
}
template <class Argument> void add(M_Diagnostic &diagnostic, const Argument &argument) {
  diagnostic.addParameter(argument);
}

// The diagnostic with one parameter per argument, in order.
template <class... Arguments>
U_RefPtr<M_Diagnostic> make(std::uint32_t number, const U_Location &location, const Arguments &...arguments) {
  U_RefPtr<M_Diagnostic> diagnostic = M_createDiagnostic(number, location);
  (add(*diagnostic, arguments), ...);
  return diagnostic;
}

} // namespace

U_RefPtr<M_Diagnostic> M_makeInternalMessage1569(const U_Location &location, std::uint32_t number) {
  return make(1569, location, number);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1570(const U_Location &location) {
  return make(M_calledFromMessage, location);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1571(const U_Location &location, const std::string &text) {
  return make(1571, location, text);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1572(const U_Location &location) { return make(1572, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1573(const U_Location &location) { return make(1573, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1574(const U_Location &location,
                                                 const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics) {
  return make(1574, location, diagnostics);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1575(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity,
                                                 const std::string &text) {
  return make(1575, location, Entity{entity, false}, text);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1576(const U_Location &location) { return make(1576, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1577(const U_Location &location) { return make(1577, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1578(const U_Location &location, const std::string &text) {
  return make(1578, location, text);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1579(const U_Location &location) { return make(1579, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1580(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2) {
  return make(1580, location, Entity{entity1, false}, Entity{entity2, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1581(const U_Location &location, const std::string &text1,
                                                 const std::string &text2) {
  return make(1581, location, text1, text2);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1582(const U_Location &location) { return make(1582, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1583(const U_Location &location) { return make(1583, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1584(const U_Location &location) { return make(1584, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1585(const U_Location &location) { return make(1585, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1586(const U_Location &location) { return make(1586, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1587(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity) {
  return make(1587, location, Entity{entity, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1588(const U_Location &location) { return make(1588, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1589(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity) {
  return make(1589, location, Entity{entity, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1590(const U_Location &location) { return make(1590, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1591(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2) {
  return make(1591, location, Entity{entity1, false}, Entity{entity2, true});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1592(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const std::string &text,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2) {
  return make(1592, location, Entity{entity1, false}, text, Entity{entity2, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1593(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity) {
  return make(1593, location, Entity{entity, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1594(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity) {
  return make(1594, location, Entity{entity, false});
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1595(const U_Location &location) { return make(1595, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1596(const U_Location &location) { return make(1596, location); }

U_RefPtr<M_Diagnostic> M_makeInternalMessage1597(const U_Location &location, const std::string &entityName) {
  return make(M_instantiatedFromMessage, location, entityName);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1598(const U_Location &location, const std::string &macroName) {
  return make(M_macroExpansionMessage, location, macroName);
}

U_RefPtr<M_Diagnostic> M_makeInternalMessage1599(const U_Location &location) {
  return make(M_includedFromMessage, location);
}

U_RefPtr<M_Diagnostic> M_createDiagnostic(std::uint32_t number, const U_Location &location) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

U_RefPtr<M_Diagnostic> M_createDiagnosticWithEntity(std::uint32_t number, const U_Location &location,
                                                    const U_RefPtr<U_EntityDisplayName> &entity,
                                                    const bool &flag) {
  return make(number, location, Entity{entity, flag});
}
