// Source files held in memory, for the tests, the fuzz target and the stage
// benchmark: either may be absent, and every `consuma` is recorded in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sources/fonte.h"

namespace compattatore {

class fonte_memoria : public fonte_sorgenti {
 public:
  fonte_memoria(std::optional<std::string> linea, std::optional<std::string> servizio);

  std::string nome(sorgente s) const override;
  bool esiste(sorgente s) const override;
  std::string leggi(sorgente s) override;
  void consuma(sorgente s) override;

  // Like an author's files: consumed files stay where they are.
  void conserva_file() { conserva_ = true; }
  // The file exists but cannot be opened.
  void rendi_illeggibile(sorgente s) { file(s).illeggibile = true; }

  const std::vector<sorgente>& consumi() const { return consumi_; }

 private:
  struct file_memoria {
    std::optional<std::string> testo;
    bool illeggibile = false;
  };
  file_memoria& file(sorgente s) { return s == sorgente::linea ? linea_ : servizio_; }
  const file_memoria& file(sorgente s) const { return s == sorgente::linea ? linea_ : servizio_; }

  file_memoria linea_;
  file_memoria servizio_;
  bool conserva_ = false;
  std::vector<sorgente> consumi_;
};

}  // namespace compattatore
