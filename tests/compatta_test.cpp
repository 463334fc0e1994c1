// The authoring command line end to end: sources written by the test into a
// fresh directory, the program run on them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>

#include "tests/dimensioni.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;
using prove::linea_valida;
using prove::servizio_valido;

// Inserts `riga` before the first line that starts with `prima`.
std::string inserisci(std::string testo, const std::string& prima, const std::string& riga) {
  const std::size_t p = testo.find("\n" + prima);
  return testo.insert(p + 1, riga + "\r\n");
}

using prove::righe_uscita;

class Compatta : public ::testing::Test, protected prove::scenario_in_cartella {
 protected:
  Compatta() : scenario_in_cartella("compatta", "L", "T") {}
  prove::esito_processo compatta(const std::vector<std::string>& opzioni = {}) const {
    return comando("compatta", opzioni);
  }
};

TEST_F(Compatta, ValidScenarioWritesThreeFilesAndLeavesTheSources) {
  scrivi(linea_valida, servizio_valido);
  const auto prima = prove::contenuto_cartella(dir());
  const auto e = compatta();
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.txt"), prima.at("L_linea.txt"));
  EXPECT_EQ(dopo.at("L_T-.txt"), prima.at("L_T-.txt"));
  EXPECT_EQ(dopo.at("L_linea.dat").size(), prove::byte_tracciato_piccolo);
  EXPECT_EQ(dopo.at("L_T.dat").size(), prove::byte_celle_piccolo);
  EXPECT_EQ(dopo.at("L_T.sim").size(), prove::byte_tabella_vuota + 1 + 1 + 5 + 7);
  EXPECT_EQ(dopo.size(), 5u);
}

TEST_F(Compatta, WithoutTrackWritesTwoFilesAndLeavesAnOldTrackAlone) {
  scrivi(linea_valida, servizio_valido);
  prove::scrivi_tutto(dir() / "L_linea.dat", "vecchio");
  const auto e = compatta({"--senza-tracciato"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.dat"), "vecchio");
  EXPECT_TRUE(dopo.contains("L_T.sim"));
  EXPECT_TRUE(dopo.contains("L_T.dat"));
}

TEST_F(Compatta, BuiltInSourcesCompactToTheFixedJobsFiles) {
  cartella_temporanea fisso("fisso");
  fs::copy_file(COMPATTATORE_EXE, fisso.percorso() / "compattatore");
  ASSERT_EQ(esegui({"./compattatore"}, fisso.percorso()).stato, 0);
  const auto e = esegui({COMPATTATORE_EXE, "esporta", dir().string()}, dir());
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto esportati = prove::contenuto_cartella(dir());
  const auto c =
      esegui({COMPATTATORE_EXE, "compatta", dir().string(), "Quarve_Lentra", "58213"}, dir());
  ASSERT_EQ(c.stato, 0) << c.errori;
  const auto attesi = prove::contenuto_cartella(fisso.percorso());
  const auto ottenuti = prove::contenuto_cartella(dir());
  for (const char* f :
       {"Quarve_Lentra_linea.dat", "Quarve_Lentra_58213.sim", "Quarve_Lentra_58213.dat"})
    EXPECT_TRUE(ottenuti.at(f) == attesi.at(f)) << f;
  // esporta wrote the two sources and the three documents, nothing else.
  EXPECT_EQ(esportati.size(), 5u);
  for (const auto& [nome, testo] : esportati) EXPECT_EQ(ottenuti.at(nome), testo) << nome;
}

TEST_F(Compatta, ErrorsNameNumberPositionAndSourceLine) {
  struct caso {
    const char* nome;
    std::function<void(std::string& linea, std::string& servizio)> guasta;
    int stato;
    std::string prime_righe;  // the first one or two lines of the message
    std::string luogo;        // the start of the third (or second) line: FILE:LINE
  };
  // Each case runs in a directory of its own, always named the same way.
  cartella_temporanea d("errore");
  const std::string L = (d.percorso() / "L_linea.txt").string();
  const std::string S = (d.percorso() / "L_T-.txt").string();
  const caso casi[] = {
      {"collisione",
       [](std::string&, std::string& s) {
         s = inserisci(s, "[fine]", "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0");
       },
       1, " Errore n. 16\nPosizione: 2710 m", S + ":17:"},
      {"fuori multiplo",
       [](std::string&, std::string& s) {
         s = prove::con(s, "stazione,    9000", "stazione,    9010");
       },
       1, " Errore n. 8\nPosizione: 9010 m", S + ":13:"},
      {"distanza stazioni",
       [](std::string&, std::string& s) {
         s = prove::con(s, "stazione,    9000", "stazione,     800");
       },
       1, " Errore n. 22\nPosizione: 800 m", S + ":13:"},
      {"troppe stazioni",
       [](std::string& l, std::string& s) {
         l = prove::con(l, "lunghezza percorso,    10000", "lunghezza percorso,    100000");
         std::string molte;
         for (int i = 0; i < 80; ++i)
           molte += "stazione, " + std::to_string(12000 + i * 1000) +
                    ",  25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n";
         s = inserisci(s, "[segnali]", molte.substr(0, molte.size() - 2));
       },
       // Slots 1 to 79 are free with no board: the 79th station is one too many.
       1, " Errore n. 10", S + ":90:"},
      {"numero sbagliato",
       [](std::string&, std::string& s) { s = prove::con(s, "sabbia,    300", "sabbia,    3x0"); },
       1, " Errore n. 25", S + ":5:"},
      {"manca generale",
       [](std::string& l, std::string&) { l = prove::con(l, "[generale]", "[general]"); }, 1,
       " Errore n. 102", L + ":"},
      {"manca la linea", [](std::string& l, std::string&) { l.clear(); }, 1, " Errore n. 101",
       L + ":"},
      {"curva oltre la griglia",
       [](std::string& l, std::string&) { l = inserisci(l, "[pendenze]", "curvas2, 16800, 300"); },
       1, " Errore n. 25", L + ":12:"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    for (const auto& f : fs::directory_iterator(d.percorso())) fs::remove(f.path());
    std::string linea = linea_valida, servizio = servizio_valido;
    c.guasta(linea, servizio);
    if (!linea.empty()) prove::scrivi_tutto(d.percorso() / "L_linea.txt", linea);
    prove::scrivi_tutto(d.percorso() / "L_T-.txt", servizio);
    const auto prima = prove::contenuto_cartella(d.percorso());
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), "L", "T"}, d.percorso());
    EXPECT_EQ(e.stato, c.stato);
    EXPECT_TRUE(e.errori.starts_with(c.prime_righe + "\n")) << e.errori;
    EXPECT_NE(e.errori.find("\n" + c.luogo), std::string::npos) << e.errori;
    // Nothing written, nothing consumed.
    EXPECT_EQ(prove::contenuto_cartella(d.percorso()), prima);
  }
}

