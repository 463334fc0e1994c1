// The route page taken apart for the tests: the page as written, read as XML
// (which it must be), or the page as a browser left it, read as HTML.
#pragma once

#include <string>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace compattatore::prove {

class pagina_letta {
 public:
  using nodo = const _xmlNode*;

  // Strict XML: a page that is not well formed fails the test that reads it.
  static pagina_letta da_xml(const std::string& testo);
  // A browser's serialisation of the live page.
  static pagina_letta da_html(const std::string& testo);

  ~pagina_letta();
  pagina_letta(pagina_letta&& altra) noexcept;
  pagina_letta(const pagina_letta&) = delete;
  pagina_letta& operator=(const pagina_letta&) = delete;

  bool valida() const { return documento_ != nullptr; }
  const std::string& errori() const { return errori_; }

  nodo radice() const;
  // The element with this id, or nullptr.
  nodo per_id(const std::string& id) const;
  // The elements named `nome` (any name when empty) whose class list holds
  // `classe` (any class when empty), below `dentro`, in document order.
  std::vector<nodo> cerca(nodo dentro, const std::string& nome, const std::string& classe) const;

  static std::string attributo(nodo n, const std::string& nome);
  static std::string testo(nodo n);

 private:
  explicit pagina_letta(_xmlDoc* documento, std::string errori)
      : documento_(documento), errori_(std::move(errori)) {}
  _xmlDoc* documento_;
  std::string errori_;
};

// The pairs of numbers of an SVG points attribute.
struct punto_xy {
  double x;
  double y;
};
std::vector<punto_xy> punti_svg(const std::string& attributo);

}  // namespace compattatore::prove
