// Test helper: an output sink that keeps one line for each diagnostic it is
// sent, "<number> <file>:<line>" followed by " {<text>}" for each parameter,
// and that installs itself as the run's sink for its scope.
#pragma once

#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/ParamType.h"

#include <memory>
#include <string>
#include <vector>

namespace test_support {

class RecordingOutput {
public:
  RecordingOutput() { M_installOutput(0, std::make_unique<Sink>(m_lines)); }
  ~RecordingOutput() { M_closeOutput(); }
  RecordingOutput(const RecordingOutput &) = delete;
  RecordingOutput &operator=(const RecordingOutput &) = delete;

  // The lines so far, which are then forgotten.
  std::vector<std::string> take() { return std::move(m_lines); }

private:
  class Sink : public M_OutputBase {
  public:
    explicit Sink(std::vector<std::string> &lines) : m_lines(lines) {}
    void close() override {}
    void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override {
      if (!suppressed)
        write(diagnostic, false);
    }
    void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool) override {
      const U_Location &location = diagnostic->getLocation();
      std::string line = std::to_string(diagnostic->getNumber());
      if (location.isSet())
        line += " " + location.getFile().canonical().str() + ":" + std::to_string(location.getLine());
      for (int i = 0; i < diagnostic->getParameterCount(); ++i)
        line += " {" + diagnostic->getParameter(i)->text() + "}";
      m_lines.push_back(line);
    }
    void writeSuppression(const U_RefPtr<M_SuppressionRecord> &) override {}

  private:
    std::vector<std::string> &m_lines;
  };

  std::vector<std::string> m_lines;
};

} // namespace test_support
