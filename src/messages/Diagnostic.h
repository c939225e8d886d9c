// One diagnostic: a message number, where it points (or nowhere), its typed
// parameters in the order added, and four flags. A diagnostic is built by the
// code that reports or reads it and only read afterwards.
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "messages/ParamType.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class QL_Filename;
class U_EntityDisplayName;

class M_Diagnostic : public U_Ref {
public:
  // Every constructor but the copy starts with no parameters and all flags
  // false. The default diagnostic has number 0; both have no location.
  M_Diagnostic();
  explicit M_Diagnostic(std::uint32_t number);
  M_Diagnostic(std::uint32_t number, const U_Location &location);
  // Copies the number, the location, the flags and the parameter handles: the
  // parameter objects are shared, not cloned.
  M_Diagnostic(const M_Diagnostic &other);
  M_Diagnostic &operator=(const M_Diagnostic &other);
  ~M_Diagnostic() override;

  std::uint32_t getNumber() const { return m_number; }
  // A null location for a diagnostic without one.
  const U_Location &getLocation() const { return m_location; }

  int getParameterCount() const { return static_cast<int>(m_parameters.size()); }
  // Parameter i, 0 <= i < getParameterCount(); the index is not checked.
  M_ParamType *getParameter(int index) const {
    return m_parameters[static_cast<std::size_t>(index)].pointer();
  }

  // Each appends one new parameter.
  // A text (a null C string is the empty text). Texts are in the internal
  // encoding, which parameters keep as it is.
  void addParameter(const std::string &text);
  void addParameter(std::string &&text);
  void addParameter(const char *text);
  // The file's printable name.
  void addParameter(const QL_Filename &file);
  // The number's decimal text.
  void addParameter(std::uint32_t number);
  // An entity's display name; the flag selects its renderings.
  void addParameter(const U_RefPtr<U_EntityDisplayName> &entity, const bool &flag);
  void addParameter(const std::vector<std::string> &texts);
  // A list of nested diagnostics. Under the debug word "sort-messages" (looked
  // up once per process) the list is first sorted, stably, by
  // isDiagnosticLess; the caller's list stays as it is.
  void addParameter(std::vector<U_RefPtr<M_Diagnostic>> diagnostics);
  // A list of nested diagnostics in the given order, never sorted.
  void addParameterInGivenOrder(const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics);

  // Whether some parameter is a list of nested diagnostics that is not empty.
  bool hasNonEmptyMessageList() const;

  bool isHiddenByPragma() const { return m_hiddenByPragma; }
  bool isHiddenByUser() const { return m_hiddenByUser; }
  // A diagnostic with the error flag passes every display filter and every
  // suppression.
  bool isError() const { return m_error; }
  // Only the error-file readers set flags.
  void setHiddenByPragma(bool value) { m_hiddenByPragma = value; }
  void setHiddenByUser(bool value) { m_hiddenByUser = value; }
  void setHidden(bool value) { m_hidden = value; }
  void setError(bool value) { m_error = value; }

  // One line for the text outputs: "<file>:<line>[:<column>]: Msg=<number>
  // #params=<count>", the parameter texts in braces, the hidden flags, and the
  // include, instantiation and call histories while the debug words
  // "showInclLoc", "showInstLoc" and "showCallLoc" are given.
  std::string dumpText() const;
  // The same line written to the stream as it is made, without a copy of it.
  void writeText(std::ostream &out) const;

  // The same location (U_sameLocation), number, flags and parameter texts.
  friend bool diagnosticsEqual(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);

private:
  std::uint32_t m_number;
  U_Location m_location;
  std::vector<U_RefPtr<M_ParamType>> m_parameters;
  bool m_hiddenByPragma = false;
  bool m_hiddenByUser = false;
  bool m_hidden = false; // read by diagnosticsEqual only
  bool m_error = false;
};

bool diagnosticsEqual(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b);