TEST_F(Compatta, MisspeltKeywordIsWarnedAboutWithItsLine) {
  scrivi(linea_valida, inserisci(servizio_valido, "[fine]",
                                 "segnlae,    4000,   1, 4, 0,  0, 0,    1,  3,0,0, 0"));
  const auto e = compatta();
  EXPECT_EQ(e.stato, 0) << e.errori;
  const auto r = righe_uscita(e.errori);
  ASSERT_FALSE(r.empty()) << e.errori;
  EXPECT_TRUE(r[0].starts_with((dir() / "L_T-.txt").string() + ":17: attenzione:")) << r[0];
}

// A source that is not a sane file is refused at once, with error 25 and the
// reason, and nothing is written. A hang would end in `timeout`'s status.
TEST(SorgentiOstili, AreRefusedAtOnceSayingWhy) {
  const std::string lunga(250, 'x');  // its sources' names pass 255 bytes
  const struct {
    const char* nome;
    std::string linea = "L";
    bool servizio = false;  // the service source instead of the line source
    std::function<void(const fs::path& sorgente)> prepara;
    std::string motivo;
    bool utente_normale = false;
  } casi[] = {
      {"a FIFO", "L", false, [](const fs::path& f) { ::mkfifo(f.c_str(), 0644); },
       "e' una FIFO (pipe con nome), non un file"},
      {"a FIFO as service source", "L", true, [](const fs::path& f) { ::mkfifo(f.c_str(), 0644); },
       "e' una FIFO (pipe con nome), non un file"},
      {"a directory", "L", false, [](const fs::path& f) { fs::create_directory(f); },
       "e' una cartella, non un file"},
      {"a link to /dev/zero", "L", false,
       [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
       "e' un dispositivo a caratteri, non un file"},
      {"a file over the limit", "L", false,
       [](const fs::path& f) {
         prove::scrivi_tutto(f, linea_valida);
         fs::resize_file(f, (16u << 20) + 1);  // sparse: costs no disk
       },
       "il file supera il limite di 16777216 byte"},
      {"a file that cannot be read", "L", false,
       [](const fs::path& f) {
         prove::scrivi_tutto(f, linea_valida);
         fs::permissions(f, fs::perms::none);
       },
       std::strerror(EACCES), true},
      {"a name the file system cannot hold", lunga, false, [](const fs::path&) {},
       std::strerror(ENAMETOOLONG)},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    cartella_temporanea d("ostili");
    fs::permissions(d.percorso(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const fs::path linea = d.percorso() / (c.linea + "_linea.txt");
    const fs::path servizio = d.percorso() / (c.linea + "_T-.txt");
    if (c.linea.size() < 200)
      prove::scrivi_tutto(c.servizio ? linea : servizio,
                          c.servizio ? linea_valida : servizio_valido);
    c.prepara(c.servizio ? servizio : linea);
    const auto prima = prove::contenuto_cartella(d.percorso());
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), c.linea, "T"}, d.percorso(),
               "timeout 20 " + (c.utente_normale ? prove::come_utente_normale() : ""));
    EXPECT_EQ(e.stato, 1) << e.errori;
    EXPECT_TRUE(e.errori.starts_with(" Errore n. 25\n")) << e.errori;
    EXPECT_NE(e.errori.find((c.servizio ? servizio : linea).string() +
                            ": errore di lettura delle sorgenti: impossibile leggere il file: " +
                            c.motivo + "\n"),
              std::string::npos)
        << e.errori;
    EXPECT_EQ(prove::contenuto_cartella(d.percorso()), prima);
  }
}

