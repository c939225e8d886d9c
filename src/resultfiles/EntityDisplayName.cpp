#include "resultfiles/EntityDisplayName.h"

namespace {

class ObjectDisplayName : public U_EntityDisplayName {
public:
  explicit ObjectDisplayName(const std::string &text) : m_text(text) {}
  ~ObjectDisplayName() override = default;

  std::string text() const override { return m_text; }
  std::string text2() const override { return text(); }
  std::string text3() const override { return text(); }
  std::string text4() const override { return text(); }
  std::string text5() const override { return text(); }

private:
  std::string m_text;
};

} // namespace

U_RefPtr<U_EntityDisplayName> makeEntityDisplayName(const std::string &text) {
  return U_RefPtr<U_EntityDisplayName>(new ObjectDisplayName(text));
}
