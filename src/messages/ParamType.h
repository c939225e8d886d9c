// The typed parameters of a diagnostic: a text, an entity's display name, a
// list of texts and a list of nested diagnostics. Each gives itself as one line
// of text; the visitor tells the kinds apart.
#pragma once

#include "foundation/Ref.h"

#include <ostream>
#include <string>
#include <vector>

class M_Diagnostic;
class M_ParamTypeNav;
class U_EntityDisplayName;

// A parameter. Parameters are shared through handles and never change once
// made.
class M_ParamType : public U_Ref {
public:
  ~M_ParamType() override = 0;
  // The parameter as one line of text; empty for the base.
  virtual std::string text() const;
  // The same text written to the stream.
  virtual void writeText(std::ostream &out) const;
  // Calls the visitor operation of the parameter's own kind with itself.
  virtual void accept(M_ParamTypeNav &nav) = 0;
};

// A text, shown as it is.
class M_ParamStringType : public M_ParamType {
public:
  explicit M_ParamStringType(const std::string &text);
  explicit M_ParamStringType(std::string &&text);
  ~M_ParamStringType() override;
  std::string text() const override;
  // Writes the text itself, without a copy of it.
  void writeText(std::ostream &out) const override;
  void accept(M_ParamTypeNav &nav) override;

  const std::string &getString() const { return m_string; }

private:
  std::string m_string;
};

// The display name of an entity, shown as "Entity={A,B}": with the flag false
// A and B are the first and third renderings of the name, with the flag true
// the second and fourth. Without a display name both are empty.
class M_ParamEntityType : public M_ParamType {
public:
  M_ParamEntityType(const U_RefPtr<U_EntityDisplayName> &entity, bool flag);
  ~M_ParamEntityType() override;
  std::string text() const override;
  void accept(M_ParamTypeNav &nav) override;

  const U_RefPtr<U_EntityDisplayName> &getEntity() const { return m_entity; }
  bool getFlag() const { return m_flag; }

private:
  U_RefPtr<U_EntityDisplayName> m_entity;
  bool m_flag;
};

// A list of texts, shown as "List={a,b}".
class M_ParamListType : public M_ParamType {
public:
  explicit M_ParamListType(const std::vector<std::string> &strings);
  ~M_ParamListType() override;
  std::string text() const override;
  void accept(M_ParamTypeNav &nav) override;

  const std::vector<std::string> &getStrings() const { return m_strings; }

private:
  std::vector<std::string> m_strings;
};

// A list of nested diagnostics, shown as "MsgList={" and their one-line texts
// joined by " ; ", then "}". Every handle of the list is set.
class M_ParamMsgListType : public M_ParamType {
public:
  explicit M_ParamMsgListType(const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics);
  ~M_ParamMsgListType() override;
  std::string text() const override;
  void accept(M_ParamTypeNav &nav) override;

  const std::vector<U_RefPtr<M_Diagnostic>> &getDiagnostics() const { return m_diagnostics; }

private:
  std::vector<U_RefPtr<M_Diagnostic>> m_diagnostics;
};

// Visitor over the parameter kinds. Each operation of a kind passes the
// parameter on to visitOther, which does nothing; a subclass overrides what it
// needs. Never deleted through this base.
class M_ParamTypeNav {
public:
  virtual void visitMsgList(M_ParamMsgListType &param);
  virtual void visitList(M_ParamListType &param);
  virtual void visitEntity(M_ParamEntityType &param);
  virtual void visitString(M_ParamStringType &param);
  virtual void visitOther(M_ParamType &param);

protected:
  M_ParamTypeNav() = default;
  M_ParamTypeNav(const M_ParamTypeNav &) = default;
  M_ParamTypeNav &operator=(const M_ParamTypeNav &) = default;
  ~M_ParamTypeNav() = default;
};
