// The entry: with no argument the fixed job in its window; with a command the
// authoring forms on the console. Every failure that no step handles ends here.
#include <exception>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "app/riga_di_comando.h"

namespace {

using namespace compattatore;

int lavoro_fisso() {
  int stato = 0;
  try {
    Form1 form(piattaforma::directory_programma());
    form.Form_Load();
  } catch (const fine_esecuzione& f) {
    stato = f.stato;
  } catch (const std::exception& e) {
    piattaforma::mostra_messaggio(testo_fallimento(e));
    stato = 2;
  }
  piattaforma::chiudi_attesa();
  return stato;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + 1, argv + argc);
  if (argomenti.empty()) return lavoro_fisso();
  piattaforma::usa_console();
  return esegui_comando(argomenti);
}
