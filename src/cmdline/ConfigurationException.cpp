#include "cmdline/ConfigurationException.h"

C_ConfigurationException::C_ConfigurationException(const std::string &message) : U_UserException(message) {}

C_ConfigurationException::C_ConfigurationException(int exitCode, const std::string &message)
    : U_UserException(message), m_exitCode(exitCode), m_hasExitCode(true) {}

int C_ConfigurationException::exitCode() const { return m_exitCode; }

bool C_ConfigurationException::hasExitCode() const { return m_hasExitCode; }
