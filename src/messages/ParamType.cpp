#include "messages/ParamType.h"

#include "foundation/Assertion.h"
#include "messages/Diagnostic.h"
#include "resultfiles/EntityDisplayName.h"

#include <utility>

M_ParamType::~M_ParamType() = default;

std::string M_ParamType::text() const { return std::string(); }
void M_ParamType::writeText(std::ostream &out) const { out << text(); }

M_ParamStringType::M_ParamStringType(const std::string &text) : m_string(text) {}
M_ParamStringType::M_ParamStringType(std::string &&text) : m_string(std::move(text)) {}
M_ParamStringType::~M_ParamStringType() = default;
std::string M_ParamStringType::text() const { return m_string; }
void M_ParamStringType::writeText(std::ostream &out) const { out << m_string; }
void M_ParamStringType::accept(M_ParamTypeNav &nav) { nav.visitString(*this); }

M_ParamEntityType::M_ParamEntityType(const U_RefPtr<U_EntityDisplayName> &entity, bool flag)
    : m_entity(entity), m_flag(flag) {}
M_ParamEntityType::~M_ParamEntityType() = default;

std::string M_ParamEntityType::text() const {
  std::string shown = "Entity={";
  if (m_entity.isSet())
    shown +=
        m_flag ? m_entity->text2() + "," + m_entity->text4() : m_entity->text() + "," + m_entity->text3();
  else
    shown += ",";
  return shown + "}";
}

void M_ParamEntityType::accept(M_ParamTypeNav &nav) { nav.visitEntity(*this); }

M_ParamListType::M_ParamListType(const std::vector<std::string> &strings) : m_strings(strings) {}
M_ParamListType::~M_ParamListType() = default;

std::string M_ParamListType::text() const {
  std::string shown = "List={";
  for (std::size_t i = 0; i < m_strings.size(); ++i)
    shown += (i == 0 ? "" : ",") + m_strings[i];
  return shown + "}";
}

void M_ParamListType::accept(M_ParamTypeNav &nav) { nav.visitList(*this); }

M_ParamMsgListType::M_ParamMsgListType(const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics)
    : m_diagnostics(diagnostics) {
  for (const U_RefPtr<M_Diagnostic> &diagnostic : m_diagnostics)
    U_ASSERT(diagnostic.isSet() && "Dont add null pointer to a message list.");
}

M_ParamMsgListType::~M_ParamMsgListType() = default;

std::string M_ParamMsgListType::text() const {
  std::string shown = "MsgList={";
  for (std::size_t i = 0; i < m_diagnostics.size(); ++i)
    shown += (i == 0 ? "" : " ; ") + m_diagnostics[i]->dumpText();
  return shown + "}";
}

void M_ParamMsgListType::accept(M_ParamTypeNav &nav) { nav.visitMsgList(*this); }

void M_ParamTypeNav::visitMsgList(M_ParamMsgListType &param) { visitOther(param); }
void M_ParamTypeNav::visitList(M_ParamListType &param) { visitOther(param); }
void M_ParamTypeNav::visitEntity(M_ParamEntityType &param) { visitOther(param); }
void M_ParamTypeNav::visitString(M_ParamStringType &param) { visitOther(param); }
void M_ParamTypeNav::visitOther(M_ParamType &) {}
