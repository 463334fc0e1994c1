// The Windows build end to end: the cross-built executable runs under Wine,
// with a virtual X display for its window, in a fresh directory, and must do
// what the native build does run the same way: the same files, byte for byte,
// the same exit status, the same console output.
//
// Every Windows run goes through sorvegliante.exe, which starts the program
// as a user would, reports its windows and message boxes and presses OK.
// The tests skip when Wine, Xvfb or the cross-build is missing, unless
// COMPATTATORE_RICHIEDI_WINE=1 (as in CI), where a missing tool fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "tests/processo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;

#ifdef COMPATTATORE_EXE_WINDOWS
constexpr const char* exe_windows = COMPATTATORE_EXE_WINDOWS;
constexpr const char* sorvegliante = COMPATTATORE_SORVEGLIANTE_WINDOWS;
constexpr const char* prefisso_wine = COMPATTATORE_WINEPREFIX;
#else
constexpr const char* exe_windows = "";
constexpr const char* sorvegliante = "";
constexpr const char* prefisso_wine = "";
#endif

std::string tra_apici(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The same place as Wine's drive Z: sees it.
std::string dos(const fs::path& p) {
  std::string d = "Z:" + p.string();
  for (char& c : d)
    if (c == '/') c = '\\';
  return d;
}

std::string sostituisci_tutto(std::string testo, const std::string& da, const std::string& a) {
  for (std::size_t p = testo.find(da); p != std::string::npos; p = testo.find(da, p + a.size()))
    testo.replace(p, da.size(), a);
  return testo;
}

std::set<std::string> nomi(const std::map<std::string, std::string>& file) {
  std::set<std::string> n;
  for (const auto& [nome, contenuto] : file) n.insert(nome);
  return n;
}

// Where two contents first differ, for a readable failure.
std::string differenza(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
         ", first difference at byte " + std::to_string(i);
}

void confronta_file(const std::map<std::string, std::string>& windows,
                    const std::map<std::string, std::string>& nativi) {
  EXPECT_EQ(nomi(windows), nomi(nativi));
  for (const auto& [nome, contenuto] : nativi) {
    const auto w = windows.find(nome);
    if (w == windows.end()) continue;
    EXPECT_TRUE(w->second == contenuto) << nome << ": " << differenza(w->second, contenuto);
  }
}

// ---- What the watcher reports -------------------------------------------

struct messaggio {
  std::string intestazione;  // "pulsanti=N icona=N titolo=..."
  std::vector<std::string> righe;
};

struct rapporto {
  std::string form1, label1;  // empty when the window was not seen
  std::vector<messaggio> messaggi;
  int stato = -1;  // -1: no report, the watcher did not finish
  std::string testo;
};

rapporto leggi_rapporto(const std::string& testo) {
  rapporto r;
  r.testo = testo;
  std::stringstream righe(testo);
  for (std::string riga, valore; std::getline(righe, riga);) {
    const auto chiave = [&](std::string_view k) {
      if (!riga.starts_with(k)) return false;
      valore = riga.substr(k.size());
      return true;
    };
    if (chiave("form1 "))
      r.form1 = valore;
    else if (chiave("label1 "))
      r.label1 = valore;
    else if (chiave("messaggio "))
      r.messaggi.push_back({valore, {}});
    else if (chiave("riga=") && !r.messaggi.empty())
      r.messaggi.back().righe.push_back(valore);
    else if (chiave("stato="))
      r.stato = std::atoi(valore.c_str());
  }
  return r;
}

std::string unite(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += (t.empty() ? "" : "\n") + r;
  return t;
}

void verifica_finestra_attesa(const rapporto& r) {
  EXPECT_EQ(r.form1, "client=280x179 figli=1 menu=0");
  EXPECT_EQ(r.label1, "x=64 y=64 l=177 a=53 testo=Attendere");
}

void verifica_riquadro(const messaggio& m) {
  EXPECT_EQ(m.intestazione, "pulsanti=1 icona=0 titolo=compattatore");
}

// ---- Wine and its display -------------------------------------------------

// What is missing to run Wine here; empty when nothing is.
std::string mancante() {
  if (*exe_windows == '\0')
    return "the build has no Windows executable (mingw-w64 missing or COMPATTATORE_WINDOWS=OFF)";
  for (const char* f : {exe_windows, sorvegliante})
    if (!fs::exists(f)) return std::string(f) + " was not built";
  for (const char* p : {"wine", "wineserver", "Xvfb"})
    if (!prove::nel_path(p)) return std::string(p) + " is not installed";
  return {};
}

// One X display and one Wine server for the tests of one process. The prefix
// lives in the build tree and is created by the first run that finds none; a
// lock beside it keeps concurrent test processes from sharing or racing on it.
class ambiente_wine {
 public:
  ambiente_wine() {
    const std::string lucchetto = std::string(prefisso_wine) + ".lock";
    lucchetto_ = open(lucchetto.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lucchetto_ < 0 || flock(lucchetto_, LOCK_EX) != 0) {
      guasto_ = "cannot lock " + lucchetto;
      return;
    }
    if (avvia_display()) prepara_prefisso();
  }

  ~ambiente_wine() {
    if (!display_.empty()) prove::esegui({"wineserver", "-k"}, "/", prefisso(60));
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      waitpid(xvfb_, nullptr, 0);
    }
    if (lucchetto_ >= 0) close(lucchetto_);
  }

  ambiente_wine(const ambiente_wine&) = delete;
  ambiente_wine& operator=(const ambiente_wine&) = delete;

  const std::string& guasto() const { return guasto_; }

  // The words that put a command under Wine on this display, bounded in time.
  std::string prefisso(int secondi) const {
    return "env WINEPREFIX=" + tra_apici(prefisso_wine) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=" + display_ +
           " timeout -k 10 " + std::to_string(secondi);
  }

 private:
  bool avvia_display() {
    int numero[2];
    if (pipe2(numero, O_CLOEXEC) != 0) return false;
    xvfb_ = fork();
    if (xvfb_ == 0) {
      const int fd = dup(numero[1]);  // without close-on-exec, for Xvfb to write to
      const int vuoto = open("/dev/null", O_RDWR);
      dup2(vuoto, 0);
      dup2(vuoto, 1);
      dup2(vuoto, 2);
      const std::string fd_testo = std::to_string(fd);
      execlp("Xvfb", "Xvfb", "-displayfd", fd_testo.c_str(), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(numero[1]);
    std::string letto;
    pollfd p = {numero[0], POLLIN, 0};
    while (letto.find('\n') == std::string::npos && poll(&p, 1, 30000) > 0) {
      char c[16];
      const ssize_t n = read(numero[0], c, sizeof c);
      if (n <= 0) break;
      letto.append(c, static_cast<std::size_t>(n));
    }
    close(numero[0]);
    if (xvfb_ < 0 || letto.find('\n') == std::string::npos) {
      guasto_ = "Xvfb did not start";
      return false;
    }
    display_ = ":" + letto.substr(0, letto.find('\n'));
    return true;
  }

  void prepara_prefisso() {
    const fs::path prefisso_dir = prefisso_wine;
    const fs::path pronto = prefisso_dir / ".compattatore-pronto";
    if (fs::exists(pronto)) return;
    std::error_code ignorato;
    fs::remove_all(prefisso_dir, ignorato);
    const auto avvio = prove::esegui({"wine", "wineboot", "--init"}, "/", prefisso(600));
    // Without a window manager on the display, Wine waits two seconds for one
    // at every top-level window it hides; unmanaged windows skip that wait.
    const auto x11 = prove::esegui({"wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                                    "Managed", "/t", "REG_SZ", "/d", "N", "/f"},
                                   "/", prefisso(300));
    prove::esegui({"wineserver", "-w"}, "/", prefisso(120));
    if (avvio.stato != 0 || x11.stato != 0 || !fs::exists(prefisso_dir / "system.reg")) {
      guasto_ = "cannot prepare the Wine prefix " + prefisso_dir.string() + ": " + avvio.errori +
                x11.errori;
      return;
    }
    std::ofstream(pronto) << "\n";
  }

  int lucchetto_ = -1;
  pid_t xvfb_ = -1;
  std::string display_;
  std::string guasto_;
};

// One build's place: `programma` holds the executable alone; `altrove` is the
// working directory, which must stay empty; `lavoro` is for the command line.
struct postazione {
  cartella_temporanea programma{"programma"}, altrove{"altrove"}, lavoro{"lavoro"};
  std::string eseguibile;

  postazione(const fs::path& originale, const std::string& nome) : eseguibile(nome) {
    fs::copy_file(originale, programma.percorso() / nome);
  }
  std::map<std::string, std::string> file_scritti() const {
    auto file = prove::contenuto_cartella(programma.percorso());
    file.erase(eseguibile);
    return file;
  }
};

struct corsa {
  prove::esito_processo processo;  // the program's output and error text
  rapporto finestre;
};

std::string descrivi(const corsa& r) {
  return "report:\n" + r.finestre.testo + "output:\n" + r.processo.uscita + "errors:\n" +
         r.processo.errori;
}

class WindowsSottoWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mancante_ = mancante();
    if (mancante_.empty()) wine_ = std::make_unique<ambiente_wine>();
  }
  static void TearDownTestSuite() { wine_.reset(); }

  void SetUp() override {
    if (!mancante_.empty()) {
      if (prove::strumenti_richiesti()) FAIL() << mancante_ << " (COMPATTATORE_RICHIEDI_WINE=1)";
      GTEST_SKIP() << mancante_;
    }
    ASSERT_EQ(wine_->guasto(), "");
  }

  // The Windows program started with `argomenti` from `p.altrove`.
  static corsa esegui_windows(const postazione& p, const std::vector<std::string>& argomenti) {
    const cartella_temporanea cartella_rapporto("rapporto");
    const fs::path file_rapporto = cartella_rapporto.percorso() / "rapporto.txt";
    std::vector<std::string> comando = {"wine", sorvegliante, dos(file_rapporto),
                                        dos(p.programma.percorso() / p.eseguibile)};
    comando.insert(comando.end(), argomenti.begin(), argomenti.end());
    corsa r{prove::esegui(comando, p.altrove.percorso(), wine_->prefisso(300)), {}};
    r.finestre = leggi_rapporto(prove::leggi_tutto(file_rapporto));
    return r;
  }

  static inline std::string mancante_;
  static inline std::unique_ptr<ambiente_wine> wine_;
};

TEST_F(WindowsSottoWine, FixedJobLeavesTheSameFilesAndStatusAsTheNativeBuild) {
  const postazione lin(COMPATTATORE_EXE, "compattatore");
  const postazione win(exe_windows, "compattatore.exe");

  const auto nativo =
      prove::esegui({(lin.programma.percorso() / lin.eseguibile).string()}, lin.altrove.percorso());
  const corsa windows = esegui_windows(win, {});
  ASSERT_NE(windows.finestre.stato, -1) << descrivi(windows);
  EXPECT_EQ(windows.finestre.stato, nativo.stato) << nativo.errori << descrivi(windows);
  EXPECT_EQ(windows.processo.stato, windows.finestre.stato);

  confronta_file(win.file_scritti(), lin.file_scritti());
  EXPECT_TRUE(fs::is_empty(lin.altrove.percorso()));
  EXPECT_TRUE(fs::is_empty(win.altrove.percorso()));

  // A message that the native build writes on standard error is a box on
  // Windows; an error number reads the same in both.
  std::string messaggio_nativo = nativo.errori;
  if (messaggio_nativo.starts_with("Attendere\n")) messaggio_nativo.erase(0, 10);
  ASSERT_EQ(windows.finestre.messaggi.size(), messaggio_nativo.empty() ? 0u : 1u)
      << "native: " << nativo.errori << descrivi(windows);
  for (const messaggio& m : windows.finestre.messaggi) verifica_riquadro(m);
  if (messaggio_nativo.starts_with(" Errore n. ")) {
    EXPECT_EQ(windows.finestre.messaggi[0].righe.at(0),
              messaggio_nativo.substr(0, messaggio_nativo.find('\n')));
  }
  if (!windows.finestre.form1.empty()) verifica_finestra_attesa(windows.finestre);
}

TEST_F(WindowsSottoWine, ReadOnlyOutputFileFailsAndKeepsEveryFile) {
  const postazione win(exe_windows, "compattatore.exe");
  ASSERT_NE(esegui_windows(win, {}).finestre.stato, -1);

  // A document the user edited and protected. The documents are written
  // before the compaction, whatever it does. Wine shows a file without write
  // permission as read-only: "attrib +r" sets the attribute exactly this way.
  const std::string bersaglio = "Quarve_Lentra_58213_scheda_treno.txt";
  const fs::path protetto = win.programma.percorso() / bersaglio;
  ASSERT_TRUE(fs::exists(protetto));
  prove::scrivi_tutto(protetto, "annotato a mano\r\n");
  fs::permissions(protetto,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto prima = prove::contenuto_cartella(win.programma.percorso());

  const corsa r = esegui_windows(win, {});
  EXPECT_EQ(r.finestre.stato, 2) << descrivi(r);
  EXPECT_EQ(r.processo.stato, 2);
  ASSERT_EQ(r.finestre.messaggi.size(), 1u) << descrivi(r);
  verifica_riquadro(r.finestre.messaggi[0]);
  EXPECT_NE(unite(r.finestre.messaggi[0].righe).find(bersaglio), std::string::npos)
      << unite(r.finestre.messaggi[0].righe);
  // The box comes up while the wait window is still there.
  verifica_finestra_attesa(r.finestre);

  const auto dopo = prove::contenuto_cartella(win.programma.percorso());
  for (const auto& [nome, contenuto] : prima) {
    ASSERT_TRUE(dopo.contains(nome)) << nome;
    EXPECT_TRUE(dopo.at(nome) == contenuto) << nome << ": " << differenza(dopo.at(nome), contenuto);
  }
  // Only the sources, written before the documents, may be new: the first
  // run's reader consumes them.
  const std::set<std::string> nuovi_ammessi = {"Quarve_Lentra_linea.txt",
                                               "Quarve_Lentra_58213-.txt"};
  for (const auto& [nome, contenuto] : dopo) {
    EXPECT_EQ(nome.find(".tmp"), std::string::npos) << "temporary left behind: " << nome;
    if (!prima.contains(nome)) {
      EXPECT_TRUE(nuovi_ammessi.contains(nome)) << "new file " << nome;
    }
  }
  EXPECT_EQ(fs::status(protetto).permissions() & fs::perms::owner_write, fs::perms::none)
      << "the read-only attribute was cleared";
  EXPECT_TRUE(fs::is_empty(win.altrove.percorso()));
}

// The compacted files are one set on Windows too: a directory in place of the
// last leaves the two before it as they were, and no temporary behind.
TEST_F(WindowsSottoWine, DirectoryInPlaceOfTheThirdFileLeavesTheOldSet) {
  const postazione win(exe_windows, "compattatore.exe");
  const fs::path d = win.programma.percorso();
  const std::string insieme[] = {"Quarve_Lentra_linea.dat", "Quarve_Lentra_58213.sim",
                                 "Quarve_Lentra_58213.dat"};
  prove::scrivi_tutto(d / insieme[0], "precedente 0");
  prove::scrivi_tutto(d / insieme[1], "precedente 1");
  fs::create_directory(d / insieme[2]);

  const corsa r = esegui_windows(win, {});
  EXPECT_EQ(r.finestre.stato, 2) << descrivi(r);
  ASSERT_EQ(r.finestre.messaggi.size(), 1u) << descrivi(r);
  EXPECT_NE(unite(r.finestre.messaggi[0].righe).find(insieme[2]), std::string::npos)
      << unite(r.finestre.messaggi[0].righe);
  EXPECT_TRUE(prove::leggi_tutto(d / insieme[0]) == "precedente 0") << insieme[0] << " replaced";
  EXPECT_TRUE(prove::leggi_tutto(d / insieme[1]) == "precedente 1") << insieme[1] << " replaced";
  EXPECT_TRUE(fs::is_directory(d / insieme[2]));
  for (const auto& f : fs::directory_iterator(d))
    EXPECT_FALSE(f.path().filename().string().starts_with(piattaforma::prefisso_temporanei))
        << f.path();
}

// With arguments the program is a console tool on Windows too: no window, its
// text on the console, exactly as the native build writes it. The steps run in
// order in one directory per build; "{DIR}" stands for that directory, also
// at the start of a file's path.
TEST_F(WindowsSottoWine, CommandLineGivesTheNativeOutputAndFiles) {
  const postazione lin(COMPATTATORE_EXE, "compattatore");
  const postazione win(exe_windows, "compattatore.exe");
  const fs::path dir_lin = lin.lavoro.percorso();
  const fs::path dir_win = win.lavoro.percorso();
  // How a step breaks the line source first: a source that never opens its
  // general part, a directory in the source's place, or a misspelt record
  // (a warning, which --rigoroso makes a failure).
  enum class guasto { nessuno, generale, cartella, avviso, errori };
  const auto guasta = [](const fs::path& dir, guasto g) {
    const fs::path sorgente = dir / "Quarve_Lentra_linea.txt";
    if (g == guasto::errori) {
      // A mistake in each source: a bad number, and a signal on a taken cell.
      const std::string testo = prove::leggi_tutto(sorgente);
      prove::scrivi_tutto(
          sorgente, sostituisci_tutto(testo, "pendenza,  19000,   -30", "pendenza,  19000,   -3O"));
      const fs::path servizio = dir / "Quarve_Lentra_58213-.txt";
      const std::string segnale = "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0";
      prove::scrivi_tutto(servizio, sostituisci_tutto(prove::leggi_tutto(servizio), segnale,
                                                      segnale + "\r\n" + segnale));
      return;
    }
    if (g == guasto::avviso) {
      const std::string testo = prove::leggi_tutto(sorgente);
      prove::scrivi_tutto(sorgente,
                          sostituisci_tutto(testo, "[fine]", "pendenz, 100, 3\r\n[fine]"));
      return;
    }
    if (g == guasto::cartella) {
      fs::remove(sorgente);
      fs::create_directory(sorgente);
      return;
    }
    const std::string testo = prove::leggi_tutto(sorgente);
    ASSERT_NE(testo.find("[generale]"), std::string::npos);
    prove::scrivi_tutto(sorgente, sostituisci_tutto(testo, "[generale]", "[generali]"));
  };
  const struct {
    std::vector<std::string> argomenti;
    guasto prima;
  } passi[] = {
      {{"--version"}, guasto::nessuno},
      {{"--help"}, guasto::nessuno},
      {{"comando-inesistente"}, guasto::nessuno},
      {{"esporta", "{DIR}"}, guasto::nessuno},
      {{"compatta", "{DIR}", "Quarve_Lentra", "58213"}, guasto::nessuno},
      {{"mostra", "{DIR}/Quarve_Lentra_58213.dat"}, guasto::nessuno},
      {{"mostra", "{DIR}/Quarve_Lentra_58213.sim", "{DIR}/Quarve_Lentra_linea.dat"},
       guasto::nessuno},
      {{"confronta", "{DIR}", "{DIR}", "Quarve_Lentra", "58213"}, guasto::nessuno},
      {{"disegna", "{DIR}", "Quarve_Lentra", "58213"}, guasto::nessuno},
      // Refused: the page would replace a source.
      {{"disegna", "{DIR}", "Quarve_Lentra", "58213", "-o", "{DIR}/Quarve_Lentra_58213-.txt"},
       guasto::nessuno},
      {{"compatta", "{DIR}", "Quarve_Lentra", "58213", "--rigoroso"}, guasto::avviso},
      {{"controlla", "{DIR}", "Quarve_Lentra", "58213"}, guasto::errori},
      {{"spiega", "{DIR}", "Quarve_Lentra", "58213", "17460"}, guasto::nessuno},
      // The page of the sources with their errors, which it lists.
      {{"disegna", "{DIR}", "Quarve_Lentra", "58213"}, guasto::nessuno},
      {{"compatta", "{DIR}", "Quarve_Lentra", "58213"}, guasto::generale},
      {{"compatta", "{DIR}", "Quarve_Lentra", "58213"}, guasto::cartella},
  };
  for (const auto& passo : passi) {
    std::string descrizione;
    for (const std::string& a : passo.argomenti) descrizione += " " + a;
    SCOPED_TRACE("compattatore" + descrizione);
    if (passo.prima != guasto::nessuno) {
      guasta(dir_lin, passo.prima);
      guasta(dir_win, passo.prima);
      if (HasFatalFailure()) return;
    }
    std::vector<std::string> a_lin = {(lin.programma.percorso() / lin.eseguibile).string()};
    std::vector<std::string> a_win;
    for (const std::string& a : passo.argomenti) {
      a_lin.push_back(sostituisci_tutto(a, "{DIR}", dir_lin.string()));
      a_win.push_back(sostituisci_tutto(sostituisci_tutto(a, "{DIR}/", dos(dir_win) + "\\"),
                                        "{DIR}", dos(dir_win)));
    }
    const auto nativo = prove::esegui(a_lin, lin.altrove.percorso());
    const corsa windows = esegui_windows(win, a_win);
    ASSERT_NE(windows.finestre.stato, -1) << descrivi(windows);
    if (passo.prima != guasto::nessuno) {
      EXPECT_NE(nativo.stato, 0) << "the broken source must be refused";
    }
    if (passo.argomenti[0] == "compatta" && nativo.stato == 0) {
      EXPECT_TRUE(nativo.uscita.starts_with("Quarve_Lentra 58213: 106000 m, 24 stazioni"))
          << nativo.uscita;
    }
    if (passo.argomenti[0] == "mostra") {
      EXPECT_EQ(nativo.stato, 0) << nativo.errori;
      EXPECT_NE(nativo.uscita, "");
    }

    EXPECT_EQ(windows.finestre.stato, nativo.stato) << nativo.errori << descrivi(windows);
    const auto neutro_lin = [&](const std::string& t) {
      return sostituisci_tutto(sostituisci_tutto(t, dir_lin.string() + "/", "{DIR}/"),
                               dir_lin.string(), "{DIR}");
    };
    const auto neutro_win = [&](const std::string& t) {
      return sostituisci_tutto(sostituisci_tutto(t, dos(dir_win) + "\\", "{DIR}/"), dos(dir_win),
                               "{DIR}");
    };
    // In the route page's data the paths are JSON strings, their backslashes doubled.
    const auto neutro_json_win = [&](const std::string& t) {
      return sostituisci_tutto(t, sostituisci_tutto(dos(dir_win) + "\\", "\\", "\\\\"), "{DIR}/");
    };
    EXPECT_EQ(neutro_win(windows.processo.uscita), neutro_lin(nativo.uscita));
    EXPECT_EQ(neutro_win(windows.processo.errori), neutro_lin(nativo.errori));
    // The route page names the sources by their paths, as the messages do.
    auto file_win = prove::contenuto_cartella(dir_win);
    auto file_lin = prove::contenuto_cartella(dir_lin);
    for (auto& [nome, contenuto] : file_win)
      if (nome.ends_with(".html")) contenuto = neutro_win(neutro_json_win(contenuto));
    for (auto& [nome, contenuto] : file_lin)
      if (nome.ends_with(".html")) contenuto = neutro_lin(contenuto);
    confronta_file(file_win, file_lin);

    EXPECT_EQ(windows.finestre.form1, "") << "no wait window on the command line";
    EXPECT_TRUE(windows.finestre.messaggi.empty()) << descrivi(windows);
    EXPECT_TRUE(win.file_scritti().empty());
    EXPECT_TRUE(fs::is_empty(win.altrove.percorso()));
  }
}

}  // namespace
}  // namespace compattatore
