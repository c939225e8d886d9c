#include "foundation/WordStringStore.h"

void U_WordStringStore::pushBytes(std::string_view bytes) {
  for (char byte : bytes)
    pushWord(static_cast<std::uint32_t>(static_cast<unsigned char>(byte)) + 1u);
}
