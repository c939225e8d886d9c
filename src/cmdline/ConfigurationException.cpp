#include "cmdline/ConfigurationException.h"

#include <exception>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace {

// A newline, the parts in order and two newlines. A failure while composing
// leaves the message empty rather than escaping from an error's constructor.
std::string composeMessage(std::initializer_list<std::string> parts) {
  try {
    std::ostringstream out;
    out << '\n';
    for (const std::string &part : parts)
      out << part;
    out << "\n\n";
    return out.str();
  } catch (const std::exception &) {
    return std::string();
  }
}

} // namespace

C_ConfigurationException::C_ConfigurationException(const std::string &message) : U_UserException(message) {}

C_ConfigurationException::C_ConfigurationException(int exitCode, const std::string &message)
    : U_UserException(message), m_exitCode(exitCode), m_hasExitCode(true) {}

int C_ConfigurationException::exitCode() const { return m_exitCode; }

bool C_ConfigurationException::hasExitCode() const { return m_hasExitCode; }

C_InvalidArgValueException::C_InvalidArgValueException(const std::string &optionName,
                                                       const std::string &value)
    : C_ConfigurationException(std::string()),
      m_message(composeMessage({"ERROR: ", value, " is not a valid argument for option: ", optionName})) {}

C_InvalidArgValueException::C_InvalidArgValueException(ComposedMessage message)
    : C_ConfigurationException(std::string()), m_message(std::move(message.text)) {}

const char *C_InvalidArgValueException::what() const noexcept { return m_message.c_str(); }

C_ValueExpectedException::C_ValueExpectedException(const std::string &optionName)
    : C_ConfigurationException(std::string()),
      m_message(composeMessage({"ERROR: Argument expected after ", optionName})) {}

const char *C_ValueExpectedException::what() const noexcept { return m_message.c_str(); }

C_InvalidArgException::C_InvalidArgException(const std::string &word)
    : C_ConfigurationException(std::string()),
      m_message(composeMessage({"ERROR: Unknown argument: ", word})) {}

const char *C_InvalidArgException::what() const noexcept { return m_message.c_str(); }

C_InvalidViaException::C_InvalidViaException(const std::string &fileName)
    : C_InvalidArgValueException(ComposedMessage{composeMessage({"ERROR: Unable to open ", fileName})}) {}

C_ViaNestingException::C_ViaNestingException(const std::string &fileName)
    : C_InvalidArgValueException(ComposedMessage{
          composeMessage({"ERROR: Settings files nested too deeply, not read: ", fileName})}) {}