// Any name the file system holds works: a temporary never makes it longer.
TEST(NomiLunghi, CompactWhereverTheFileSystemHoldsTheNames) {
  cartella_temporanea base("lunghi");
  // Directories of up to 200 characters, down to an absolute path of 4064.
  std::string profonda = base.percorso().string();
  while (profonda.size() < 4064) {
    const std::size_t resto = 4064 - profonda.size();
    const std::size_t n = resto <= 201 ? resto - 1 : resto == 202 ? 199 : 200;
    profonda += "/" + std::string(n, 'd');
  }
  fs::create_directories(profonda);
  const struct {
    const char* nome;
    fs::path dir;
    std::string linea, treno;
  } casi[] = {
      {"LINEA of 235 characters", base.percorso(), std::string(235, 'l'), "T"},
      {"DIR of 4064 characters", profonda, "Quarve_Lentra", "58213"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prove::scrivi_tutto(c.dir / (c.linea + "_linea.txt"), linea_valida);
    prove::scrivi_tutto(c.dir / (c.linea + "_" + c.treno + "-.txt"), servizio_valido);
    const auto e = esegui({COMPATTATORE_EXE, "compatta", c.dir.string(), c.linea, c.treno}, c.dir);
    EXPECT_EQ(e.stato, 0) << e.errori;
    std::vector<std::string> nomi;
    for (const auto& f : fs::directory_iterator(c.dir))
      if (f.is_regular_file()) nomi.push_back(f.path().filename().string());
    std::sort(nomi.begin(), nomi.end());
    const std::string lt = c.linea + "_" + c.treno;
    EXPECT_EQ(nomi, (std::vector<std::string>{lt + "-.txt", lt + ".dat", lt + ".sim",
                                              c.linea + "_linea.dat", c.linea + "_linea.txt"}));
  }
}

// Every phase on a line of its own, whole whatever its length: a long route
// name makes the writing phases' lines run well past 127 bytes.
TEST_F(Compatta, TimesEveryPhaseOnALineOfItsOwn) {
  const std::string linea(150, 'L');
  prove::scrivi_tutto(dir() / (linea + "_linea.txt"), linea_valida);
  prove::scrivi_tutto(dir() / (linea + "_T-.txt"), servizio_valido);
  const auto e =
      esegui({COMPATTATORE_EXE, "compatta", dir().string(), linea, "T", "--tempi", "-q"}, dir());
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "");
  EXPECT_TRUE(e.errori.ends_with("\n")) << e.errori;
  const std::vector<std::string> fasi = {"lettura",
                                         "marcatura",
                                         "codici",
                                         "scrittura " + linea + "_linea.dat",
                                         "scrittura " + linea + "_T.sim",
                                         "scrittura " + linea + "_T.dat",
                                         "sostituzione"};
  const std::vector<std::string> r = righe_uscita(e.errori);
  ASSERT_EQ(r.size(), fasi.size()) << e.errori;
  const std::regex secondi("[0-9]+\\.[0-9]{6} s");
  for (std::size_t i = 0; i < fasi.size(); ++i) {
    const std::string testa = "tempo " + fasi[i] + ": ";
    EXPECT_TRUE(r[i].starts_with(testa) && std::regex_match(r[i].substr(testa.size()), secondi))
        << r[i];
  }
}

