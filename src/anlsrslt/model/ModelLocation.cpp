#include "anlsrslt/model/ModelLocation.h"

P_Location::P_Location(const U_Location &location) : m_location(location) {
  if (!location.isSet())
    return;
  m_line = location.getLine();
  m_column = location.getColumn();
  m_file = P_filenameProxyFor(location.getFile());
}
