// The system's own messages, numbers 1569 to 1599: one factory per number that
// makes the diagnostic at a location (which may be null) with its fixed
// parameters, and beside it a function that gives the number. Four of them
// describe the history of a location: 1570 called from, 1597 instantiated
// from, 1598 expanded from a macro, 1599 included from. Their texts and levels
// come from the message catalogue like those of every other number.
//
// Entity arguments become entity parameters shown with the flag false, except
// the second entity of 1591 (flag true); the number of 1569 becomes its
// decimal text; the list of 1574 is added as a list of nested diagnostics
// (sorted under "sort-messages").
#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <vector>

class M_Diagnostic;
class U_EntityDisplayName;
class U_Location;

// The numbers of the history messages.
constexpr std::uint32_t M_calledFromMessage = 1570;
constexpr std::uint32_t M_instantiatedFromMessage = 1597;
constexpr std::uint32_t M_macroExpansionMessage = 1598;
constexpr std::uint32_t M_includedFromMessage = 1599;

U_RefPtr<M_Diagnostic> M_makeInternalMessage1569(const U_Location &location, std::uint32_t number);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1570(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1571(const U_Location &location, const std::string &text);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1572(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1573(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1574(const U_Location &location,
                                                 const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1575(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity,
                                                 const std::string &text);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1576(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1577(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1578(const U_Location &location, const std::string &text);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1579(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1580(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1581(const U_Location &location, const std::string &text1,
                                                 const std::string &text2);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1582(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1583(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1584(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1585(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1586(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1587(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1588(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1589(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1590(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1591(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1592(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity1,
                                                 const std::string &text,
                                                 const U_RefPtr<U_EntityDisplayName> &entity2);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1593(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1594(const U_Location &location,
                                                 const U_RefPtr<U_EntityDisplayName> &entity);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1595(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1596(const U_Location &location);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1597(const U_Location &location, const std::string &entityName);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1598(const U_Location &location, const std::string &macroName);
U_RefPtr<M_Diagnostic> M_makeInternalMessage1599(const U_Location &location);

constexpr std::uint32_t M_internalMessageNumber1569() { return 1569; }
constexpr std::uint32_t M_internalMessageNumber1570() { return 1570; }
constexpr std::uint32_t M_internalMessageNumber1571() { return 1571; }
constexpr std::uint32_t M_internalMessageNumber1572() { return 1572; }
constexpr std::uint32_t M_internalMessageNumber1573() { return 1573; }
constexpr std::uint32_t M_internalMessageNumber1574() { return 1574; }
constexpr std::uint32_t M_internalMessageNumber1575() { return 1575; }
constexpr std::uint32_t M_internalMessageNumber1576() { return 1576; }
constexpr std::uint32_t M_internalMessageNumber1577() { return 1577; }
constexpr std::uint32_t M_internalMessageNumber1578() { return 1578; }
constexpr std::uint32_t M_internalMessageNumber1579() { return 1579; }
constexpr std::uint32_t M_internalMessageNumber1580() { return 1580; }
constexpr std::uint32_t M_internalMessageNumber1581() { return 1581; }
constexpr std::uint32_t M_internalMessageNumber1582() { return 1582; }
constexpr std::uint32_t M_internalMessageNumber1583() { return 1583; }
constexpr std::uint32_t M_internalMessageNumber1584() { return 1584; }
constexpr std::uint32_t M_internalMessageNumber1585() { return 1585; }
constexpr std::uint32_t M_internalMessageNumber1586() { return 1586; }
constexpr std::uint32_t M_internalMessageNumber1587() { return 1587; }
constexpr std::uint32_t M_internalMessageNumber1588() { return 1588; }
constexpr std::uint32_t M_internalMessageNumber1589() { return 1589; }
constexpr std::uint32_t M_internalMessageNumber1590() { return 1590; }
constexpr std::uint32_t M_internalMessageNumber1591() { return 1591; }
constexpr std::uint32_t M_internalMessageNumber1592() { return 1592; }
constexpr std::uint32_t M_internalMessageNumber1593() { return 1593; }
constexpr std::uint32_t M_internalMessageNumber1594() { return 1594; }
constexpr std::uint32_t M_internalMessageNumber1595() { return 1595; }
constexpr std::uint32_t M_internalMessageNumber1596() { return 1596; }
constexpr std::uint32_t M_internalMessageNumber1597() { return 1597; }
constexpr std::uint32_t M_internalMessageNumber1598() { return 1598; }
constexpr std::uint32_t M_internalMessageNumber1599() { return 1599; }

// A new diagnostic with the number and location, no parameters, flags false.
U_RefPtr<M_Diagnostic> M_createDiagnostic(std::uint32_t number, const U_Location &location);
// The same with one entity parameter shown with the flag.
U_RefPtr<M_Diagnostic> M_createDiagnosticWithEntity(std::uint32_t number, const U_Location &location,
                                                    const U_RefPtr<U_EntityDisplayName> &entity,
                                                    const bool &flag);