// A usage error: one line on standard error naming what is wrong, and where
// the help is.
std::string uso(const std::string& comando, const std::string& motivo) {
  const std::string chi = comando.empty() ? "compattatore" : "compattatore " + comando;
  return chi + ": " + motivo + " (vedere '" + chi + " --help')\n";
}

TEST(RigaDiComando, UsageErrorsNameTheArgumentThatIsWrong) {
  cartella_temporanea d("uso");
  const struct {
    std::vector<std::string> argomenti;
    std::string errore;
  } casi[] = {
      {{"boh"}, uso("", "comando sconosciuto: boh")},
      {{"--boh"}, uso("", "opzione sconosciuta: --boh")},
      {{"esporta"}, uso("esporta", "manca DIR")},
      {{"esporta", "manca"}, uso("esporta", "DIR non e' una cartella esistente: manca")},
      {{"esporta", ".", "x"}, uso("esporta", "argomento in piu': x")},
      {{"compatta"}, uso("compatta", "manca DIR")},
      {{"compatta", "."}, uso("compatta", "manca LINEA")},
      {{"compatta", ".", "L"}, uso("compatta", "manca TRENO")},
      {{"compatta", "manca", "L", "T"},
       uso("compatta", "DIR non e' una cartella esistente: manca")},
      {{"compatta", ".", "../L", "T"},
       uso("compatta", "LINEA non puo' contenere separatori di cartella: ../L")},
      {{"compatta", ".", "L", "a\\b"},
       uso("compatta", "TRENO non puo' contenere separatori di cartella: a\\b")},
      {{"compatta", ".", "L", "Linea"},
       uso("compatta", "TRENO non puo' essere \"Linea\": L_Linea.dat sarebbe anche il tracciato")},
      {{"compatta", ".", "L", "T", "x"}, uso("compatta", "argomento in piu': x")},
      {{"compatta", ".", "L", "T", "--boh"}, uso("compatta", "opzione sconosciuta: --boh")},
  };
  for (const auto& c : casi) {
    std::vector<std::string> a = {COMPATTATORE_EXE};
    a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
    const auto e = esegui(a, d.percorso());
    EXPECT_EQ(e.stato, 2) << c.errore;
    EXPECT_EQ(e.uscita, "");
    EXPECT_EQ(e.errori, c.errore);
  }
  EXPECT_TRUE(fs::is_empty(d.percorso()));
}

