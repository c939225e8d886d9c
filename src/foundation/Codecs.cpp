#include "foundation/Codecs.h"

#include "cmdline/ProductEnvironment.h"
#include "foundation/FileSystem.h"
#include "foundation/PathText.h"
#include "platform/Environment.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTextCodec>
#include <QtGlobal>

#include <array>
#include <string>
#include <vector>

namespace {

struct PluginState {
  bool mustLoad = true;
  bool result = true;
};

PluginState &pluginState() {
  static PluginState state;
  return state;
}

std::vector<std::string> pluginSearchDirectories(const C_Product &product) {
  std::vector<std::string> directories;
  directories.push_back(U_toForwardSlashes(U_programDirectory()));
  directories.push_back(U_toForwardSlashes(currentProductBinDir(product)));
  directories.push_back(
      U_toForwardSlashes(QLibraryInfo::location(QLibraryInfo::PluginsPath).toLocal8Bit().toStdString()));
  if (const std::optional<std::string> qtDir = platform::environmentValue("TOLV_QTDIR"))
    directories.push_back(U_toForwardSlashes(U_joinPath(*qtDir, "plugins")));
  return directories;
}

bool requiredCodecsAvailable() {
  for (const char *name : {QL_eucCodecName, QL_sjisCodecName, QL_utf8CodecName})
    if (!QTextCodec::codecForName(name))
      return false;
  return true;
}

} // namespace

QTextCodec *QL_codecForKind(QL_EncodingKind kind) {
  static const std::array<QTextCodec *, 8> codecs = [] {
    std::array<QTextCodec *, 8> table{};
    table[eceEUC] = QTextCodec::codecForName(QL_eucCodecName);
    table[eceSJIS] = QTextCodec::codecForName(QL_sjisCodecName);
    table[eceUTF] = QTextCodec::codecForName(QL_utf8CodecName);
    return table;
  }();
  const auto index = static_cast<std::size_t>(kind);
  return index < codecs.size() ? codecs[index] : nullptr;
}

bool loadCodecPlugins(const C_Product &product) {
  PluginState &state = pluginState();
  if (!state.mustLoad)
    return state.result;

  // Directories first: an installation directory that is not set raises its
  // configuration error before anything is kept.
  const std::vector<std::string> directories = pluginSearchDirectories(product);
  // The codec library puts each added directory in front of its list; adding
  // them last to first leaves the first one searched first.
  // An empty name (no program directory known) would stand for the current
  // directory there, so it is left out.
  for (auto directory = directories.rbegin(); directory != directories.rend(); ++directory)
    if (!directory->empty())
      QCoreApplication::addLibraryPath(QString::fromLocal8Bit(directory->c_str()));
  qputenv("UNICODEMAP_JP", "open-ms");

  state.result = requiredCodecsAvailable();
  state.mustLoad = platform::environmentValue("NO_LANG_CACHE").has_value();
  return state.result;
}

void QL_resetCodecPlugins() { pluginState() = PluginState(); }
