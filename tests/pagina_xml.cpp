#include "tests/pagina_xml.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace compattatore::prove {

namespace {

const char* c(const std::string& s) {
  return s.c_str();
}
const xmlChar* x(const char* s) {
  return reinterpret_cast<const xmlChar*>(s);
}

bool ha_classe(const std::string& elenco, const std::string& classe) {
  std::istringstream parole(elenco);
  for (std::string p; parole >> p;)
    if (p == classe) return true;
  return false;
}

void raccogli_errore(void* contesto, const char* formato, ...) {
  char testo[1024];
  va_list argomenti;
  va_start(argomenti, formato);
  std::vsnprintf(testo, sizeof testo, formato, argomenti);
  va_end(argomenti);
  *static_cast<std::string*>(contesto) += testo;
}

}  // namespace

pagina_letta pagina_letta::da_xml(const std::string& testo) {
  std::string errori;
  xmlSetGenericErrorFunc(&errori, raccogli_errore);
  xmlDocPtr d = xmlReadMemory(testo.data(), static_cast<int>(testo.size()), "pagina.html", "UTF-8",
                              XML_PARSE_NONET | XML_PARSE_HUGE);
  xmlSetGenericErrorFunc(nullptr, nullptr);
  return pagina_letta(d, errori);
}

pagina_letta pagina_letta::da_html(const std::string& testo) {
  htmlDocPtr d =
      htmlReadMemory(testo.data(), static_cast<int>(testo.size()), "pagina.html", "UTF-8",
                     HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                         HTML_PARSE_RECOVER | XML_PARSE_HUGE);
  return pagina_letta(d, "");
}

pagina_letta::~pagina_letta() {
  if (documento_ != nullptr) xmlFreeDoc(documento_);
}

pagina_letta::pagina_letta(pagina_letta&& altra) noexcept
    : documento_(altra.documento_), errori_(std::move(altra.errori_)) {
  altra.documento_ = nullptr;
}

pagina_letta::nodo pagina_letta::radice() const {
  return documento_ == nullptr ? nullptr : xmlDocGetRootElement(documento_);
}

pagina_letta::nodo pagina_letta::per_id(const std::string& id) const {
  const std::vector<nodo> tutti = cerca(radice(), "", "");
  for (nodo n : tutti)
    if (attributo(n, "id") == id) return n;
  return nullptr;
}

std::vector<pagina_letta::nodo> pagina_letta::cerca(nodo dentro, const std::string& nome,
                                                    const std::string& classe) const {
  std::vector<nodo> trovati;
  if (dentro == nullptr) return trovati;
  const auto visita = [&](const auto& se_stessa, nodo n) -> void {
    for (nodo f = n->children; f != nullptr; f = f->next) {
      if (f->type != XML_ELEMENT_NODE) continue;
      const bool nome_giusto = nome.empty() || nome == reinterpret_cast<const char*>(f->name);
      if (nome_giusto && (classe.empty() || ha_classe(attributo(f, "class"), classe)))
        trovati.push_back(f);
      se_stessa(se_stessa, f);
    }
  };
  visita(visita, dentro);
  return trovati;
}

std::string pagina_letta::attributo(nodo n, const std::string& nome) {
  if (n == nullptr) return {};
  xmlChar* v = xmlGetProp(n, x(c(nome)));
  if (v == nullptr) return {};
  std::string r(reinterpret_cast<const char*>(v));
  xmlFree(v);
  return r;
}

std::string pagina_letta::testo(nodo n) {
  if (n == nullptr) return {};
  xmlChar* v = xmlNodeGetContent(n);
  std::string r = v == nullptr ? "" : reinterpret_cast<const char*>(v);
  xmlFree(v);
  return r;
}

std::vector<punto_xy> punti_svg(const std::string& attributo) {
  std::vector<punto_xy> r;
  std::string numeri = attributo;
  for (char& ch : numeri)
    if (ch == ',') ch = ' ';
  std::istringstream in(numeri);
  for (double px, py; in >> px >> py;) r.push_back({px, py});
  return r;
}

}  // namespace compattatore::prove