// The help of each command and the version, exactly; the program's own help
// lists every command with the line its help starts with, and ends with the
// exit statuses.
TEST(RigaDiComando, HelpAndVersion) {
  cartella_temporanea d("aiuto");
  const auto su_uscita = [&](std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), COMPATTATORE_EXE);
    const auto e = esegui(argomenti, d.percorso());
    EXPECT_EQ(e.stato, 0) << argomenti[1];
    EXPECT_EQ(e.errori, "") << argomenti[1];
    return e.uscita;
  };
  EXPECT_EQ(su_uscita({"--version"}), std::string("compattatore ") + COMPATTATORE_VERSIONE + "\n");
  const std::string esporta =
      "scrive in DIR le sorgenti e i documenti dello scenario incorporato\n"
      "Uso: compattatore esporta [OPZIONI] DIR\n"
      "\n"
      "Argomenti:\n"
      "  DIR                       la cartella in cui scrivere\n"
      "\n"
      "Opzioni:\n"
      "  -h,--help                 mostra questo aiuto ed esce\n"
      "\n"
      "Scrive in DIR le due sorgenti dello scenario incorporato (Quarve_Lentra_linea.txt,\n"
      "Quarve_Lentra_58213-.txt) e i tre documenti del macchinista; nient'altro.\n";
  const std::string compatta =
      "compatta le sorgenti di un autore nei tre file del simulatore\n"
      "Uso: compattatore compatta [OPZIONI] DIR LINEA TRENO\n"
      "\n"
      "Argomenti:\n"
      "  DIR                       la cartella delle sorgenti\n"
      "  LINEA                     il nome della linea\n"
      "  TRENO                     il numero del treno\n"
      "\n"
      "Opzioni:\n"
      "  -h,--help                 mostra questo aiuto ed esce\n"
      "  --senza-tracciato         non scrive il tracciato LINEA_linea.dat (un file gia' presente "
      "resta)\n"
      "  --rigoroso                ogni avviso diventa un errore: stato 1 e nessun file scritto\n"
      "  -q,--silenzioso           non stampa la riga finale\n"
      "  --tempi                   stampa la durata di ogni fase\n"
      "\n"
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli) e scrive\n"
      "DIR/LINEA_linea.dat (non con --senza-tracciato), DIR/LINEA_TRENO.sim e\n"
      "DIR/LINEA_TRENO.dat. Se trova un errore lo segnala e non scrive nulla. Gli avvisi\n"
      "(FILE:RIGA: attenzione: ...) dicono cio' che lo scenario perde o riceve diverso da\n"
      "come e' scritto; ne mostra al piu' 50. Se riesce stampa una riga con cio' che ha\n"
      "compattato.\n";
  EXPECT_EQ(su_uscita({"esporta", "--help"}), esporta);
  EXPECT_EQ(su_uscita({"compatta", "--help"}), compatta);
  EXPECT_EQ(su_uscita({"compatta", "-h"}), compatta);

  const std::string aiuto = su_uscita({"--help"});
  EXPECT_EQ(su_uscita({"-h"}), aiuto);
  EXPECT_TRUE(aiuto.ends_with(
      "\nStato di uscita: 0 fatto, 1 errore nello scenario, 2 uso sbagliato o file non\n"
      "scrivibile.\n"))
      << aiuto;
  // The list of commands: "  NAME   description", up to the blank line.
  const std::size_t lista = aiuto.find("\nComandi:\n");
  ASSERT_NE(lista, std::string::npos) << aiuto;
  std::vector<std::string> elencati;
  std::istringstream righe_lista(aiuto.substr(lista + 10));
  for (std::string r; std::getline(righe_lista, r) && !r.empty();) {
    std::istringstream parole(r);
    std::string nome;
    parole >> nome;
    std::string descrizione;
    std::getline(parole >> std::ws, descrizione);
    elencati.push_back(nome);
    SCOPED_TRACE(nome);
    const std::string proprio = su_uscita({nome, "--help"});
    EXPECT_TRUE(proprio.starts_with(descrizione + "\nUso: compattatore " + nome + " ")) << proprio;
  }
  for (const char* comando :
       {"esporta", "compatta", "controlla", "spiega", "disegna", "mostra", "confronta"})
    EXPECT_NE(std::find(elencati.begin(), elencati.end(), comando), elencati.end()) << comando;
  EXPECT_TRUE(fs::is_empty(d.percorso()));
}

// Help asked after a command's arguments helps; help or version that cannot
// be written is a failure.
TEST(RigaDiComando, HelpComesFromAnywhereAndUnwritableOutputFails) {
  cartella_temporanea d("uso");
  const std::string dir = d.percorso().string();
  const auto aiuto = esegui({COMPATTATORE_EXE, "compatta", dir, "L", "T", "--help"}, d.percorso());
  EXPECT_EQ(aiuto.stato, 0);
  EXPECT_TRUE(aiuto.uscita.starts_with("compatta le sorgenti di un autore")) << aiuto.uscita;
  EXPECT_TRUE(fs::is_empty(d.percorso()));
  for (const char* opzione : {"--help", "--version"}) {
    const auto pieno =
        esegui({COMPATTATORE_EXE, opzione}, d.percorso(), "sh -c 'exec \"$0\" \"$@\" >/dev/full'");
    EXPECT_EQ(pieno.stato, 2) << opzione;
    EXPECT_EQ(pieno.errori, "compattatore: impossibile scrivere sullo standard output\n");
  }
}

}  // namespace
}  // namespace compattatore
